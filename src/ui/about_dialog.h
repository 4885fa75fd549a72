#pragma once
// The About window.
#include <QDialog>

class QLabel;
class QPushButton;

namespace qm {

// The home page the About window links to.
extern const char* const kHomePage;

class TfrmAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAbout(QWidget* parent = nullptr);

  QLabel* VersionLabel;
  QLabel* HomePageLink;
  QPushButton* btnOK;
  QPushButton* btnSystemInfo;

  void HomePageLinkClick();
  void btnSystemInfoClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// "3.61 (Final)" in the user's number format.
QString VersionText();

}  // namespace qm

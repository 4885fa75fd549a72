#pragma once
// The main window.
#include <QMainWindow>

namespace qm {

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);

  // "Check mail on all accounts".
  void CheckMailOnAllAccounts();
  int mail_checks_requested() const { return mail_checks_requested_; }

 public slots:
  // A second start handed over a request through Temp_info.ini.
  void ReceiveHandOff();

 private:
  int mail_checks_requested_ = 0;
};

}  // namespace qm

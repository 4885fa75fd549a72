#pragma once
// A message's properties and raw header lines.
#include <QDateTime>
#include <QDialog>
#include <string>

#include "platform/date_time.h"
#include "store/mail_message.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace qm {

// A stored date-time value as a Qt date-time in local time.
QDateTime QDateTimeOf(TDateTime value);
// Date and time in the user's short formats.
std::string DateTimeText(TDateTime value);

class TfrmMessageProperties : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmMessageProperties(QWidget* parent = nullptr);

  void LoadProperties(const cMailMessage& message);

  QLabel* lblFrom;
  QLabel* lblTo;
  QLabel* lblCC;
  QLabel* lblSubject;
  QLabel* lblAccount;
  QPlainTextEdit* memoHeaders;
  QWidget* pnlButtons;
  QPushButton* btnClose;

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qm

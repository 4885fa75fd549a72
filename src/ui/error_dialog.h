#pragma once
// The error window and the one-shot timer that shows a pending report.
#include <QDialog>
#include <QTimer>
#include <string>

#include "shell/report_error.h"

class QPlainTextEdit;
class QPushButton;

namespace qm {

class TfrmErrorDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmErrorDialog(QWidget* parent = nullptr);
  void SetMessage(const std::string& message);

  QPlainTextEdit* ErrorLabel;
  QPushButton* btnClose;
};

// Carries one report; fires once, 20 ms after it was made.
class TShowErrDialogTimer : public QTimer {
  Q_OBJECT
 public:
  TShowErrDialogTimer(std::string message, bool log_it);
  const std::string& message() const { return message_; }

 private slots:
  void OnTimerEvent();

 private:
  std::string message_;
  bool log_it_;
};

// Hands every report to the UI thread and makes a TShowErrDialogTimer there.
class QtErrorSink : public ErrorSink {
 public:
  void Report(const std::string& message, bool log_it) override;
};

}  // namespace qm

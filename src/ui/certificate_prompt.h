#pragma once
// The question asked from the task window when a server's certificate failed
// verification: what the certificate is, and whether to trust it for the
// account from now on.
#include <QDialog>

#include "transport/certificate_info.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class TfrmCertificatePrompt : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmCertificatePrompt(const cCertificateInfo& info, QWidget* parent = nullptr);

  // After exec(): true only when "Trust" was clicked; closing the window trusts nothing.
  bool Trusted() const { return trusted_; }

  QLabel* lblReason;
  QLineEdit* edtServer;
  QLineEdit* edtSubject;
  QLineEdit* edtIssuer;
  QLineEdit* edtValidFrom;
  QLineEdit* edtValidUntil;
  QLineEdit* edtFingerprint;
  QPushButton* btnTrust;
  QPushButton* btnDoNotTrust;

 private:
  bool trusted_ = false;
};

// Shows the prompt modal over the task window (the Errors page showing the
// failure) and returns the answer.
bool AskTrustCertificatePrompt(const cCertificateInfo& info);

}  // namespace qm

#include "ui/certificate_prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"
#include "ui/read_only_field.h"
#include "ui/tasks_progress.h"

namespace qm {

TfrmCertificatePrompt::TfrmCertificatePrompt(const cCertificateInfo& info, QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmCertificatePrompt");
  setWindowTitle("Server certificate");
  resize(660, 330);

  lblReason = new QLabel(Q(info.Reason), this);
  lblReason->setObjectName("lblReason");
  lblReason->setTextFormat(Qt::PlainText);
  lblReason->setWordWrap(true);
  QFont bold = lblReason->font();
  bold.setBold(true);
  lblReason->setFont(bold);

  edtServer = ReadOnlyField(this, "edtServer", info.Host + " (" + info.Section + " server of " + info.Account + ")");
  edtSubject = ReadOnlyField(this, "edtSubject", info.Details.Subject);
  edtIssuer = ReadOnlyField(this, "edtIssuer", info.Details.Issuer);
  edtValidFrom = ReadOnlyField(this, "edtValidFrom", info.Details.NotBefore);
  edtValidUntil = ReadOnlyField(this, "edtValidUntil", info.Details.NotAfter);
  edtFingerprint = ReadOnlyField(this, "edtFingerprint", info.Details.Fingerprint);
  auto* form = new QFormLayout;
  form->addRow("Server:", edtServer);
  form->addRow("Subject:", edtSubject);
  form->addRow("Issuer:", edtIssuer);
  form->addRow("Valid from:", edtValidFrom);
  form->addRow("Valid until:", edtValidUntil);
  form->addRow("SHA-256 fingerprint:", edtFingerprint);

  auto* note = new QLabel(
      "Nothing was sent to the server. Trust this certificate only if you know it is the server's own "
      "(compare the fingerprint with the one your provider gives). A trusted certificate is accepted for this "
      "account from the next connection on, whatever the checks say; run the task again then.",
      this);
  note->setObjectName("lblNote");
  note->setWordWrap(true);

  btnTrust = new QPushButton("&Trust this certificate", this);
  btnTrust->setObjectName("btnTrust");
  btnTrust->setAutoDefault(false);
  // Refusing is what Enter and Escape do: trusting must be a deliberate click.
  btnDoNotTrust = new QPushButton("&Do not trust", this);
  btnDoNotTrust->setObjectName("btnDoNotTrust");
  btnDoNotTrust->setDefault(true);
  connect(btnTrust, &QPushButton::clicked, this, [this] {
    trusted_ = true;
    accept();
  });
  connect(btnDoNotTrust, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnTrust);
  buttons->addWidget(btnDoNotTrust);

  auto* root = new QVBoxLayout(this);
  root->addWidget(lblReason);
  root->addLayout(form);
  root->addWidget(note);
  root->addStretch();
  root->addLayout(buttons);
  btnDoNotTrust->setFocus();
}

bool AskTrustCertificatePrompt(const cCertificateInfo& info) {
  TfrmTasksProgress* window = CurrentTasksProgressWindow();
  // The failure is on the Errors page behind the question.
  if (window) window->ShowErrorsPage();
  TfrmCertificatePrompt prompt(info, window);
  prompt.exec();
  return prompt.Trusted();
}

}  // namespace qm

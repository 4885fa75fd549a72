#include "ui/main_window.h"

#include <QLabel>

#include "shell/app_paths.h"
#include "shell/hand_off.h"
#include "ui/compose_entry.h"

namespace qm {

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName("frmMain");
  setWindowTitle("Torvane Quillmar");
  resize(800, 560);
  auto* body = new QLabel(this);
  body->setObjectName("pnlBody");
  setCentralWidget(body);
}

void TfrmMain::CheckMailOnAllAccounts() { ++mail_checks_requested_; }

void TfrmMain::ReceiveHandOff() {
  // A file that vanished before we got to it is no request.
  if (auto request = TakeHandOffFile(HandOffFile())) OpenComposeForRequest(*request);
}

}  // namespace qm

#pragma once
// The store's way to start tasks (RedirectMessage with send now, the main
// window's fetch and send-unsent entry points), served by the tasks here.
#include "store/store_ui.h"

namespace qm {

class cTaskStarter : public MailTaskStarter {
 public:
  void StartFetchTask(const std::string& account, bool silent, bool ask_to_go_online) override;
  void StartSendTask(const std::string& account, const std::string& mailbox_path, const StringList& keys) override;
};

// Installs a cTaskStarter as the store's MailTaskStarter.
void InstallTaskStarter();

}  // namespace qm

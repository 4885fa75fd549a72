#pragma once
// "Redirect to...": a stored message sent on to another recipient.
#include <string>

#include "ui/generic_prompt_dialog.h"

class QPushButton;

namespace qm {

// The redirect prompt with its extra buttons: "&Send now" (the prompt's OK,
// answering Yes), "&Put in unsent" (answering OK) and "..." for the contacts.
class TfrmRedirectPrompt : public TfrmRedirectEmail {
  Q_OBJECT
 public:
  enum Answer { Cancelled = 0, PutInUnsent = 1, SendNow = 2 };
  explicit TfrmRedirectPrompt(QWidget* parent = nullptr);
  QPushButton* btnPutInUnsent;
  QPushButton* btnBrowse;
};

// Asks for the address and queues the message named by the reference for it
// in the account's Unsent (and sends it at once on "&Send now"). True unless
// cancelled.
bool RedirectDialog(const std::string& message_ref, const std::string& account, QWidget* parent = nullptr);

}  // namespace qm

#pragma once
// The one-line prompt and its variants.
#include <QDialog>
#include <string>
#include <utility>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class TfrmGenericPromptDialog : public QDialog {
  Q_OBJECT
 public:
  TfrmGenericPromptDialog(const QString& caption, const QString& title, const QString& description, bool masked,
                          QWidget* parent = nullptr);

  QLabel* lblTitle;
  QLabel* lblDescription;
  QLineEdit* edtName;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // OK is enabled exactly while the trimmed text is not empty.
  void edtNameChange();
};

#define QM_PROMPT_VARIANT(Class, Caption, Title, Description, Masked)                                   \
  class Class : public TfrmGenericPromptDialog {                                                        \
   public:                                                                                               \
    explicit Class(QWidget* parent = nullptr)                                                            \
        : TfrmGenericPromptDialog(Caption, Title, Description, Masked, parent) {}                       \
  };

QM_PROMPT_VARIANT(TfrmStartupPasswordPrompt, "Startup prompt", "Startup password",
                  "You need to enter a password to launch this program.", true)
QM_PROMPT_VARIANT(TfrmAddFolder, "Add folder", "Add folder", "Please enter the name of the new folder", false)
QM_PROMPT_VARIANT(TfrmAddMailbox, "Add mailbox", "Add mailbox",
                  "Write the name of the new mailbox in the textbox below", false)
QM_PROMPT_VARIANT(TfrmRenameMailbox, "Rename dialog", "Enter new name", "", false)
QM_PROMPT_VARIANT(TfrmAddServer, "Add new server", "Enter the name of the new account", "", false)
QM_PROMPT_VARIANT(TfrmMailboxPasswordPrompt, "Mailbox password", "Folder protection",
                  "Please enter the password for the mailbox", true)
QM_PROMPT_VARIANT(TfrmPOP3PasswordPrompt, "POP3 Prompt", "POP3 password",
                  "The password for this server is blank. Please enter it now", true)
QM_PROMPT_VARIANT(TfrmRedirectEmail, "Redirect email", "Redirect email",
                  "Please enter the address where the email should be redirected", false)

#undef QM_PROMPT_VARIANT

// Shows the prompt modal with the preset text; returns whether OK was pressed
// and the text (also when cancelled).
template <class Prompt>
std::pair<bool, std::string> PromptText(const std::string& preset, QWidget* parent = nullptr);

std::pair<bool, std::string> RunPrompt(TfrmGenericPromptDialog& dialog, const std::string& preset);

template <class Prompt>
std::pair<bool, std::string> PromptText(const std::string& preset, QWidget* parent) {
  Prompt dialog(parent);
  return RunPrompt(dialog, preset);
}

}  // namespace qm

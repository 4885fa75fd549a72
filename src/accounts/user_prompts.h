#pragma once
// Message boxes the account and rule logic needs; the windows implement it,
// tests record what was asked.
#include <string>

namespace qm {

enum class PromptIcon { Information, Exclamation, Question, Error };

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // Yes and No buttons; true on Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption, PromptIcon icon) = 0;
  // One OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption, PromptIcon icon) = 0;
};

}  // namespace qm

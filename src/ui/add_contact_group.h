#pragma once
// The prompt for a new contact group.
#include <string>

#include "ui/generic_prompt_dialog.h"

class QWidget;

namespace qm {

class TfrmAddContactGroup : public TfrmGenericPromptDialog {
  Q_OBJECT
 public:
  explicit TfrmAddContactGroup(QWidget* parent = nullptr);
};

// Asks for the name, then adds the group; true when it was added.
bool AddGroupDialog(QWidget* parent = nullptr);

}  // namespace qm

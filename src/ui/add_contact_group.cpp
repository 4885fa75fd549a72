#include "ui/add_contact_group.h"

#include <exception>

#include "contacts/contact_groups.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "ui/contacts_ui_qt.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

TfrmAddContactGroup::TfrmAddContactGroup(QWidget* parent)
    : TfrmGenericPromptDialog("Add contact folder", "New contact directory", "", false, parent) {
  setObjectName("frmAddContactGroup");
}

bool AddGroupDialog(QWidget* parent) {
  if (TraceWindowEntryPoint("AddGroupDialog")) return false;
  auto [ok, name] = PromptText<TfrmAddContactGroup>("", parent);
  if (!ok) return false;
  name = TrimBlanks(name);
  TQtContactsUi ui(parent);
  try {
    return AddGroup(name, ui);
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in AddGroup ()");
    return false;
  }
}

}  // namespace qm

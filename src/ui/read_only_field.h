#pragma once
// A one-line text the user can select and copy but not change, shown from
// its start (the prompts that describe a message or a certificate).
#include <string>

class QLineEdit;
class QWidget;

namespace qm {

QLineEdit* ReadOnlyField(QWidget* parent, const char* object_name, const std::string& text);

}  // namespace qm

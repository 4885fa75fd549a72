#include "ui/read_only_field.h"

#include <QLineEdit>

#include "ui/qt_text.h"

namespace qm {

QLineEdit* ReadOnlyField(QWidget* parent, const char* object_name, const std::string& text) {
  auto* edit = new QLineEdit(Q(text), parent);
  edit->setObjectName(object_name);
  edit->setReadOnly(true);
  edit->setCursorPosition(0);
  return edit;
}

}  // namespace qm

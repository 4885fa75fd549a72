#pragma once
// The layout the list and property dialogs share: their controls in a column
// over a right-aligned row of "&OK" and "&Cancel".
#include <QString>
#include <initializer_list>

class QDialog;
class QLayout;
class QPushButton;
class QWidget;

namespace qm {

// One piece of the column with its stretch factor.
struct DialogPart {
  DialogPart(QWidget* w, int stretch_factor = 0) : widget(w), stretch(stretch_factor) {}
  DialogPart(QLayout* l, int stretch_factor = 0) : layout(l), stretch(stretch_factor) {}
  QWidget* widget = nullptr;
  QLayout* layout = nullptr;
  int stretch = 0;
};

struct OkCancelButtons {
  QPushButton* ok;      // the default button; the caller connects it
  QPushButton* cancel;  // rejects the dialog
};

// Names the dialog, gives it the caption and a frame with only the system
// menu and the close button, and lays out `body` over the buttons. The
// buttons are made here, after the body's controls, so they come last when
// tabbing.
OkCancelButtons SetUpOkCancelDialog(QDialog* dialog, const char* object_name, const QString& caption,
                                    std::initializer_list<DialogPart> body);

}  // namespace qm

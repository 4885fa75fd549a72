// TfrmCompose: auto-complete of the address fields and the contacts menus of
// their labels.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "contacts/contact_actions.h"
#include "contacts/contact_store.h"
#include "ui/compose_autocomplete.h"
#include "ui/compose_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

void TfrmCompose::AutoCompleteTimerTimer() {
  AutoCompleteTimer->stop();
  QWidget* focused = QApplication::focusWidget();
  auto* field = qobject_cast<QLineEdit*>(focused);
  if (!field || (field != edtTo && field != edtCC && field != edtBCC)) return;
  AutoCompletion c;
  if (!CompleteAddress(S(field->text()), autocomplete_list_, c)) return;
  // Offsets are bytes of UTF-8; the field counts characters.
  QString text = Q(c.text);
  int start = static_cast<int>(Q(c.text.substr(0, c.selection_start)).size());
  field->setText(text);
  field->setSelection(static_cast<int>(text.size()), start - static_cast<int>(text.size()));
}

void TfrmCompose::AddressLabelRightClick(int field, const QPoint& global_pos) {
  popContactsBrowser->clear();
  popContactsBrowser->setProperty("tag", field);
  QLineEdit* edit = AddressField(field);
  auto add_book = [this, edit](QMenu* menu, const std::string& book_file) {
    for (const std::string& name : ContactsMenuEntries(book_file)) {
      QAction* a = menu->addAction(Q(name));
      a->setProperty("contact", Q(name));
      connect(a, &QAction::triggered, this, [edit, book_file, name] {
        cContact c;
        ReadContact(book_file, name, false, c);
        if (c.Email.empty()) return;
        QString text = edit->text();
        edit->setText(text.isEmpty() ? Q(c.Email) : text + "," + Q(c.Email));
      });
    }
  };
  StringList books = GetBookList();
  for (size_t i = 0; i < books.size(); ++i) {
    if (i == 0) {
      add_book(popContactsBrowser, GetBookFile(books[i]));
    } else {
      QMenu* sub = popContactsBrowser->addMenu(Q(books[i]));
      add_book(sub, GetBookFile(books[i]));
    }
  }
  if (popContactsBrowser->isEmpty()) popContactsBrowser->addAction("No contacts")->setEnabled(false);
  popContactsBrowser->popup(global_pos);
}

void TfrmCompose::AddressLabelClick(int field) {
  QLineEdit* edit = AddressField(field);
  std::string address = S(edit->text());
  if (BrowseContactsDialog(address)) edit->setText(Q(address));
}

}  // namespace qm

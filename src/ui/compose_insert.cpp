// TfrmCompose: the Insert menu, signatures, quoted pasting and rewrapping.
#include "ui/compose_insert.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFont>
#include <QMenu>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

#include "contacts/signatures.h"
#include "message/line_wrap.h"
#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "ui/compose_setup.h"
#include "ui/compose_window.h"
#include "ui/insert_signature.h"
#include "ui/qt_text.h"
#include "ui/system_info.h"
#include "ui/window_entry_points.h"

namespace qm {

std::string QuotedPasteText(const std::string& clipboard_text, const std::string& prefix) {
  std::string out;
  for (const std::string& line : SplitLines(clipboard_text)) out += prefix + line + "\n";
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\r' || out.back() == '\n'))
    out.pop_back();
  return out;
}

void TfrmCompose::AppendEditorLines(const StringList& lines) {
  QTextCursor c(RichEdit->document());
  c.movePosition(QTextCursor::End);
  // Lines follow the last line break; a last line without one gets it first.
  QString text = RichEdit->toPlainText();
  if (!text.isEmpty() && !text.endsWith('\n')) c.insertText("\n", QTextCharFormat());
  for (const std::string& line : lines) c.insertText(Q(line) + "\n", QTextCharFormat());
  RichEdit->setTextCursor(c);
}

void TfrmCompose::InsertAtCaret(const std::string& text) {
  QTextCursor c = RichEdit->textCursor();
  int keep = c.position();
  c.insertText(Q(text));
  c.setPosition(keep);
  RichEdit->setTextCursor(c);
}

void TfrmCompose::InsertSignature(const std::string& name) {
  StringList lines;
  if (name.empty() || !LoadSignature(name, lines)) return;
  int keep = RichEdit->textCursor().position();
  lines.insert(lines.begin(), "");
  AppendEditorLines(lines);
  QTextCursor c = RichEdit->textCursor();
  c.setPosition(keep);
  RichEdit->setTextCursor(c);
}

void TfrmCompose::RebuildSignaturesMenu() {
  popSignatures->clear();
  StringList names = ListSignatures();
  std::string def = GetDefaultSignature();
  if (names.empty()) {
    popSignatures->addAction("No signatures present")->setEnabled(false);
  } else {
    for (const std::string& name : names) {
      QAction* a = popSignatures->addAction(Q(name));
      if (name == def) {
        QFont f = a->font();
        f.setBold(true);
        a->setFont(f);
        popSignatures->setDefaultAction(a);
      }
      connect(a, &QAction::triggered, this, [this, a] {
        std::string caption = S(a->text());
        if (!caption.empty() && caption[0] == '&') caption.erase(0, 1);
        InsertSignature(caption);
      });
    }
  }
  popSignatures->addSeparator();
  connect(popSignatures->addAction("Manage signatures..."), &QAction::triggered, this,
          &TfrmCompose::mnuManageSignaturesClick);
}

void TfrmCompose::tbSignatureClick() { InsertSignature(GetDefaultSignature()); }

void TfrmCompose::mnuManageSignaturesClick() {
  ShowManageSignatures(this);
  RebuildSignaturesMenu();
}

void TfrmCompose::mnuInsertSignatureClick() {
  std::string name;
  if (PickSignature(name, this)) InsertSignature(name);
}

void TfrmCompose::mnuInsertTextFileClick() {
  QFileDialog dialog(this, "Insert text file");
  dialog.setNameFilters({"Text files (*.txt)", "All files (*.*)"});
  dialog.setDefaultSuffix("txt");
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  AppendEditorLines(LoadLinesFromFile(S(dialog.selectedFiles().first())));
}

void TfrmCompose::mnuInsertDateClick() { InsertAtCaret(FormatShortDate(Now())); }
void TfrmCompose::mnuInsertTimeClick() { InsertAtCaret(FormatShortTime(Now())); }
void TfrmCompose::mnuInsertDateTimeClick() { InsertAtCaret(FormatDateText(0)); }

void TfrmCompose::mnuComputerInfoClick() { AppendEditorLines(SplitLines(GetSystemInfoText())); }

void TfrmCompose::mnuPasteQuotedClick() {
  QClipboard* clip = QApplication::clipboard();
  QString previous = clip->text();
  std::string prefix = OptionsIni ? OptionsIni->ReadString("Message", "MsgQuoteChar", ">") : ">";
  clip->setText(Q(QuotedPasteText(S(previous), prefix)));
  RichEdit->paste();
  clip->setText(previous);
}

void TfrmCompose::mnuRewrapClick() {
  int caret = RichEdit->textCursor().position();
  int scroll = RichEdit->verticalScrollBar()->value();
  RichEdit->setUpdatesEnabled(false);
  RichEdit->blockSignals(true);
  RichEdit->setLineWrapMode(QTextEdit::NoWrap);
  std::string wrapped = WrapMessageText(EditorText());
  // The editor keeps "\n" line breaks.
  RichEdit->setPlainText(Q(ReplaceAll(wrapped, "\r\n", "\n")));
  RichEdit->setLineWrapMode(QTextEdit::WidgetWidth);
  QTextCursor c = RichEdit->textCursor();
  c.setPosition(std::min(caret, RichEdit->document()->characterCount() - 1));
  RichEdit->setTextCursor(c);
  RichEdit->verticalScrollBar()->setValue(scroll);
  RichEdit->blockSignals(false);
  RichEdit->setUpdatesEnabled(true);
  SetModified();
  RichEditSelectionChange();
}

}  // namespace qm

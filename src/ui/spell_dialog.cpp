#include "ui/spell_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "ui/spell_checker.h"

namespace qm {

TfrmSpellCheck::TfrmSpellCheck(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmSpellCheck");
  setWindowTitle("Spell check");
  lblNotFound = new QLabel("Not in dictionary:", this);
  lblNotFound->setObjectName("lblNotFound");
  edtWord = new QLineEdit(this);
  edtWord->setObjectName("edtWord");
  auto* lblSuggestions = new QLabel("&Suggestions:", this);
  lstSuggestions = new QListWidget(this);
  lstSuggestions->setObjectName("lstSuggestions");
  lblSuggestions->setBuddy(lstSuggestions);
  auto button = [this](QPushButton*& b, const char* name, const char* text, Choice c) {
    b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, c] { Choose(c); });
  };
  button(btnIgnore, "btnIgnore", "&Ignore", Ignore);
  button(btnIgnoreAll, "btnIgnoreAll", "I&gnore all", IgnoreAll);
  button(btnAdd, "btnAdd", "&Add", Add);
  button(btnChange, "btnChange", "&Change", Change);
  button(btnCancel, "btnCancel", "Cancel", Cancel);
  btnChange->setDefault(true);

  connect(lstSuggestions, &QListWidget::currentTextChanged, edtWord, &QLineEdit::setText);
  connect(lstSuggestions, &QListWidget::itemDoubleClicked, this, [this] { Choose(Change); });

  auto* left = new QVBoxLayout;
  left->addWidget(lblNotFound);
  left->addWidget(edtWord);
  left->addWidget(lblSuggestions);
  left->addWidget(lstSuggestions, 1);
  auto* right = new QVBoxLayout;
  for (QPushButton* b : {btnIgnore, btnIgnoreAll, btnAdd, btnChange}) right->addWidget(b);
  right->addStretch(1);
  right->addWidget(btnCancel);
  auto* main = new QHBoxLayout(this);
  main->addLayout(left, 1);
  main->addLayout(right);
  resize(400, 260);
}

void TfrmSpellCheck::SetWord(const QString& word, const std::vector<QString>& suggestions) {
  lblNotFound->setText("Not in dictionary: " + word);
  lstSuggestions->clear();
  for (const QString& s : suggestions) lstSuggestions->addItem(s);
  if (lstSuggestions->count() > 0)
    lstSuggestions->setCurrentRow(0);
  else
    edtWord->setText(word);
  edtWord->setFocus();
  edtWord->selectAll();
}

QString TfrmSpellCheck::Replacement() const { return edtWord->text(); }

void TfrmSpellCheck::Choose(Choice c) {
  choice_ = c;
  if (c == Cancel)
    reject();
  else
    accept();
}

bool RunSpellCheck(QTextEdit* editor, TSpellChecker& checker, QWidget* parent) {
  if (!checker.IsConfigured()) return false;
  QTextCursor cursor = editor->textCursor();
  cursor.movePosition(QTextCursor::Start);
  editor->setTextCursor(cursor);
  TfrmSpellCheck dialog(parent);
  int from = 0;
  int start = 0, length = 0;
  while (checker.FindNextMisspelling(editor->toPlainText(), from, start, length)) {
    QTextCursor word = editor->textCursor();
    word.setPosition(start);
    word.setPosition(start + length, QTextCursor::KeepAnchor);
    editor->setTextCursor(word);
    editor->ensureCursorVisible();
    QString text = word.selectedText();
    dialog.SetWord(text, checker.Suggest(text));
    dialog.exec();
    switch (dialog.Chosen()) {
      case TfrmSpellCheck::Cancel:
        return false;
      case TfrmSpellCheck::Ignore:
        from = start + length;
        break;
      case TfrmSpellCheck::IgnoreAll:
        checker.IgnoreAll(text);
        from = start + length;
        break;
      case TfrmSpellCheck::Add:
        checker.AddToUserDictionary(text);
        from = start + length;
        break;
      case TfrmSpellCheck::Change: {
        QString replacement = dialog.Replacement();
        word.insertText(replacement);
        editor->setTextCursor(word);
        from = start + static_cast<int>(replacement.size());
        break;
      }
    }
  }
  return true;
}

}  // namespace qm

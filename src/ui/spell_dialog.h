#pragma once
// The spell check dialog: one misspelt word at a time with suggestions,
// Ignore, Ignore all, Add, Change and Cancel.
#include <QDialog>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace qm {

class TSpellChecker;

class TfrmSpellCheck : public QDialog {
  Q_OBJECT
 public:
  enum Choice { Ignore, IgnoreAll, Add, Change, Cancel };

  explicit TfrmSpellCheck(QWidget* parent = nullptr);

  // Shows the word with its suggestions (the first one preselected).
  void SetWord(const QString& word, const std::vector<QString>& suggestions);
  Choice Chosen() const { return choice_; }
  QString Replacement() const;

  QLabel* lblNotFound;
  QLineEdit* edtWord;
  QListWidget* lstSuggestions;
  QPushButton* btnIgnore;
  QPushButton* btnIgnoreAll;
  QPushButton* btnAdd;
  QPushButton* btnChange;
  QPushButton* btnCancel;

 private:
  void Choose(Choice c);
  Choice choice_ = Cancel;
};

// Checks the editor from its start, selecting each misspelt word and asking
// the dialog about it; true when the check ran to the end, false when
// cancelled or when the checker has no dictionary.
bool RunSpellCheck(QTextEdit* editor, TSpellChecker& checker, QWidget* parent);

}  // namespace qm

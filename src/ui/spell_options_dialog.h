#pragma once
// The spell checker's settings: the dictionary and what is not checked.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qm {

class TfrmSpellOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSpellOptions(QWidget* parent = nullptr);

  QComboBox* cmbDictionary;
  QCheckBox* chkIgnoreUpperCase;
  QCheckBox* chkIgnoreNumbers;
  QLineEdit* edtDictionaryDir;

  // Writes the Spelling section.
  void btnOKClick();

 private:
  void FillDictionaries();
};

}  // namespace qm

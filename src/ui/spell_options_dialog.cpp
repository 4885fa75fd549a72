#include "ui/spell_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt_text.h"
#include "ui/spell_checker.h"

namespace qm {

TfrmSpellOptions::TfrmSpellOptions(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmSpellOptions");
  setWindowTitle("Spell checker settings");
  SpellSettings s = LoadSpellSettings();
  cmbDictionary = new QComboBox(this);
  cmbDictionary->setObjectName("cmbDictionary");
  cmbDictionary->setEditable(true);
  edtDictionaryDir = new QLineEdit(Q(s.DictionaryDir), this);
  edtDictionaryDir->setObjectName("edtDictionaryDir");
  edtDictionaryDir->setPlaceholderText("the system's dictionaries");
  chkIgnoreUpperCase = new QCheckBox("Ignore words in &UPPER CASE", this);
  chkIgnoreUpperCase->setObjectName("chkIgnoreUpperCase");
  chkIgnoreUpperCase->setChecked(s.IgnoreUpperCase);
  chkIgnoreNumbers = new QCheckBox("Ignore words with &numbers", this);
  chkIgnoreNumbers->setObjectName("chkIgnoreNumbers");
  chkIgnoreNumbers->setChecked(s.IgnoreNumbers);
  FillDictionaries();
  cmbDictionary->setCurrentText(Q(s.Dictionary));
  connect(edtDictionaryDir, &QLineEdit::editingFinished, this, [this] {
    QString keep = cmbDictionary->currentText();
    FillDictionaries();
    cmbDictionary->setCurrentText(keep);
  });

  auto* form = new QFormLayout;
  form->addRow("&Dictionary:", cmbDictionary);
  form->addRow("Dictionary &folder:", edtDictionaryDir);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    btnOKClick();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(chkIgnoreUpperCase);
  layout->addWidget(chkIgnoreNumbers);
  layout->addStretch(1);
  layout->addWidget(buttons);
}

void TfrmSpellOptions::FillDictionaries() {
  cmbDictionary->clear();
  for (const std::string& lang : AvailableDictionaries(S(edtDictionaryDir->text())))
    cmbDictionary->addItem(lang == "en_US" ? QString(kDefaultDictionary) : Q(lang));
}

void TfrmSpellOptions::btnOKClick() {
  SpellSettings s;
  s.Dictionary = S(cmbDictionary->currentText().trimmed());
  s.IgnoreUpperCase = chkIgnoreUpperCase->isChecked();
  s.IgnoreNumbers = chkIgnoreNumbers->isChecked();
  s.DictionaryDir = S(edtDictionaryDir->text().trimmed());
  SaveSpellSettings(s);
}

}  // namespace qm

#include "ui/exceeded_size_prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/message_properties.h"
#include "ui/qt_text.h"
#include "ui/read_only_field.h"
#include "ui/window_entry_points.h"

namespace qm {

TfrmExceededSizePrompt::TfrmExceededSizePrompt(const cSizePromptInfo& info, QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmExceededSizePrompt");
  setWindowTitle("Message exceeds permitted size");
  resize(380, 260);
  auto* title = new QLabel("Maximum size: " + QString::number(info.ThresholdKB) + " KB", this);
  title->setObjectName("lblTitle");
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  edtFrom = ReadOnlyField(this, "edtFrom", info.From);
  edtSubject = ReadOnlyField(this, "edtSubject", info.Subject);
  edtTo = ReadOnlyField(this, "edtTo", info.To);
  edtDate = ReadOnlyField(this, "edtDate", DateTimeText(info.Date));
  edtSize = ReadOnlyField(this, "edtSize", std::to_string(info.Size) + " bytes");
  auto* form = new QFormLayout;
  form->addRow("From:", edtFrom);
  form->addRow("Subject:", edtSubject);
  form->addRow("To:", edtTo);
  form->addRow("Date:", edtDate);
  form->addRow("Size:", edtSize);
  auto* question = new QLabel("What should QM do with this message?", this);

  btnSkip = new QPushButton("Skip it", this);
  btnSkip->setObjectName("btnSkip");
  btnSkip->setDefault(true);
  btnFetch = new QPushButton("Fetch", this);
  btnFetch->setObjectName("btnFetch");
  btnErase = new QPushButton("Erase from server", this);
  btnErase->setObjectName("btnErase");
  connect(btnSkip, &QPushButton::clicked, this, [this] {
    answer_ = TSizePromptAnswer::SkipIt;
    accept();
  });
  connect(btnFetch, &QPushButton::clicked, this, [this] {
    answer_ = TSizePromptAnswer::Fetch;
    accept();
  });
  connect(btnErase, &QPushButton::clicked, this, [this] {
    answer_ = TSizePromptAnswer::EraseFromServer;
    accept();
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSkip);
  buttons->addWidget(btnFetch);
  buttons->addWidget(btnErase);
  auto* root = new QVBoxLayout(this);
  root->addWidget(title);
  root->addLayout(form);
  root->addWidget(question);
  root->addLayout(buttons);
}

TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info, QWidget* parent) {
  TfrmExceededSizePrompt prompt(info, parent);
  prompt.exec();
  return prompt.Answer();
}

TSizePromptAnswer AskExceededSizePrompt(const cSizePromptInfo& info) { return AskExceededSize(info); }

}  // namespace qm

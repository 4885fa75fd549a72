#include "ui/ok_cancel_dialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

OkCancelButtons SetUpOkCancelDialog(QDialog* dialog, const char* object_name, const QString& caption,
                                    std::initializer_list<DialogPart> body) {
  dialog->setObjectName(object_name);
  dialog->setWindowTitle(caption);
  dialog->setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  OkCancelButtons b;
  b.ok = new QPushButton("&OK", dialog);
  b.ok->setObjectName("btnOK");
  b.ok->setDefault(true);
  b.cancel = new QPushButton("&Cancel", dialog);
  b.cancel->setObjectName("btnCancel");
  QObject::connect(b.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* root = new QVBoxLayout(dialog);
  for (const DialogPart& part : body) {
    if (part.widget)
      root->addWidget(part.widget, part.stretch);
    else if (part.layout)
      root->addLayout(part.layout, part.stretch);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(b.ok);
  buttons->addWidget(b.cancel);
  root->addLayout(buttons);
  return b;
}

}  // namespace qm

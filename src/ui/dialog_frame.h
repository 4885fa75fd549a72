#pragma once
// The fixed, centred dialog frame most small windows share.
#include <QDialog>
#include <QString>

namespace qm {

// Caption, a fixed single border with only the system menu, and a fixed client size.
inline void SetFixedDialogFrame(QDialog* dialog, const QString& caption, int width, int height) {
  dialog->setWindowTitle(caption);
  dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint);
  dialog->setFixedSize(width, height);
}

}  // namespace qm

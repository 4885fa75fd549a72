#include "ui/message_properties.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "shell/app_paths.h"
#include "ui/qt_text.h"

namespace qm {

namespace {
// Lines for a Qt text view, which wants plain line feeds.
QString PlainLines(const StringList& lines) {
  QString out;
  for (const std::string& line : lines) {
    out += Q(line);
    out += QChar('\n');
  }
  return out;
}
}  // namespace

QDateTime QDateTimeOf(TDateTime value) {
  int y = 1899, m = 12, d = 30, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(value, y, m, d);
  DecodeTime(value, h, mi, s, ms);
  return QDateTime(QDate(y, m, d), QTime(h, mi, s, ms));
}

std::string DateTimeText(TDateTime value) {
  return S(QLocale().toString(QDateTimeOf(value), QLocale::ShortFormat));
}

namespace {
QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}
QLabel* Caption(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}
}  // namespace

TfrmMessageProperties::TfrmMessageProperties(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmMessageProperties");
  setWindowTitle("Message properties window");
  setMinimumSize(409, 423);
  int height = OptionsIni ? OptionsIni->ReadInteger("MsgPropsWindow", "Height", 423) : 423;
  int width = OptionsIni ? OptionsIni->ReadInteger("MsgPropsWindow", "Width", 409) : 409;
  resize(std::max(width, 409), std::max(height, 423));

  auto* title = new QLabel("Message properties", this);
  QFont bold = title->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  title->setFont(bold);
  lblFrom = ValueLabel(this, "lblFrom");
  lblTo = ValueLabel(this, "lblTo");
  lblCC = ValueLabel(this, "lblCC");
  lblSubject = ValueLabel(this, "lblSubject");
  lblAccount = ValueLabel(this, "lblAccount");

  auto* grid = new QGridLayout;
  grid->addWidget(title, 0, 1);
  const std::pair<const char*, QLabel*> rows[] = {
      {"From", lblFrom}, {"To", lblTo}, {"CC", lblCC}, {"Subject", lblSubject}, {"Account", lblAccount}};
  int row = 1;
  for (const auto& [caption, label] : rows) {
    grid->addWidget(Caption(this, caption), row, 0);
    grid->addWidget(label, row, 1);
    ++row;
  }
  grid->setColumnStretch(1, 1);

  auto* headers_caption = new QLabel(" Message headers", this);
  memoHeaders = new QPlainTextEdit(this);
  memoHeaders->setObjectName("memoHeaders");
  memoHeaders->setReadOnly(true);
  memoHeaders->setLineWrapMode(QPlainTextEdit::NoWrap);
  memoHeaders->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoHeaders->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  pnlButtons = new QWidget(this);
  pnlButtons->setObjectName("pnlButtons");
  pnlButtons->setFixedHeight(36);
  btnClose = new QPushButton("&Close", pnlButtons);
  btnClose->setObjectName("btnClose");
  btnClose->setDefault(true);
  btnClose->resize(75, 25);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
  pnlButtons->installEventFilter(this);

  auto* root = new QVBoxLayout(this);
  root->addLayout(grid);
  root->addWidget(headers_caption);
  root->addWidget(memoHeaders, 1);
  root->addWidget(pnlButtons);
}

bool TfrmMessageProperties::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pnlButtons && event->type() == QEvent::Resize) {
    // Kept centred; the fraction is dropped.
    btnClose->move((pnlButtons->width() - btnClose->width()) / 2, (pnlButtons->height() - btnClose->height()) / 2);
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmMessageProperties::LoadProperties(const cMailMessage& message) {
  lblFrom->setText(Q(message.From));
  lblTo->setText(Q(message.To));
  lblCC->setText(Q(message.CC));
  lblSubject->setText(Q(message.Subject));
  lblAccount->setText(Q(message.Account + " (received on " + DateTimeText(message.Date) + ")"));
  memoHeaders->setPlainText(message.Headers ? PlainLines(*message.Headers) : QString());
}

void TfrmMessageProperties::done(int result) {
  if (OptionsIni) {
    OptionsIni->WriteInteger("MsgPropsWindow", "Height", height());
    OptionsIni->WriteInteger("MsgPropsWindow", "Width", width());
  }
  QDialog::done(result);
}

}  // namespace qm

#include "ui/about_dialog.h"

#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/open_link.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

const char* const kHomePage = "https://quillmar.example.org/";

QString VersionText() { return QLocale().toString(3.61, 'f', 2) + " (Final)"; }

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmAbout");
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(305, 251);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto* panel = new QWidget(this);
  panel->setObjectName("pnlAbout");
  panel->setAutoFillBackground(true);
  QPalette pp = panel->palette();
  pp.setColor(QPalette::Window, QColor(0xAD, 0xAE, 0xCE));  // 0xCEAEAD, red in the low byte
  pp.setColor(QPalette::WindowText, Qt::black);
  panel->setPalette(pp);

  auto* picture = new QLabel(panel);
  picture->setObjectName("imgLogo");
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  auto* about = new QLabel("About Quillmar...", panel);
  QFont bold = about->font();
  bold.setBold(true);
  about->setFont(bold);
  auto* name = new QLabel("Torvane Quillmar", panel);
  QFont big = name->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 4);
  name->setFont(big);
  auto* author = new QLabel("Made by the Torvane Quillmar developers", panel);
  VersionLabel = new QLabel(VersionText(), panel);
  VersionLabel->setObjectName("VersionLabel");
  HomePageLink = new QLabel(kHomePage, panel);
  HomePageLink->setObjectName("HomePageLink");
  HomePageLink->setCursor(Qt::PointingHandCursor);
  QPalette lp = HomePageLink->palette();
  lp.setColor(QPalette::WindowText, Qt::blue);
  HomePageLink->setPalette(lp);
  QFont underline = HomePageLink->font();
  underline.setUnderline(true);
  HomePageLink->setFont(underline);
  auto* quote = new QLabel("\"A letter is a conversation that waits for you.\"", panel);
  quote->setWordWrap(true);
  QFont italic = quote->font();
  italic.setItalic(true);
  quote->setFont(italic);

  auto* head = new QHBoxLayout;
  head->addWidget(picture, 0, Qt::AlignTop);
  head->addWidget(about, 1);
  auto* inner = new QVBoxLayout(panel);
  inner->addLayout(head);
  inner->addWidget(name);
  inner->addWidget(author);
  inner->addWidget(VersionLabel);
  inner->addWidget(HomePageLink);
  inner->addWidget(quote);
  inner->addStretch();

  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  btnSystemInfo = new QPushButton("&System Info", this);
  btnSystemInfo->setObjectName("btnSystemInfo");
  connect(btnSystemInfo, &QPushButton::clicked, this, &TfrmAbout::btnSystemInfoClick);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnSystemInfo);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->addWidget(panel, 1);
  root->addLayout(buttons);

  // Dragging anywhere but the buttons moves the window.
  for (QWidget* w : {static_cast<QWidget*>(this), panel, static_cast<QWidget*>(picture), static_cast<QWidget*>(about),
                     static_cast<QWidget*>(name), static_cast<QWidget*>(author), static_cast<QWidget*>(VersionLabel),
                     static_cast<QWidget*>(HomePageLink), static_cast<QWidget*>(quote)})
    w->installEventFilter(this);
}

void TfrmAbout::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter p(this);
  p.setPen(QPen(Qt::black, 2));
  p.drawRect(rect().adjusted(1, 1, -1, -1));
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      if (watched == HomePageLink) {
        HomePageLinkClick();
        return true;
      }
      if (QWindow* handle = windowHandle()) handle->startSystemMove();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmAbout::HomePageLinkClick() { OpenLink(kHomePage); }

void TfrmAbout::btnSystemInfoClick() {
  // The Windows system information tool never exists here.
  QMessageBox::information(this, "Torvane Quillmar",
                           "The Microsoft Information tool is not installed on your computer. System info is therefor "
                           "unavaliable.");
}

void ShowAbout(QWidget* parent) {
  TfrmAbout about(parent);
  about.exec();
}

}  // namespace qm

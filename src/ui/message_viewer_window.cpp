#include "ui/message_viewer_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <set>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "ui/html_display.h"
#include "ui/message_properties.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {
constexpr int kDesignedWidth = 532;
constexpr int kDesignedHeight = 453;

std::set<TfrmMessageViewer*>& OpenWindows() {
  static std::set<TfrmMessageViewer*> windows;
  return windows;
}
}  // namespace

int OpenMessageWindowCount() { return static_cast<int>(OpenWindows().size()); }

TfrmMessageViewer::TfrmMessageViewer(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TfrmMessageViewer");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Message Viewer");
  OpenWindows().insert(this);

  Viewer = new TfraMessageViewer(this, false);
  setCentralWidget(Viewer);
  // The window sees the keys before the display does.
  Viewer->MsgViewer->installEventFilter(this);

  QStyle* st = style();
  tbMain = addToolBar("Message");
  tbMain->setObjectName("tbMain");
  tbMain->setMovable(false);
  tbReply = tbMain->addAction(st->standardIcon(QStyle::SP_ArrowBack), "Reply", this, &TfrmMessageViewer::tbReplyClick);
  tbReply->setObjectName("tbReply");
  tbForward =
      tbMain->addAction(st->standardIcon(QStyle::SP_ArrowForward), "Forward", this, &TfrmMessageViewer::tbForwardClick);
  tbForward->setObjectName("tbForward");
  tbMain->addSeparator();
  tbCopy = tbMain->addAction(st->standardIcon(QStyle::SP_FileDialogDetailedView), "Copy to clipboard", Viewer->MsgViewer,
                             &QTextEdit::copy);
  tbCopy->setObjectName("tbCopy");
  tbPrint = tbMain->addAction(st->standardIcon(QStyle::SP_DriveFDIcon), "Print", Viewer,
                              &TfraMessageViewer::PrintShownMessage);
  tbPrint->setObjectName("tbPrint");
  tbMain->addSeparator();
  tbFullScreen = tbMain->addAction(st->standardIcon(QStyle::SP_TitleBarMaxButton), "Full screen");
  tbFullScreen->setObjectName("tbFullScreen");
  tbFullScreen->setCheckable(true);
  connect(tbFullScreen, &QAction::triggered, this, &TfrmMessageViewer::tbFullScreenClick);
  tbClose = tbMain->addAction(st->standardIcon(QStyle::SP_DialogCloseButton), "Close", this, &QWidget::close);
  tbClose->setObjectName("tbClose");
  tbClose->setToolTip("Close");

  QMenu* file = menuBar()->addMenu("&File");
  mnuSave = file->addAction("&Save...", this, [this] { Viewer->SaveMessageAs("txt"); });
  mnuSave->setObjectName("mnuSave");
  mnuSave->setShortcut(QKeySequence("Ctrl+S"));
  mnuPrint = file->addAction("&Print", Viewer, &TfraMessageViewer::PrintShownMessage);
  mnuPrint->setObjectName("mnuPrint");
  mnuPrint->setShortcut(QKeySequence("Ctrl+P"));
  mnuProperties = file->addAction("&Properties", Viewer, &TfraMessageViewer::ShowProperties);
  mnuProperties->setObjectName("mnuProperties");
  mnuProperties->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  file->addSeparator();
  mnuClose = file->addAction("&Close", this, &QWidget::close);
  mnuClose->setObjectName("mnuClose");
  QMenu* message = menuBar()->addMenu("&Message");
  mnuReply = message->addAction("&Reply", this, &TfrmMessageViewer::tbReplyClick);
  mnuReply->setObjectName("mnuReply");
  mnuReply->setShortcut(QKeySequence("Ctrl+R"));
  mnuForward = message->addAction("&Forward", this, &TfrmMessageViewer::tbForwardClick);
  mnuForward->setObjectName("mnuForward");
  mnuForward->setShortcut(QKeySequence("Ctrl+F"));
  QMenu* help = menuBar()->addMenu("&Help");
  mnuAbout = help->addAction("&About...", this, [this] { ShowAbout(this); });
  mnuAbout->setObjectName("mnuAbout");

  statusBar()->setObjectName("StatusBar");

  int width = OptionsIni ? OptionsIni->ReadInteger("MessageViewer", "Width", kDesignedWidth) : kDesignedWidth;
  int height = OptionsIni ? OptionsIni->ReadInteger("MessageViewer", "Height", kDesignedHeight) : kDesignedHeight;
  resize(width, height);
  if (QScreen* screen = QApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width / 2, height / 2));
  }
}

TfrmMessageViewer::~TfrmMessageViewer() { OpenWindows().erase(this); }

bool ReadMessageByRef(const std::string& message_ref, cMailMessage& msg) {
  InitMessage(msg);
  std::string path, key;
  if (!ParseMessageRef(message_ref, path, key)) return false;
  // Viewing never creates a mailbox file.
  if (!FileExists(path)) return false;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db) || !db) return false;
  bool ok = GetMessage(*db, msg, true, key);
  ReleaseQDB(db);
  if (!ok) {
    FreeMessage(msg);
    InitMessage(msg);
  }
  return ok;
}

bool TfrmMessageViewer::LoadMessage(const std::string& message_ref) {
  message_ref_ = message_ref;
  cMailMessage msg;
  if (!ReadMessageByRef(message_ref, msg)) return false;
  Viewer->DisplayMessage(msg);
  setWindowTitle(Q(msg.Subject));
  return true;
}

void TfrmMessageViewer::tbReplyClick() {
  ComposeSetup setup;
  setup.kind = ComposeKind::Reply;
  setup.source_ref = message_ref_;
  ShowComposeWindow(setup);
}

void TfrmMessageViewer::tbForwardClick() {
  ComposeSetup setup;
  setup.kind = ComposeKind::Forward;
  setup.source_ref = message_ref_;
  ShowComposeWindow(setup);
}

void TfrmMessageViewer::tbFullScreenClick() {
  if (tbFullScreen->isChecked())
    showMaximized();
  else
    showNormal();
}

void TfrmMessageViewer::keyPressEvent(QKeyEvent* event) {
  bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    tbFullScreen->setChecked(!tbFullScreen->isChecked());
    tbFullScreenClick();
    return;
  }
  if (plain && event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

bool TfrmMessageViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Viewer->MsgViewer && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape)) {
      keyPressEvent(key);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMessageViewer::closeEvent(QCloseEvent* event) {
  if (OptionsIni && !isMaximized()) {
    OptionsIni->WriteInteger("MessageViewer", "Height", height());
    OptionsIni->WriteInteger("MessageViewer", "Width", width());
  }
  Viewer->SaveAttachPaneHeight();
  Viewer->ClearMessage();
  event->accept();
}

void ShowMessageProperties(const std::string& message_ref) {
  cMailMessage msg;
  if (!ReadMessageByRef(message_ref, msg)) return;
  TfrmMessageProperties props(QApplication::activeWindow());
  props.LoadProperties(msg);
  props.exec();
  FreeMessage(msg);
}

void SaveMessageAs(const std::string& message_ref) {
  cMailMessage msg;
  if (!ReadMessageByRef(message_ref, msg)) return;
  // A hidden frame does the asking and the writing.
  TfraMessageViewer frame(nullptr, false);
  frame.DisplayMessage(msg);
  frame.SaveMessageAs("txt");
}

void OpenMessageWindow(const std::string& message_ref) {
  auto* window = new TfrmMessageViewer;
  window->LoadMessage(message_ref);
  window->show();
}

}  // namespace qm

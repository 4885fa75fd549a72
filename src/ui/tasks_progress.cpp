#include "ui/tasks_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/event_sound.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "transport/task_queue.h"
#include "transport/task_sound.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

constexpr int kDesignedWidth = 480;
constexpr int kDesignedHeight = 400;
constexpr int kStateRole = Qt::UserRole + 1;

TfrmTasksProgress* g_window = nullptr;

// The four state pictures: queued, running, done, failed.
QIcon StateIcon(int state) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  switch (state) {
    case kTaskRunning: {
      p.setBrush(QColor(0x20, 0x90, 0x20));
      p.setPen(Qt::NoPen);
      const QPointF tri[] = {{4, 2}, {13, 8}, {4, 14}};
      p.drawPolygon(tri, 3);
      break;
    }
    case kTaskDone:
      p.setPen(QPen(QColor(0x10, 0x70, 0x10), 2.5));
      p.drawLine(QPointF(3, 8.5), QPointF(6.5, 12));
      p.drawLine(QPointF(6.5, 12), QPointF(13, 4));
      break;
    case kTaskFailed:
      p.setBrush(QColor(0xC0, 0x20, 0x20));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QRectF(1, 1, 14, 14));
      p.setPen(QPen(Qt::white, 2));
      p.drawLine(QPointF(5, 5), QPointF(11, 11));
      p.drawLine(QPointF(11, 5), QPointF(5, 11));
      break;
    default:
      p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.5));
      p.setBrush(QColor(0xE0, 0xE0, 0xE0));
      p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
      break;
  }
  return QIcon(pm);
}

StringList SplitViewText(const QString& text) {
  StringList lines;
  if (text.isEmpty()) return lines;
  for (const QString& line : text.split('\n')) lines.push_back(S(line));
  return lines;
}

class TTasksProgressView : public cTaskWindowView {
 public:
  explicit TTasksProgressView(TfrmTasksProgress* window) : window_(window) {}
  ~TTasksProgressView() override {
    if (window_) window_->deleteLater();
  }
  void AddTaskRow(int row, const std::string& server, const std::string& type, const std::string& name) override {
    if (window_) window_->AddTaskRow(row, server, type, name);
  }
  void SetRowState(int row, int state) override {
    if (window_) window_->SetRowState(row, state);
  }
  void SetCurrentRow(int row) override {
    if (window_) window_->SetCurrentRow(row);
  }
  void SetStatusText(const std::string& text) override {
    if (!window_) return;
    window_->lblStatus->setText(Q(text));
    window_->lblStatus->repaint();
  }
  void AppendLogLine(const std::string& text, TColor colour) override {
    if (window_) window_->AppendLogLine(text, colour);
  }
  void ClearLog() override {
    if (window_) window_->edtLog->clear();
  }
  void AppendErrorLines(const StringList& lines) override {
    if (window_) window_->AppendErrorLines(lines);
  }
  void SetProgressPosition(int position) override {
    if (window_) window_->pb->setValue(std::clamp(position, window_->pb->minimum(), window_->pb->maximum()));
  }
  void SetProgressMaximum(int maximum) override {
    if (window_) window_->pb->setMaximum(std::max(0, maximum));
  }
  void ShowErrorsPage() override {
    if (window_) window_->ShowErrorsPage();
  }
  void ShowWindow(bool focus) override {
    if (window_) window_->ShowWindow(focus);
  }
  void BringToFrontAndFlash() override {
    if (window_) window_->BringToFrontAndFlash();
  }
  void SetStopEnabled(bool enabled) override {
    if (window_) window_->btnStop->setEnabled(enabled);
  }
  void CloseWindow() override {
    if (window_) window_->CloseWindow();
  }

 private:
  QPointer<TfrmTasksProgress> window_;
};

}  // namespace

std::unique_ptr<cTaskWindowView> MakeTasksProgressView(TfrmTasksProgress* window) {
  return std::make_unique<TTasksProgressView>(window);
}

TfrmTasksProgress* CurrentTasksProgressWindow() { return g_window; }

TfrmTasksProgress::TfrmTasksProgress(QWidget* parent) : QWidget(parent) {
  setObjectName("TfrmTasksProgress");
  setWindowTitle("Tasks progress");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  g_window = this;

  lblRunning = new QLabel("Running tasks in queue...", this);
  lblRunning->setObjectName("lblRunning");
  QFont bold = lblRunning->font();
  bold.setBold(true);
  lblRunning->setFont(bold);
  lblStatus = new QLabel("< no operation >", this);
  lblStatus->setObjectName("lblStatus");
  lblStatus->setTextFormat(Qt::PlainText);

  pgPages = new QTabWidget(this);
  pgPages->setObjectName("pgPages");
  tabTasks = new QWidget;
  tabTasks->setObjectName("tabTasks");
  lstTasks = new QTreeWidget(tabTasks);
  lstTasks->setObjectName("lstTasks");
  lstTasks->setColumnCount(3);
  lstTasks->setHeaderLabels({" Server", " Type", " Task"});
  lstTasks->setRootIsDecorated(false);
  lstTasks->setSelectionMode(QAbstractItemView::SingleSelection);
  lstTasks->header()->setStretchLastSection(true);
  lstTasks->setColumnWidth(0, 170);
  lstTasks->setColumnWidth(1, 70);
  (new QVBoxLayout(tabTasks))->addWidget(lstTasks);
  pgPages->addTab(tabTasks, "Tasks");

  tabLog = new QWidget;
  tabLog->setObjectName("tabLog");
  edtLog = new QTextEdit(tabLog);
  edtLog->setObjectName("edtLog");
  edtLog->setReadOnly(true);
  edtLog->setAcceptRichText(false);
  edtLog->setLineWrapMode(QTextEdit::NoWrap);
  edtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  edtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  (new QVBoxLayout(tabLog))->addWidget(edtLog);
  pgPages->addTab(tabLog, "Communications");

  tabErrors = new QWidget;
  tabErrors->setObjectName("tabErrors");
  edtErrors = new QPlainTextEdit(tabErrors);
  edtErrors->setObjectName("edtErrors");
  edtErrors->setReadOnly(true);
  (new QVBoxLayout(tabErrors))->addWidget(edtErrors);
  pgPages->addTab(tabErrors, "Errors");

  pb = new QProgressBar(this);
  pb->setObjectName("pb");
  pb->setRange(0, 100);
  pb->setValue(0);

  btnSaveToFile = new QPushButton("&Save to file...", this);
  btnSaveToFile->setObjectName("btnSaveToFile");
  btnStop = new QPushButton("&Stop at this task", this);
  btnStop->setObjectName("btnStop");
  btnStop->setDefault(true);
  btnStop->setAutoDefault(true);
  connect(btnSaveToFile, &QPushButton::clicked, this, &TfrmTasksProgress::btnSaveToFileClick);
  connect(btnStop, &QPushButton::clicked, this, &TfrmTasksProgress::btnStopClick);

  auto* status = new QHBoxLayout;
  status->addWidget(lblRunning);
  status->addWidget(lblStatus, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSaveToFile);
  buttons->addWidget(btnStop);
  auto* root = new QVBoxLayout(this);
  root->addLayout(status);
  root->addWidget(pgPages, 1);
  root->addWidget(pb);
  root->addLayout(buttons);

  int width = OptionsIni ? OptionsIni->ReadInteger("TasksWindow", "Width", kDesignedWidth) : kDesignedWidth;
  int height = OptionsIni ? OptionsIni->ReadInteger("TasksWindow", "Height", kDesignedHeight) : kDesignedHeight;
  resize(width, height);
  if (QScreen* screen = QApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
}

TfrmTasksProgress::~TfrmTasksProgress() {
  if (g_window == this) g_window = nullptr;
}

void TfrmTasksProgress::AddTaskRow(int row, const std::string& server, const std::string& type,
                                   const std::string& name) {
  auto* item = new QTreeWidgetItem({Q(server), Q(type), Q(name)});
  item->setData(0, kStateRole, kTaskQueued);
  item->setIcon(0, StateIcon(kTaskQueued));
  lstTasks->insertTopLevelItem(std::clamp(row, 0, lstTasks->topLevelItemCount()), item);
}

void TfrmTasksProgress::SetRowState(int row, int state) {
  QTreeWidgetItem* item = lstTasks->topLevelItem(row);
  if (!item) return;
  item->setData(0, kStateRole, state);
  // One picture for the normal and the selected look.
  item->setIcon(0, StateIcon(state));
}

int TfrmTasksProgress::RowState(int row) const {
  QTreeWidgetItem* item = lstTasks->topLevelItem(row);
  return item ? item->data(0, kStateRole).toInt() : -1;
}

void TfrmTasksProgress::SetCurrentRow(int row) {
  for (int i = 0; i < lstTasks->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = lstTasks->topLevelItem(i);
    for (int c = 0; c < 3; ++c) {
      QFont f = item->font(c);
      f.setBold(i == row);
      item->setFont(c, f);
    }
  }
  if (QTreeWidgetItem* item = lstTasks->topLevelItem(row)) lstTasks->scrollToItem(item);
  lstTasks->viewport()->update();
}

void TfrmTasksProgress::AppendLogLine(const std::string& text, TColor colour) {
  QTextCursor cursor(edtLog->document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat format;
  format.setForeground(ColourFromSetting(static_cast<int>(colour)));
  if (!edtLog->document()->isEmpty()) cursor.insertBlock();
  cursor.insertText(Q(text), format);
  edtLog->ensureCursorVisible();
}

void TfrmTasksProgress::AppendErrorLines(const StringList& lines) {
  for (const std::string& line : lines) edtErrors->appendPlainText(Q(line));
}

StringList TfrmTasksProgress::LogLines() const { return SplitViewText(edtLog->toPlainText()); }
StringList TfrmTasksProgress::ErrorLines() const { return SplitViewText(edtErrors->toPlainText()); }

void TfrmTasksProgress::ShowErrorsPage() {
  pgPages->setCurrentWidget(tabErrors);
  ShowWindow(true);
}

void TfrmTasksProgress::ShowWindow(bool focus) {
  if (isMinimized()) showNormal();
  show();
  if (focus) {
    raise();
    activateWindow();
  }
}

void TfrmTasksProgress::BringToFrontAndFlash() {
  ShowWindow(true);
  QApplication::alert(this);
}

void TfrmTasksProgress::btnStopClick() {
  if (TasksWindow) TasksWindow->StopAtThisTask();
  btnStop->setEnabled(false);
}

void TfrmTasksProgress::SaveLogToFile(const std::string& path) {
  StringList lines = TasksWindow ? TasksWindow->SavedLogLines(LogLines(), ErrorLines()) : StringList{};
  SaveLinesToFile(path, lines);
}

void TfrmTasksProgress::btnSaveToFileClick() {
  QFileDialog dialog(this, "Save to file", QString(), "Text files (*.txt);;All files (*.*)");
  dialog.setObjectName("dlgSaveLog");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("txt");
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  std::string path = S(dialog.selectedFiles().first());
  if (!DirectoryExists(ExtractFilePath(path))) return;
  try {
    SaveLogToFile(path);
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while saving the task log");
  }
}

void TfrmTasksProgress::CloseWindow() {
  if (OptionsIni) {
    OptionsIni->WriteInteger("TasksWindow", "Height", height());
    OptionsIni->WriteInteger("TasksWindow", "Width", width());
  }
  closing_by_queue_ = true;
  hide();
}

void TfrmTasksProgress::closeEvent(QCloseEvent* event) {
  if (closing_by_queue_ || !TasksWindow) {
    event->accept();
    return;
  }
  // Refused without a message while a task runs.
  if (TasksWindow->CurrentRow >= 0) {
    event->ignore();
    return;
  }
  event->ignore();  // Close() hides the window and schedules its deletion
  TasksWindow->Close();
}

void ShowTaskWindow() {
  if (g_window) g_window->ShowWindow(true);
}

}  // namespace qm

namespace qm {

std::unique_ptr<cTaskWindowView> CreateTaskWindowView() {
  return MakeTasksProgressView(new TfrmTasksProgress);
}

bool PlayEventSoundFromSettings(const std::string& name, bool is_file) {
  return PlayEventSound(EventSoundFile(name, is_file), true);
}

void PlayNamedSound(const std::string& name, bool is_file) { PlayEventSoundFromSettings(name, is_file); }

}  // namespace qm

#include "ui/compose_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "accounts/account_list.h"
#include "shell/app_paths.h"
#include "shell/font_settings.h"
#include "ui/compose_autocomplete.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"
#include "ui/spell_checker.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

std::vector<TfrmCompose*>& Windows() {
  static std::vector<TfrmCompose*> windows;
  return windows;
}

QFont FontFromSettings(const char* section, const QFont& base) {
  FontDesc d;
  if (!OptionsIni || !OptionsIni->SectionExists(section)) return base;
  LoadFont(*OptionsIni, d, section);
  QFont f = base;
  // The designers' "MS Sans Serif" is not a font here: keep the system's.
  if (d.name != "MS Sans Serif") f.setFamily(Q(d.name));
  if (d.size > 0) f.setPointSize(d.size);
  f.setBold(d.bold);
  f.setItalic(d.italic);
  f.setUnderline(d.underline);
  return f;
}

constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 520;
constexpr int kDesignAttachsHeight = 80;

}  // namespace

const std::vector<TfrmCompose*>& TfrmCompose::OpenWindows() { return Windows(); }

TfrmCompose::TfrmCompose(QWidget* parent) : QMainWindow(parent), spell_(std::make_unique<TSpellChecker>()) {
  setObjectName("TfrmCompose");
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  Windows().push_back(this);
  InitMessage(msg_);
  CreateControls();
  CreateMenus();

  suppress_modified_ = true;
  StringList accounts = ListAccounts(true);
  for (const std::string& a : accounts) ServersList->addItem(Q(a));
  ServersList->setCurrentIndex(-1);
  suppress_modified_ = false;

  RebuildSignaturesMenu();
  ApplyFonts();
  LoadViewSettings();
  autocomplete_list_ = BuildAutoCompleteList();
  Command("mnuSpellCheck")->setEnabled(spell_->LoadConfiguration());
  Command("tbSpellCheck")->setEnabled(spell_->IsConfigured());
  UpdateCaption();
  RichEditSelectionChange();

  if (accounts.empty()) {
    // Shown once the window is up, in front of it, without holding up the
    // caller (the start-up hand-off opens windows in a row).
    QTimer::singleShot(0, this, [this] {
      auto* box = new QMessageBox(QMessageBox::Warning, "No accounts found",
                                  "Warning -- you have not setup any accounts. Most of the functions in this window "
                                  "will therefore not work until you create one.",
                                  QMessageBox::Ok, this);
      box->setObjectName("NoAccountsWarning");
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
    });
  }
}

TfrmCompose::~TfrmCompose() {
  auto& w = Windows();
  w.erase(std::remove(w.begin(), w.end(), this), w.end());
  FreeMessage(msg_);
}

void TfrmCompose::CreateControls() {
  auto* central = new QWidget(this);
  auto* grid = new QGridLayout;
  grid->setContentsMargins(6, 6, 6, 2);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);

  auto label = [this](QLabel*& l, const char* name, const QString& text) {
    l = new QLabel(text, this);
    l->setObjectName(name);
  };
  auto edit = [this](QLineEdit*& e, const char* name) {
    e = new QLineEdit(this);
    e->setObjectName(name);
    connect(e, &QLineEdit::textChanged, this, [this] { SetModified(); });
  };
  label(lblFrom, "lblFrom", "&From:");
  label(lblAccount, "lblAccount", "&Account:");
  label(lblTo, "lblTo", "T&o:");
  label(lblCC, "lblCC", "&CC:");
  label(lblBCC, "lblBCC", "&BCC:");
  label(lblSubject, "lblSubject", "&Subject:");
  edit(edtFrom, "edtFrom");
  edit(edtTo, "edtTo");
  edit(edtCC, "edtCC");
  edit(edtBCC, "edtBCC");
  edit(edtSubject, "edtSubject");
  ServersList = new QComboBox(this);
  ServersList->setObjectName("ServersList");
  ServersList->setMinimumContentsLength(14);
  connect(ServersList, QOverload<int>::of(&QComboBox::activated), this, [this] {
    ServersListClick();
    SetModified();
  });
  lblFrom->setBuddy(edtFrom);
  lblAccount->setBuddy(ServersList);
  lblTo->setBuddy(edtTo);
  lblCC->setBuddy(edtCC);
  lblBCC->setBuddy(edtBCC);
  lblSubject->setBuddy(edtSubject);
  connect(edtSubject, &QLineEdit::textChanged, this, [this] { UpdateCaption(); });

  // The address labels open the contacts: tag 0 To, 1 CC, 2 BCC.
  int tag = 0;
  for (QLabel* l : {lblTo, lblCC, lblBCC}) {
    l->setProperty("tag", tag++);
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip("Click to browse the contacts, right-click for the contacts menu");
    l->installEventFilter(this);
  }
  for (QLineEdit* e : {edtTo, edtCC, edtBCC}) e->installEventFilter(this);

  grid->addWidget(lblFrom, 0, 0);
  grid->addWidget(edtFrom, 0, 1);
  grid->addWidget(lblAccount, 0, 2);
  grid->addWidget(ServersList, 0, 3);
  grid->addWidget(lblTo, 1, 0);
  grid->addWidget(edtTo, 1, 1, 1, 3);
  grid->addWidget(lblCC, 2, 0);
  grid->addWidget(edtCC, 2, 1, 1, 3);
  grid->addWidget(lblBCC, 3, 0);
  grid->addWidget(edtBCC, 3, 1, 1, 3);
  grid->addWidget(lblSubject, 4, 0);
  grid->addWidget(edtSubject, 4, 1, 1, 3);
  grid->setColumnStretch(1, 1);
  from_row_ = {lblFrom, edtFrom, lblAccount, ServersList};
  cc_row_ = {lblCC, edtCC};
  bcc_row_ = {lblBCC, edtBCC};

  RichEdit = new QTextEdit(this);
  RichEdit->setObjectName("RichEdit");
  RichEdit->setAcceptRichText(false);
  RichEdit->setLineWrapMode(QTextEdit::WidgetWidth);
  RichEdit->installEventFilter(this);
  connect(RichEdit, &QTextEdit::textChanged, this, [this] { SetModified(); });
  connect(RichEdit, &QTextEdit::cursorPositionChanged, this, &TfrmCompose::RichEditSelectionChange);
  connect(RichEdit, &QTextEdit::selectionChanged, this, &TfrmCompose::RichEditSelectionChange);

  lstAttachments = new QListWidget(this);
  lstAttachments->setObjectName("lstAttachments");
  lstAttachments->setViewMode(QListView::IconMode);
  lstAttachments->setIconSize(QSize(32, 32));
  lstAttachments->setResizeMode(QListView::Adjust);
  lstAttachments->setMovement(QListView::Static);
  lstAttachments->setWordWrap(true);
  lstAttachments->setGridSize(QSize(150, 60));
  lstAttachments->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstAttachments->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstAttachments->setContextMenuPolicy(Qt::CustomContextMenu);
  lstAttachments->installEventFilter(this);

  AttachsSplitter = new QSplitter(Qt::Vertical, this);
  AttachsSplitter->setObjectName("AttachsSplitter");
  AttachsSplitter->addWidget(RichEdit);
  AttachsSplitter->addWidget(lstAttachments);
  AttachsSplitter->setStretchFactor(0, 1);
  AttachsSplitter->setCollapsible(0, false);
  lstAttachments->hide();

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(grid);
  layout->addWidget(AttachsSplitter, 1);
  setCentralWidget(central);

  auto panel = [this](QLabel*& p, const char* name, const QString& text) {
    p = new QLabel(text, this);
    p->setObjectName(name);
    p->setFrameShape(QFrame::StyledPanel);
    p->setAlignment(Qt::AlignCenter);
    p->setMinimumWidth(fontMetrics().horizontalAdvance("SCROLL") + 12);
  };
  panel(pnlCaps, "pnlCaps", "CAPS");
  panel(pnlNum, "pnlNum", "NUM");
  panel(pnlInsert, "pnlInsert", "INS");
  panel(pnlScroll, "pnlScroll", "SCROLL");
  pnlText = new QLabel(this);
  pnlText->setObjectName("pnlText");
  statusBar()->addWidget(pnlText, 1);
  for (QLabel* p : {pnlCaps, pnlNum, pnlInsert, pnlScroll}) statusBar()->addPermanentWidget(p);
  // The lock keys' states cannot be read here; the panels follow the presses
  // seen by this window and start off.
  pnlCaps->setEnabled(false);
  pnlNum->setEnabled(false);
  pnlScroll->setEnabled(false);

  AutoCompleteTimer = new QTimer(this);
  AutoCompleteTimer->setObjectName("AutoCompleteTimer");
  AutoCompleteTimer->setInterval(250);
  AutoCompleteTimer->setSingleShot(true);
  connect(AutoCompleteTimer, &QTimer::timeout, this, &TfrmCompose::AutoCompleteTimerTimer);
}

QAction* TfrmCompose::AddCommand(QMenu* menu, const char* name, const QString& text, void (TfrmCompose::*slot)(),
                                 const QKeySequence& shortcut) {
  auto* a = new QAction(text, this);
  a->setObjectName(name);
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  if (slot) connect(a, &QAction::triggered, this, slot);
  if (menu) menu->addAction(a);
  return a;
}

QAction* TfrmCompose::Command(const char* name) const { return findChild<QAction*>(name); }

void TfrmCompose::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  AddCommand(file, "mnuSendNow", "&Send now", &TfrmCompose::mnuSendNowClick, QKeySequence(Qt::CTRL | Qt::Key_Return));
  Command("mnuSendNow")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  AddCommand(file, "mnuSendLater", "&Send later", &TfrmCompose::mnuSendLaterClick, QKeySequence(Qt::CTRL | Qt::Key_L));
  AddCommand(file, "mnuFinishLater", "&Finish later", &TfrmCompose::mnuFinishLaterClick,
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
  AddCommand(file, "mnuSave", "&Save", &TfrmCompose::mnuSaveClick, QKeySequence(Qt::CTRL | Qt::Key_S));
  file->addSeparator();
  AddCommand(file, "mnuClose", "&Close", nullptr);
  connect(Command("mnuClose"), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu("&Edit");
  AddCommand(edit, "mnuUndo", "&Undo", nullptr, QKeySequence::Undo);
  edit->addSeparator();
  AddCommand(edit, "mnuCut", "Cu&t", nullptr, QKeySequence::Cut);
  AddCommand(edit, "mnuCopy", "&Copy", nullptr, QKeySequence::Copy);
  AddCommand(edit, "mnuPaste", "&Paste", nullptr, QKeySequence::Paste);
  AddCommand(edit, "mnuPasteQuoted", "Paste &quoted", &TfrmCompose::mnuPasteQuotedClick);
  AddCommand(edit, "mnuDelete", "&Delete", nullptr);
  edit->addSeparator();
  AddCommand(edit, "mnuSelectAll", "Select &all", nullptr, QKeySequence::SelectAll);
  AddCommand(edit, "mnuRewrap", "&Rewrap lines", &TfrmCompose::mnuRewrapClick, QKeySequence(Qt::CTRL | Qt::Key_W));
  // The editor's own shortcuts work while it has the focus; the menu's act on it
  // from anywhere in the window.
  for (const char* n : {"mnuUndo", "mnuCut", "mnuCopy", "mnuPaste", "mnuSelectAll"})
    Command(n)->setShortcutContext(Qt::WidgetShortcut);
  connect(Command("mnuUndo"), &QAction::triggered, RichEdit, &QTextEdit::undo);
  connect(Command("mnuCut"), &QAction::triggered, RichEdit, &QTextEdit::cut);
  connect(Command("mnuCopy"), &QAction::triggered, RichEdit, &QTextEdit::copy);
  connect(Command("mnuPaste"), &QAction::triggered, RichEdit, &QTextEdit::paste);
  connect(Command("mnuDelete"), &QAction::triggered, this, [this] { RichEdit->textCursor().removeSelectedText(); });
  connect(Command("mnuSelectAll"), &QAction::triggered, RichEdit, &QTextEdit::selectAll);

  QMenu* view = menuBar()->addMenu("&View");
  for (auto [name, text] : {std::pair{"mnuViewFrom", "&From field"}, std::pair{"mnuViewCC", "&CC"},
                            std::pair{"mnuViewBCC", "&BCC"}, std::pair{"mnuViewStatusBar", "Status bar"}}) {
    QAction* a = AddCommand(view, name, text, nullptr);
    a->setCheckable(true);
    connect(a, &QAction::toggled, this, [this] { ApplyView(); });
  }

  QMenu* insert = menuBar()->addMenu("&Insert");
  AddCommand(insert, "mnuInsertAttachment", "&Attachment...", &TfrmCompose::mnuInsertAttachmentClick);
  AddCommand(insert, "mnuInsertTextFile", "&Text file...", &TfrmCompose::mnuInsertTextFileClick);
  insert->addSeparator();
  AddCommand(insert, "mnuInsertDate", "&Date", &TfrmCompose::mnuInsertDateClick);
  AddCommand(insert, "mnuInsertTime", "&Time", &TfrmCompose::mnuInsertTimeClick);
  AddCommand(insert, "mnuInsertDateTime", "&Date&&time", &TfrmCompose::mnuInsertDateTimeClick);
  insert->addSeparator();
  AddCommand(insert, "mnuComputerInfo", "&Computer info", &TfrmCompose::mnuComputerInfoClick);
  AddCommand(insert, "mnuInsertSignature", "&Signature...", &TfrmCompose::mnuInsertSignatureClick);

  QMenu* tools = menuBar()->addMenu("&Tools");
  AddCommand(tools, "mnuSpellCheck", "&Spell check", &TfrmCompose::mnuSpellCheckClick, QKeySequence(Qt::Key_F7));
  AddCommand(tools, "mnuSpellOptions", "&Spell checker settings", &TfrmCompose::mnuSpellOptionsClick);
  tools->addSeparator();
  QAction* ac = AddCommand(tools, "mnuAutoComplete", "&Enable auto-complete", nullptr);
  ac->setCheckable(true);
  tools->addSeparator();
  AddCommand(tools, "mnuAddressBook", "&Address book", nullptr);
  connect(Command("mnuAddressBook"), &QAction::triggered, this, [] { OpenAddressBook(); });
  AddCommand(tools, "mnuManageSignatures", "&Manage signatures", &TfrmCompose::mnuManageSignaturesClick);

  QMenu* help = menuBar()->addMenu("&Help");
  AddCommand(help, "mnuAbout", "&About", nullptr);
  connect(Command("mnuAbout"), &QAction::triggered, this, [this] { ShowAbout(this); });

  // Toolbar.
  tbMain = addToolBar("Standard");
  tbMain->setObjectName("tbMain");
  tbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  tbMain->setMovable(false);
  auto button = [this](const char* name, const QString& text, const char* icon, QAction* same) {
    auto* a = new QAction(CommandPicture(icon), text, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, same, &QAction::trigger);
    tbMain->addAction(a);
    return a;
  };
  button("tbSendNow", "Send now", "mail-send", Command("mnuSendNow"));
  button("tbSendLater", "Send later", "document-send", Command("mnuSendLater"));
  button("tbSave", "Save", "document-save", Command("mnuSave"));
  tbMain->addSeparator();
  button("tbCut", "Cut", "edit-cut", Command("mnuCut"));
  button("tbCopy", "Copy", "edit-copy", Command("mnuCopy"));
  button("tbPaste", "Paste", "edit-paste", Command("mnuPaste"));
  button("tbUndo", "Undo", "edit-undo", Command("mnuUndo"));
  tbMain->addSeparator();
  button("tbAttachment", "Insert attachment", "mail-attachment", Command("mnuInsertAttachment"));
  auto* sig = new QAction(CommandPicture("insert-text"), "Insert signature", this);
  sig->setObjectName("tbSignature");
  connect(sig, &QAction::triggered, this, &TfrmCompose::tbSignatureClick);
  tbMain->addAction(sig);
  button("tbSpellCheck", "Spell check", "tools-check-spelling", Command("mnuSpellCheck"));
  // Captions only on the sending buttons: the whole row fits the design width.
  for (QAction* a : tbMain->actions())
    if (QWidget* w = tbMain->widgetForAction(a))
      if (auto* b = qobject_cast<QToolButton*>(w))
        if (a->objectName() != "tbSendNow" && a->objectName() != "tbSendLater" && a->objectName() != "tbSave")
          b->setToolButtonStyle(Qt::ToolButtonIconOnly);

  popSignatures = new QMenu(this);
  popSignatures->setObjectName("popSignatures");
  sig->setMenu(popSignatures);
  insert->addMenu(popSignatures)->setText("Si&gnatures");
  popContactsBrowser = new QMenu(this);
  popContactsBrowser->setObjectName("popContactsBrowser");

  popAttachments = new QMenu(this);
  popAttachments->setObjectName("popAttachments");
  AddCommand(popAttachments, "popAddAttachment", "&Add...", &TfrmCompose::mnuInsertAttachmentClick);
  AddCommand(popAttachments, "popRemoveAttachment", "&Remove", &TfrmCompose::popRemoveAttachmentClick);
  connect(lstAttachments, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    Command("popRemoveAttachment")->setEnabled(!lstAttachments->selectedItems().isEmpty());
    popAttachments->popup(lstAttachments->viewport()->mapToGlobal(p));
  });

  // The editor's own right-click menu carries the same edit commands.
  RichEdit->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(RichEdit, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    QMenu menu(this);
    for (const char* n : {"mnuUndo", "", "mnuCut", "mnuCopy", "mnuPaste", "mnuPasteQuoted", "mnuDelete", "",
                          "mnuSelectAll"}) {
      if (!*n)
        menu.addSeparator();
      else
        menu.addAction(Command(n));
    }
    menu.exec(RichEdit->viewport()->mapToGlobal(p));
  });
}

void TfrmCompose::ApplyFonts() {
  RichEdit->setFont(FontFromSettings("MsgCompFont", RichEdit->font()));
  QFont header = FontFromSettings("MainWindowFont", edtTo->font());
  for (QWidget* w : std::initializer_list<QWidget*>{edtFrom, ServersList, edtTo, edtCC, edtBCC, edtSubject})
    w->setFont(header);
}

void TfrmCompose::LoadViewSettings() {
  IniFile* ini = OptionsIni.get();
  auto read = [ini](const char* key, bool def) { return ini ? ini->ReadBool("MsgComp", key, def) : def; };
  Command("mnuViewFrom")->setChecked(read("ViewFrom", true));
  Command("mnuViewCC")->setChecked(read("ViewCC", false));
  Command("mnuViewBCC")->setChecked(read("ViewBCC", false));
  Command("mnuViewStatusBar")->setChecked(read("ViewStatusBar", true));
  Command("mnuAutoComplete")->setChecked(read("AutoComplete", true));
  int w = ini ? ini->ReadInteger("MsgComp", "Width", kDesignWidth) : kDesignWidth;
  int h = ini ? ini->ReadInteger("MsgComp", "Height", kDesignHeight) : kDesignHeight;
  resize(std::max(w, 200), std::max(h, 150));
  int pane = ini ? ini->ReadInteger("MsgComp", "AttachsPaneHeight", kDesignAttachsHeight) : kDesignAttachsHeight;
  AttachsSplitter->setSizes({std::max(h - pane, 50), std::max(pane, 30)});
  ApplyView();
}

void TfrmCompose::SaveViewSettings() {
  if (!OptionsIni) return;
  IniFile& ini = *OptionsIni;
  ini.WriteBool("MsgComp", "ViewFrom", Command("mnuViewFrom")->isChecked());
  ini.WriteBool("MsgComp", "ViewCC", Command("mnuViewCC")->isChecked());
  ini.WriteBool("MsgComp", "ViewBCC", Command("mnuViewBCC")->isChecked());
  ini.WriteBool("MsgComp", "ViewStatusBar", Command("mnuViewStatusBar")->isChecked());
  ini.WriteBool("MsgComp", "AutoComplete", Command("mnuAutoComplete")->isChecked());
  ini.WriteInteger("MsgComp", "Height", height());
  ini.WriteInteger("MsgComp", "Width", width());
  if (lstAttachments->isVisible()) ini.WriteInteger("MsgComp", "AttachsPaneHeight", lstAttachments->height());
}

void TfrmCompose::ApplyView() {
  for (QWidget* w : from_row_) w->setVisible(Command("mnuViewFrom")->isChecked());
  for (QWidget* w : cc_row_) w->setVisible(Command("mnuViewCC")->isChecked());
  for (QWidget* w : bcc_row_) w->setVisible(Command("mnuViewBCC")->isChecked());
  statusBar()->setVisible(Command("mnuViewStatusBar")->isChecked());
}

void TfrmCompose::UpdateCaption() {
  QString s = edtSubject->text();
  setWindowTitle(s.isEmpty() ? QString("(No subject)") : s);
}

QLineEdit* TfrmCompose::AddressField(int field) const { return field == 0 ? edtTo : field == 1 ? edtCC : edtBCC; }

std::string TfrmCompose::EditorText() const { return S(RichEdit->toPlainText()); }

bool TfrmCompose::SpellCheckAvailable() const { return spell_->IsConfigured(); }

QString TfrmCompose::StatusText() const { return pnlText->text(); }

void TfrmCompose::RichEditSelectionChange() {
  QTextCursor c = RichEdit->textCursor();
  QTextDocument* doc = RichEdit->document();
  QString text = RichEdit->toPlainText();
  // Lines as the stored body counts them: a last line break adds none.
  int lines = text.isEmpty() ? 0 : static_cast<int>(text.count('\n')) + (text.endsWith('\n') ? 0 : 1);
  // Characters with CR LF line breaks, as the message will hold them.
  int chars = static_cast<int>(text.size() + text.count('\n'));
  pnlText->setText(QString::asprintf(" %d:%d, ", c.blockNumber() + 1, c.positionInBlock() + 1) +
                   QString::number(lines) + " lines in text, " + QString::number(chars) + " characters.");
  (void)doc;
  // Text typed after a quoted line is not coloured.
  if (c.block().length() <= 1 && !c.hasSelection()) {
    QTextCharFormat f = c.charFormat();
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
      f.clearForeground();
      RichEdit->setCurrentCharFormat(f);
    }
  }
}

bool TfrmCompose::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<QLabel*>(watched);
  if (label && event->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(event);
    int field = label->property("tag").toInt();
    if (me->button() == Qt::RightButton)
      AddressLabelRightClick(field, me->globalPosition().toPoint());
    else if (me->button() == Qt::LeftButton)
      AddressLabelClick(field);
    return true;
  }
  if ((watched == edtTo || watched == edtCC || watched == edtBCC) && event->type() == QEvent::KeyRelease) {
    auto* ke = static_cast<QKeyEvent*>(event);
    AutoCompleteTimer->stop();
    if (Command("mnuAutoComplete")->isChecked() && !IsAutoCompleteIgnoredKey(ke->key()) &&
        !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
      AutoCompleteTimer->start();
  }
  if (watched == RichEdit && event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_Insert && ke->modifiers() == Qt::NoModifier) {
      RichEdit->setOverwriteMode(!RichEdit->overwriteMode());
      pnlInsert->setText(RichEdit->overwriteMode() ? "OVR" : "INS");
      return true;
    }
  }
  if (event->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->key() == Qt::Key_CapsLock) pnlCaps->setEnabled(caps_on_ = !caps_on_);
    if (ke->key() == Qt::Key_NumLock) pnlNum->setEnabled(num_on_ = !num_on_);
    if (ke->key() == Qt::Key_ScrollLock) pnlScroll->setEnabled(scroll_on_ = !scroll_on_);
  }
  if (watched == lstAttachments && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    popRemoveAttachmentClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmCompose::closeEvent(QCloseEvent* event) {
  if (modified_ && !closing_) {
    QMessageBox box(QMessageBox::Question, windowTitle(), "The message has been modified, would you like to save?",
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setObjectName("CloseQuestion");
    int answer = box.exec();
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !SaveMessage("Unfinished", false))) {
      event->ignore();
      return;
    }
  }
  SaveViewSettings();
  event->accept();
}

void TfrmCompose::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmCompose::dropEvent(QDropEvent* event) {
  AddDroppedFiles(event->mimeData()->urls());
  event->acceptProposedAction();
}

void TfrmCompose::AddDroppedFiles(const QList<QUrl>& urls) {
  for (const QUrl& url : urls)
    if (url.isLocalFile()) AddAttachmentFile(S(url.toLocalFile()));
}

// --- Entry points -------------------------------------------------------------

namespace {

// The selected text of the viewer in the active window, for "Reply with
// selection only".
std::string ViewerSelection() {
  QWidget* w = QApplication::activeWindow();
  if (!w) return "";
  for (QTextEdit* view : w->findChildren<QTextEdit*>("MsgViewer")) {
    QString t = view->textCursor().selectedText();
    if (!t.isEmpty()) {
      t.replace(QChar::ParagraphSeparator, '\n');
      t.replace(QChar::LineSeparator, '\n');
      return S(t);
    }
  }
  return "";
}

}  // namespace

void ShowComposeWindow(const ComposeSetup& setup) {
  if (TraceWindowEntryPoint("ShowComposeWindow")) return;
  auto* w = new TfrmCompose();
  if (!w->SetupMessage(setup, "", setup.selection_only ? ViewerSelection() : "")) w->deleteLater();
}

void OpenStoredMessage(const std::string& message_ref, bool as_new) {
  if (TraceWindowEntryPoint("OpenStoredMessage")) return;
  auto* w = new TfrmCompose();
  if (!w->OpenStoredMessage(message_ref, as_new)) w->deleteLater();
}

bool CloseAllComposeWindows() {
  std::vector<TfrmCompose*> windows = TfrmCompose::OpenWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    TfrmCompose* w = *it;
    if (!w->isVisible()) continue;
    if (!w->close()) {
      w->raise();
      w->activateWindow();
      return false;
    }
  }
  return true;
}

}  // namespace qm

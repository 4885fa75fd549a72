#include "ui/options_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/app_paths.h"
#include "shell/password_encoding.h"
#include "ui/main_window.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

TfrmOptions* g_options = nullptr;

const char* const kSectionProp = "qmSection";
const char* const kDefaultProp = "qmDefault";
const char* const kFontSections[4] = {"MainWindowFont", "MsgPreviewFont", "MsgCompFont", "PrintingFont"};

QColor ToQColor(int c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
int FromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

std::string Key(const QObject* control) { return S(control->objectName()).substr(3); }

template <class T>
T* Bind(T* control, const char* name, const char* section, const QVariant& def) {
  control->setObjectName(name);
  control->setProperty(kSectionProp, section);
  control->setProperty(kDefaultProp, def);
  return control;
}

QCheckBox* Check(QWidget* page, const char* name, const char* caption, const char* section, bool def) {
  return Bind(new QCheckBox(caption, page), name, section, def);
}

QLineEdit* Edit(QWidget* page, const char* name, const char* section, const char* def) {
  return Bind(new QLineEdit(page), name, section, QString(def));
}

QSpinBox* UpDown(QWidget* page, const char* name, const char* section, int def, int lo, int hi) {
  auto* s = Bind(new QSpinBox(page), name, section, def);
  s->setRange(lo, hi);
  s->setFixedWidth(70);
  return s;
}

QPushButton* Dots(QWidget* parent, const char* name) {
  auto* b = new QPushButton("...", parent);
  b->setObjectName(name);
  b->setFixedWidth(28);
  return b;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = true) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : widgets) row->addWidget(w);
  if (stretch) row->addStretch(1);
  return row;
}

QLabel* Title(const char* text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

QWidget* NewPage(QTabWidget* tabs, const char* caption, QVBoxLayout*& layout) {
  auto* page = new QWidget(tabs);
  page->setObjectName(QString("ts") + QString(caption).remove(' '));
  layout = new QVBoxLayout(page);
  tabs->addTab(page, caption);
  return page;
}

QFont ToQFont(const FontDesc& d) {
  QFont f(Q(d.name));
  f.setPointSize(d.size > 0 ? d.size : 8);
  f.setBold(d.bold);
  f.setItalic(d.italic);
  f.setUnderline(d.underline);
  return f;
}

std::string WithoutTrailingSlash(std::string s) {
  while (s.size() > 1 && (s.back() == '/' || s.back() == '\\')) s.pop_back();
  return s;
}

}  // namespace

std::string FontSampleText(const FontDesc& font) { return font.name + " " + std::to_string(font.size) + "pt"; }

// --- Colour panel -----------------------------------------------------------------

TColourPanel::TColourPanel(const char* name, int designed_colour, QWidget* parent)
    : QFrame(parent), designed_(designed_colour) {
  setObjectName(name);
  setFrameShape(QFrame::Box);
  setFixedSize(44, 20);
  setCursor(Qt::PointingHandCursor);
  setAutoFillBackground(true);
  SetColour(designed_colour);
}

void TColourPanel::SetColour(int colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(colour));
  setPalette(p);
}

void TColourPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit Clicked();
}

// --- Dialog -----------------------------------------------------------------------

TfrmOptions* TfrmOptions::Instance() { return g_options; }

TfrmOptions::TfrmOptions(QWidget* parent) : QDialog(parent) {
  g_options = this;
  setObjectName("TfrmOptions");
  setWindowTitle("Options");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* head = new QHBoxLayout;
  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
  auto* title = new QLabel("Quillmar Options", this);
  QFont big = title->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 4);
  title->setFont(big);
  head->addWidget(picture);
  head->addWidget(title, 1);
  layout->addLayout(head);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  layout->addWidget(PageControl, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);
  connect(btnOK, &QPushButton::clicked, this, &TfrmOptions::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  BuildPages();

  // Opening.
  int page = OptionsIni ? OptionsIni->ReadInteger("MainWnd", "OptionsPageIndex", 0) : 0;
  if (page >= 0 && page < PageControl->count()) PageControl->setCurrentIndex(page);
  LoadBound();
  if (OptionsIni) {
    cboSignaturePosition->setCurrentIndex(OptionsIni->ReadBool("Message", "PlaceReplyAtBottom", true) ? 1 : 0);
    pnlSingleQuote->SetColour(OptionsIni->ReadInteger("Colours", "SingleQuote", 0x3A67C5));
    pnlDoubleQuote->SetColour(OptionsIni->ReadInteger("Colours", "DoubleQuote", 0xA00000));
    for (int i = 0; i < 3; ++i) LoadFont(*OptionsIni, fonts[i], kFontSections[i]);
    const std::pair<TColourPanel*, const char*> panels[] = {
        {PreviewPaneBackground, "PreviewPaneBackground"}, {LinkColour, "URL"},
        {HeaderPaneBackground, "HeaderPaneBackground"},   {SubjectHeaderColour, "SubjectField"},
        {FromHeaderColour, "FromField"},                  {MailToHeaderColour, "ToField"}};
    for (auto [panel, key] : panels) panel->SetColour(OptionsIni->ReadInteger("Colours", key, panel->designed_colour()));
    edtMail->setText(Q(OptionsIni->ReadString("Locations", "Mail", MailDir)));
    edtContacts->setText(Q(OptionsIni->ReadString("Locations", "Contacts", ContactsDir)));
    edtTempFolder->setText(Q(OptionsIni->ReadString("Locations", "Temp", TempDir)));
    edtAttachmentsFolder->setText(Q(OptionsIni->ReadString("Locations", "Attachments", AttachmentsDir)));
    edtStartupPwd->setText(Q(DecodePassword(OptionsIni->ReadString("Options", "StartupPwd", ""))));
    int behaviour = OptionsIni->ReadInteger("Options", "DeleteAttachmentsBehavior", 0);
    if (QAbstractButton* b = deleteBehaviorGroup->button(behaviour)) b->setChecked(true);
    bool custom = OptionsIni->ReadBool("Printing", "UseCustomFont", false);
    (custom ? optUserCustomFont : optUsePreviewFont)->setChecked(true);
    LoadFont(*OptionsIni, fonts[3], kFontSections[3]);
  }
  for (int i = 0; i < 4; ++i) ShowSample(i);
  chkUseCustomClick();
  adjustSize();
  setFixedSize(sizeHint().expandedTo(QSize(520, 440)));
}

TfrmOptions::~TfrmOptions() {
  if (g_options == this) g_options = nullptr;
}

void TfrmOptions::BuildPages() {
  QVBoxLayout* l = nullptr;

  // General.
  QWidget* p = NewPage(PageControl, "General", l);
  for (auto [name, caption, def] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
           {"chkTrashPrompt", "Prompt me on emptying the trash", true},
           {"chkSendUnsentAfterFetch", "Send unsent messages after fetching mail", false},
           {"chkFetchOnStartup", "Check for new mail when Quillmar starts", false},
           {"chkShowFullName", "&Show full name in the Author column", false},
           {"chkMinToTray", "&Minimize to the tray instead the taskbar", false},
           {"chkStartInTray", "Start minimized in the system tray", false},
           {"chkShowTrayIcon", "&Show tray icon", true},
           {"chkOpenDefaultInbox", "&Open the Inbox of the default account on startup", true}})
    l->addWidget(Check(p, name, caption, "Options", def));
  l->addLayout(Row({Check(p, "chkVerifyMail", "Check for new mail every", "Options", false),
                    UpDown(p, "UD_VerifyMailInterval", "Options", 5, 1, 60), new QLabel("minutes.", p)}));
  l->addLayout(Row({Check(p, "chkMarkMsgRead", "Mark a message as read after", "Options", true),
                    UpDown(p, "UD_MarkMsgReadTimeout", "Options", 5, 0, 60), new QLabel("seconds", p)}));
  l->addStretch(1);

  // Message.
  p = NewPage(PageControl, "Message", l);
  for (auto [name, caption, def] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
           {"chkSpellCheckBeforeSend", "Check spelling before sending  message", false},
           {"chkInsertDefSig", "Auto-insert default signature to messages", true},
           {"chkInsertDateTime", "Insert Time&&Date to all new e-mails", false},
           {"chkIncrementSubject", "Increment reply count in subject", true},
           {"chkInsertJewishDate", "&Add Jewish date to Gregorian calendar string", false}})
    l->addWidget(Check(p, name, caption, "Message", def));
  auto* wrap = Edit(p, "edtWrapColumnSize", "Message", "72");
  wrap->setFixedWidth(50);
  l->addLayout(Row({Check(p, "chkAutoWrapMessage", "Wrap read and sent emails to", "Message", false), wrap,
                    new QLabel("characters per line", p)}));
  cboSignaturePosition = new QComboBox(p);
  cboSignaturePosition->setObjectName("cboSignaturePosition");
  cboSignaturePosition->addItems({"Above", "Below"});
  l->addLayout(Row({new QLabel("Begin composing", p), cboSignaturePosition, new QLabel(" the quoted message", p)}));
  edtMsgQuoteChar = Edit(p, "edtMsgQuoteChar", "Message", ">");
  edtMsgQuoteChar->setFixedWidth(60);
  l->addLayout(Row({new QLabel("String for quoting a message", p), edtMsgQuoteChar}));
  pnlSingleQuote = new TColourPanel("pnlSingleQuote", 0x3A67C5, p);
  pnlDoubleQuote = new TColourPanel("pnlDoubleQuote", 0xA00000, p);
  l->addLayout(Row({pnlSingleQuote, new QLabel("Single quote colour", p)}));
  l->addLayout(Row({pnlDoubleQuote, new QLabel("Double quote colour", p)}));
  l->addStretch(1);

  // Replying.
  p = NewPage(PageControl, "Replying", l);
  l->addLayout(Row({new QLabel("Quote when", p), Check(p, "chkQuoteReplies", "Replying", "Message", true),
                    Check(p, "chkQuoteForwards", "Forwarding", "Message", true)}));
  l->addWidget(new QLabel("Message replying introduction:", p));
  l->addWidget(Edit(p, "edtReplyFormat", "Replying", "$FROM wrote on $DATE:"));
  auto* prefixes = new QGroupBox(" Subject prefixes ", p);
  auto* pf = new QFormLayout(prefixes);
  pf->addRow("Replies:", Edit(prefixes, "edtReplyPrefix", "Replying", "Re:"));
  pf->addRow("Forwards:", Edit(prefixes, "edtForwardPrefix", "Replying", "FW:"));
  l->addWidget(prefixes);
  l->addWidget(Check(p, "chkColourQuotedText", "Colour quoted text in the composition window", "Replying", true));
  auto* keywords = new QGroupBox(" Avaliable keywords ", p);
  auto* kl = new QVBoxLayout(keywords);
  kl->addWidget(new QLabel("$FROM: The message author\n$DATE: Date&time\n$TO: Recipient\n$NL: New line", keywords));
  kl->addWidget(new QLabel("Keywords are case sensitive", keywords));
  l->addWidget(keywords);
  l->addStretch(1);

  // Fonts.
  p = NewPage(PageControl, "Fonts", l);
  const char* font_captions[3] = {"Main window font:", "In the message preview pane:",
                                  "In the message composition window:"};
  for (int i = 0; i < 4; ++i) {
    fontSample[i] = new QLabel(p);
    fontSample[i]->setObjectName(QString("lbl") + kFontSections[i]);
    fontSample[i]->setFrameShape(QFrame::StyledPanel);
    fontSample[i]->setMinimumWidth(240);
    fontButton[i] = Dots(p, (std::string("btn") + kFontSections[i]).c_str());
    connect(fontButton[i], &QPushButton::clicked, this, [this, i] {
      bool ok = false;
      QFont chosen = QFontDialog::getFont(&ok, ToQFont(fonts[i]), this);
      if (!ok) return;
      FontDesc d = fonts[i];
      d.name = S(chosen.family());
      d.size = chosen.pointSize() > 0 ? chosen.pointSize() : d.size;
      d.bold = chosen.bold();
      d.italic = chosen.italic();
      d.underline = chosen.underline();
      FontChosen(i, d);
    });
    if (i < 3) {
      l->addWidget(new QLabel(font_captions[i], p));
      l->addLayout(Row({fontSample[i], fontButton[i]}));
    }
  }
  l->addStretch(1);

  // Sounds.
  p = NewPage(PageControl, "Sounds", l);
  for (auto [name, caption] : std::initializer_list<std::pair<const char*, const char*>>{
           {"edtNewMailSound", "New mail sound:"},
           {"edtMailErrorSound", "Error sound:"},
           {"edtMailSentSound", "Mail sent sound:"}}) {
    QLineEdit* edit = Edit(p, name, "Sounds", "");
    QPushButton* browse = Dots(p, (std::string("btnBrowse") + (name + 3)).c_str());
    auto* test = new QPushButton("Test", p);
    test->setObjectName(QString("btnTest") + (name + 3));
    connect(browse, &QPushButton::clicked, this, [this, edit] {
      QFileDialog dialog(this, QString(), edit->text(), "Sound files (*.wav);;All files (*.*)");
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setDefaultSuffix("wav");
      if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edit->setText(dialog.selectedFiles().first());
    });
    connect(test, &QPushButton::clicked, this, [edit] { PlayNamedSound(ExpandAppDir(S(edit->text())), true); });
    l->addWidget(new QLabel(caption, p));
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    row->addWidget(test);
    l->addLayout(row);
  }
  l->addStretch(1);

  // Colours.
  p = NewPage(PageControl, "Colours", l);
  l->addWidget(Title("Colour selection page", p));
  PreviewPaneBackground = new TColourPanel("PreviewPaneBackground", 0xFFFFFF, p);
  LinkColour = new TColourPanel("LinkColour", 0xFF0000, p);
  HeaderPaneBackground = new TColourPanel("HeaderPaneBackground", 0xEFEFEF, p);
  SubjectHeaderColour = new TColourPanel("SubjectHeaderColour", 0x800080, p);
  FromHeaderColour = new TColourPanel("FromHeaderColour", 0x800000, p);
  MailToHeaderColour = new TColourPanel("MailToHeaderColour", 0x000000, p);
  l->addLayout(Row({PreviewPaneBackground, new QLabel("Message preview pane background", p)}));
  l->addLayout(Row({LinkColour, new QLabel("Message hyperlinks", p)}));
  l->addWidget(new QLabel("Header pane:", p));
  l->addLayout(Row({HeaderPaneBackground, new QLabel("Background", p)}));
  l->addLayout(Row({SubjectHeaderColour, new QLabel("Subject", p)}));
  l->addLayout(Row({FromHeaderColour, new QLabel("From", p)}));
  l->addLayout(Row({MailToHeaderColour, new QLabel("MailTo", p)}));
  l->addStretch(1);
  for (TColourPanel* panel : {pnlSingleQuote, pnlDoubleQuote, PreviewPaneBackground, LinkColour,
                              HeaderPaneBackground, SubjectHeaderColour, FromHeaderColour, MailToHeaderColour})
    connect(panel, &TColourPanel::Clicked, this, [this, panel] {
      ColourChosen(panel, QColorDialog::getColor(ToQColor(panel->Colour()), this));
    });

  // Folders.
  auto folder_row = [this](QWidget* page, QVBoxLayout* layout, const char* caption, const char* name) {
    auto* edit = new QLineEdit(page);
    edit->setObjectName(name);
    QPushButton* browse = Dots(page, (std::string("btnBrowse") + (name + 3)).c_str());
    connect(browse, &QPushButton::clicked, this, [this, edit] {
      QString dir = QFileDialog::getExistingDirectory(this, "Please select the folder:", edit->text());
      if (!dir.isEmpty()) edit->setText(dir);
    });
    auto* label = new QLabel(caption, page);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    return edit;
  };
  p = NewPage(PageControl, "Folders", l);
  edtMail = folder_row(p, l, "Store all my e-mails, contacts and signatures in the following folder:", "edtMail");
  edtContacts = folder_row(p, l, "Look  for addressbook group files in this folder:", "edtContacts");
  edtTempFolder = folder_row(p, l, "Use this folder for temporary storage:", "edtTempFolder");
  auto* note = new QLabel("Changes require a restart. Use $APPDIR for relative paths.", p);
  note->setWordWrap(true);
  l->addWidget(note);
  l->addStretch(1);

  // More.
  p = NewPage(PageControl, "More", l);
  auto* attachments = new QGroupBox(" Attachments ", p);
  auto* al = new QVBoxLayout(attachments);
  edtAttachmentsFolder = folder_row(attachments, al, "Storage folder:", "edtAttachmentsFolder");
  l->addWidget(attachments);
  l->addWidget(Check(p, "chkPromptStartupPwd", "&Prompt me for password on startup", "Options", false));
  edtStartupPwd = new QLineEdit(p);
  edtStartupPwd->setObjectName("edtStartupPwd");
  edtStartupPwd->setEchoMode(QLineEdit::Password);
  l->addWidget(edtStartupPwd);
  grpDeleteAttachmentsBehavior = new QGroupBox(" When deleting emails with attachments, ", p);
  grpDeleteAttachmentsBehavior->setObjectName("grpDeleteAttachmentsBehavior");
  deleteBehaviorGroup = new QButtonGroup(this);
  auto* gl = new QVBoxLayout(grpDeleteAttachmentsBehavior);
  int id = 0;
  for (const char* caption :
       {"Prompt me to delete the attachments", "Delete attachments by default", "Keep the attachments"}) {
    auto* radio = new QRadioButton(caption, grpDeleteAttachmentsBehavior);
    deleteBehaviorGroup->addButton(radio, id++);
    gl->addWidget(radio);
  }
  deleteBehaviorGroup->button(0)->setChecked(true);
  l->addWidget(grpDeleteAttachmentsBehavior);
  l->addWidget(Check(p, "chkDontDeleteOutsideAttachsFolder", "&Don't delete files outside of the attachments folder",
                     "Options", true));
  l->addStretch(1);

  // Logging.
  p = NewPage(PageControl, "Logging", l);
  l->addWidget(Title("Logging to file feature", p));
  auto* logging_note = new QLabel("Use this feature to debug connection problems to your POP3 or SMTP servers.", p);
  logging_note->setWordWrap(true);
  l->addWidget(logging_note);
  l->addWidget(new QLabel(QString(QChar(0x2022)) + " The logfile's size limit is 100kb", p));
  l->addWidget(Check(p, "chkPOP3", "POP3 communications (incoming mail)", "Logging", false));
  l->addWidget(Check(p, "chkSMTP", "SMTP communications (outgoing mail)", "Logging", false));
  l->addWidget(Check(p, "chkErrors", "Error messages", "Logging", true));
  l->addStretch(1);

  // Advanced.
  p = NewPage(PageControl, "Advanced", l);
  for (auto [name, caption, def] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
           {"chkScanForLinks", "Scan for links in messages", true},
           {"chkVerifyDefClient", "Check that Quillmar is the default mail client", true},
           {"chkHangUpAfterOp", "Hang up after fetching or sending mail", false},
           {"chkWaitBeforeHangup", "Wait 5 seconds before hanging up", true}})
    l->addWidget(Check(p, name, caption, "Options", def));
  chkUseCustom = Check(p, "chkUseCustom", "Use a user defined browser in QM", "Browser", false);
  l->addWidget(chkUseCustom);
  edtPath = Edit(p, "edtPath", "Browser", "");
  btnBrowsePath = Dots(p, "btnBrowsePath");
  auto* path_row = new QHBoxLayout;
  path_row->addWidget(edtPath, 1);
  path_row->addWidget(btnBrowsePath);
  l->addLayout(path_row);
  connect(chkUseCustom, &QCheckBox::clicked, this, &TfrmOptions::chkUseCustomClick);
  connect(btnBrowsePath, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QString(), edtPath->text(), "Executable files (*.exe);;All files (*.*)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix("exe");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      edtPath->setText(dialog.selectedFiles().first());
  });
  for (auto [name, caption, def] : std::initializer_list<std::tuple<const char*, const char*, bool>>{
           {"chkSuppressErrors", "Suppress error messages during mail operations", false},
           {"chkAddAppID", "&Add App ID to outgoing message headers", true},
           {"chkEmptyTrashOnQuit", "Empty the trash on exit", false}})
    l->addWidget(Check(p, name, caption, "Options", def));
  l->addLayout(Row({Check(p, "chkFetchSizeLimitExists", "Prompt when fetching email larger than", "Options", false),
                    UpDown(p, "UD_PromptSizeThreshold", "Options", 100, 1, 15000), new QLabel("KBs", p)}));
  l->addStretch(1);

  // Printing.
  p = NewPage(PageControl, "Printing", l);
  l->addWidget(Title("Printing controls", p));
  l->addWidget(new QLabel("Use this page to control the way printing is done", p));
  l->addWidget(new QLabel("Page margins (in centimeters):", p));
  auto* margins = new QGridLayout;
  int cell = 0;
  for (auto [name, caption] : std::initializer_list<std::pair<const char*, const char*>>{
           {"edtTopMargin", "Top:"}, {"edtBottomMargin", "Bottom:"}, {"edtRightMargin", "Right:"},
           {"edtLeftMargin", "Left:"}}) {
    auto* edit = Edit(p, name, "Printing", "1");
    edit->setFixedWidth(50);
    margins->addWidget(new QLabel(caption, p), cell / 2, (cell % 2) * 3);
    margins->addWidget(edit, cell / 2, (cell % 2) * 3 + 1);
    margins->addWidget(new QLabel("cm", p), cell / 2, (cell % 2) * 3 + 2);
    ++cell;
  }
  margins->setColumnStretch(6, 1);
  l->addLayout(margins);
  auto* font_group = new QGroupBox(" Font ", p);
  auto* fg = new QVBoxLayout(font_group);
  optUsePreviewFont = new QRadioButton("Use the font I use in the Preview pane", font_group);
  optUsePreviewFont->setObjectName("optUsePreviewFont");
  optUserCustomFont = new QRadioButton("Use a custom font", font_group);
  optUserCustomFont->setObjectName("optUserCustomFont");
  fg->addWidget(optUsePreviewFont);
  fg->addWidget(optUserCustomFont);
  fontSample[3]->setParent(font_group);
  fontButton[3]->setParent(font_group);
  fg->addLayout(Row({fontSample[3], fontButton[3]}));
  l->addWidget(font_group);
  l->addStretch(1);
}

void TfrmOptions::LoadBound() {
  if (!OptionsIni) return;
  for (QWidget* w : findChildren<QWidget*>()) {
    QVariant section = w->property(kSectionProp);
    if (!section.isValid()) continue;
    const std::string sec = S(section.toString());
    const QVariant def = w->property(kDefaultProp);
    if (auto* c = qobject_cast<QCheckBox*>(w))
      c->setChecked(OptionsIni->ReadBool(sec, Key(w), def.toBool()));
    else if (auto* e = qobject_cast<QLineEdit*>(w))
      e->setText(Q(OptionsIni->ReadString(sec, Key(w), S(def.toString()))));
    else if (auto* s = qobject_cast<QSpinBox*>(w))
      s->setValue(OptionsIni->ReadInteger(sec, Key(w), def.toInt()));
  }
}

void TfrmOptions::SaveBound() {
  for (QWidget* w : findChildren<QWidget*>()) {
    QVariant section = w->property(kSectionProp);
    if (!section.isValid()) continue;
    const std::string sec = S(section.toString());
    if (auto* c = qobject_cast<QCheckBox*>(w))
      OptionsIni->WriteBool(sec, Key(w), c->isChecked());
    else if (auto* e = qobject_cast<QLineEdit*>(w))
      OptionsIni->WriteString(sec, Key(w), S(e->text()));
    else if (auto* s = qobject_cast<QSpinBox*>(w))
      OptionsIni->WriteInteger(sec, Key(w), s->value());
  }
}

void TfrmOptions::ShowSample(int which) {
  QLabel* sample = fontSample[which];
  sample->setText(Q(FontSampleText(fonts[which])));
  sample->setFont(ToQFont(fonts[which]));
  QPalette p = sample->palette();
  p.setColor(QPalette::WindowText, ToQColor(fonts[which].colour));
  sample->setPalette(p);
}

void TfrmOptions::FontChosen(int which, const FontDesc& font) {
  fonts[which] = font;
  ShowSample(which);
  fonts_changed = true;
}

void TfrmOptions::ColourChosen(TColourPanel* panel, const QColor& chosen) {
  if (chosen.isValid()) panel->SetColour(FromQColor(chosen));
  colours_changed = true;
}

void TfrmOptions::chkUseCustomClick() {
  edtPath->setEnabled(chkUseCustom->isChecked());
  btnBrowsePath->setEnabled(chkUseCustom->isChecked());
}

void TfrmOptions::btnOKClick() {
  if (OptionsIni) {
    // The quote string keeps its spaces only inside double quotes.
    QString quote = edtMsgQuoteChar->text();
    if (quote.contains(' ') && !(quote.size() >= 2 && quote.startsWith('"') && quote.endsWith('"'))) {
      quote = '"' + quote + '"';
      edtMsgQuoteChar->setText(quote);
    }
    SaveBound();
    OptionsIni->WriteBool("Message", "PlaceReplyAtBottom", cboSignaturePosition->currentIndex() == 1);
    const std::pair<TColourPanel*, const char*> panels[] = {
        {pnlSingleQuote, "SingleQuote"},  {pnlDoubleQuote, "DoubleQuote"},
        {PreviewPaneBackground, "PreviewPaneBackground"}, {LinkColour, "URL"},
        {HeaderPaneBackground, "HeaderPaneBackground"},   {SubjectHeaderColour, "SubjectField"},
        {FromHeaderColour, "FromField"},                  {MailToHeaderColour, "ToField"}};
    for (auto [panel, key] : panels) OptionsIni->WriteInteger("Colours", key, panel->Colour());
    for (int i = 0; i < 4; ++i) SaveFont(*OptionsIni, fonts[i], kFontSections[i]);
    OptionsIni->WriteString("Locations", "Mail", WithoutTrailingSlash(S(edtMail->text())));
    OptionsIni->WriteString("Locations", "Contacts", WithoutTrailingSlash(S(edtContacts->text())));
    OptionsIni->WriteString("Locations", "Temp", WithoutTrailingSlash(S(edtTempFolder->text())));
    OptionsIni->WriteString("Locations", "Attachments", WithoutTrailingSlash(S(edtAttachmentsFolder->text())));
    OptionsIni->WriteString("Options", "StartupPwd", EncodePassword(S(edtStartupPwd->text())));
    OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", std::max(0, deleteBehaviorGroup->checkedId()));
    OptionsIni->WriteBool("Printing", "UseCustomFont", optUserCustomFont->isChecked());
  }
  ApplyToRunningProgram();
  accept();
}

void TfrmOptions::ApplyToRunningProgram() {
  TfrmMain* main = TfrmMain::Instance();
  if (main && fonts_changed) main->ApplyFonts();
  if (fonts_changed || colours_changed) {
    for (QWidget* top : QApplication::topLevelWidgets())
      for (TfraMessageViewer* viewer : top->findChildren<TfraMessageViewer*>()) viewer->ApplySettings();
  }
  if (!main) return;
  auto* verify = findChild<QCheckBox*>("chkVerifyMail");
  auto* interval = findChild<QSpinBox*>("UD_VerifyMailInterval");
  auto* mark = findChild<QCheckBox*>("chkMarkMsgRead");
  auto* timeout = findChild<QSpinBox*>("UD_MarkMsgReadTimeout");
  auto* tray = findChild<QCheckBox*>("chkShowTrayIcon");
  auto* full_name = findChild<QCheckBox*>("chkShowFullName");
  main->SetCheckMailTimer(verify->isChecked(), interval->value());
  main->SetMarkRead(mark->isChecked(), timeout->value());
  main->SetTrayIconShown(tray->isChecked());
  main->SetShowFullName(full_name->isChecked());
}

void TfrmOptions::done(int result) {
  if (OptionsIni) OptionsIni->WriteInteger("MainWnd", "OptionsPageIndex", PageControl->currentIndex());
  QDialog::done(result);
}

void ShowOptionsDialog(QWidget* parent) {
  if (TfrmOptions* open = TfrmOptions::Instance()) {
    open->raise();
    open->activateWindow();
    return;
  }
  TfrmOptions dialog(parent);
  dialog.exec();
}

}  // namespace qm

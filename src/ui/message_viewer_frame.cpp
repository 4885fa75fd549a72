#include "ui/message_viewer_frame.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include "message/line_wrap.h"
#include "message/text_to_html.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/command_line.h"
#include "shell/font_settings.h"
#include "shell/text_utils.h"
#include "ui/attachment_pane.h"
#include "ui/compose_entry.h"
#include "ui/html_display.h"
#include "ui/message_properties.h"
#include "ui/open_link.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

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

QColor ColourFromSetting(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

int SettingFromColour(const QColor& colour) {
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

namespace {

constexpr int kHeaderHeight = 41;
constexpr int kCaptionLeft = 4;

QString HtmlColour(const QColor& c) { return c.name(QColor::HexRgb); }

int ReadColour(const char* key, const QColor& current) {
  return OptionsIni ? OptionsIni->ReadInteger("Colours", key, SettingFromColour(current)) : SettingFromColour(current);
}

void SetLabelColour(QLabel* label, const QColor& colour) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, colour);
  label->setPalette(p);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, bool caption) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  // Message texts are shown as they are: never as markup, never with accelerators.
  label->setTextFormat(Qt::PlainText);
  if (caption) {
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  return label;
}

// The header pane with its bottom bevel line.
class THeaderPane : public QFrame {
 public:
  using QFrame::QFrame;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, height() - 2, width(), height() - 2);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, height() - 1, width(), height() - 1);
  }
};

}  // namespace

TfraMessageViewer::TfraMessageViewer(QWidget* parent, bool in_main_window)
    : QWidget(parent), in_main_window_(in_main_window) {
  setObjectName("TfraMessageViewer");
  resize(422, 325);
  InitMessage(shown_);

  pnlHeaders = new THeaderPane(this);
  pnlHeaders->setObjectName("pnlHeaders");
  pnlHeaders->setFixedHeight(kHeaderHeight);
  pnlHeaders->setAutoFillBackground(true);
  {
    QPalette p = pnlHeaders->palette();
    p.setColor(QPalette::Window, in_main_window ? ColourFromSetting(0xEFEFEF) : palette().color(QPalette::Button));
    pnlHeaders->setPalette(p);
  }
  lblSubjectCaption = MakeLabel(pnlHeaders, "lblSubjectCaption", "Subject:", true);
  lblFromCaption = MakeLabel(pnlHeaders, "lblFromCaption", "From:", true);
  lblToCaption = MakeLabel(pnlHeaders, "lblToCaption", "To:", true);
  lblToCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  lblSubject = MakeLabel(pnlHeaders, "lblSubject", "", false);
  lblFrom = MakeLabel(pnlHeaders, "lblFrom", "", false);
  lblTo = MakeLabel(pnlHeaders, "lblTo", "", false);
  SetLabelColour(lblSubject, ColourFromSetting(0x800000));  // navy
  SetLabelColour(lblFrom, ColourFromSetting(0x800080));     // purple
  SetLabelColour(lblTo, ColourFromSetting(0xFF0000));       // blue
  pnlHeaders->installEventFilter(this);

  MsgViewer = new THtmlDisplay(this);
  MsgViewer->setObjectName("MsgViewer");
  MsgViewer->setContextMenuPolicy(Qt::CustomContextMenu);
  pnlAttachments = new TAttachmentPane(this);

  AttachPaneSplitter = new QSplitter(Qt::Vertical, this);
  AttachPaneSplitter->setObjectName("AttachPaneSplitter");
  AttachPaneSplitter->setChildrenCollapsible(false);
  AttachPaneSplitter->addWidget(MsgViewer);
  AttachPaneSplitter->addWidget(pnlAttachments);
  AttachPaneSplitter->setStretchFactor(0, 1);
  AttachPaneSplitter->setStretchFactor(1, 0);
  pnlAttachments->hide();
  connect(AttachPaneSplitter, &QSplitter::splitterMoved, this, [this] {
    if (pnlAttachments->isVisible()) attach_height_ = pnlAttachments->height();
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(pnlHeaders);
  layout->addWidget(AttachPaneSplitter, 1);
  setFocusProxy(MsgViewer);

  popBody = new QMenu(this);
  popBody->setObjectName("popBody");
  popCopy = popBody->addAction("&Copy to clipboard", MsgViewer, &QTextEdit::copy);
  popCopy->setObjectName("popCopy");
  popLaunch = popBody->addAction("&Launch as hyperlink", this,
                                 [this] { OpenLink(S(MsgViewer->textCursor().selectedText().trimmed())); });
  popLaunch->setObjectName("popLaunch");
  popSaveToDisk = popBody->addAction("&Save to disk...", this, [this] { SaveMessageAs(""); });
  popSaveToDisk->setObjectName("popSaveToDisk");
  popPrint = popBody->addAction("&Print", this, &TfraMessageViewer::PrintShownMessage);
  popPrint->setObjectName("popPrint");
  popProperties = popBody->addAction("&Properties", this, &TfraMessageViewer::ShowProperties);
  popProperties->setObjectName("popProperties");
  connect(MsgViewer, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { popBody->popup(MsgViewer->viewport()->mapToGlobal(pos)); });
  connect(MsgViewer, &THtmlDisplay::LinkClicked, this, [this](const QString& link) { MsgViewerLinkClick(S(link)); });

  ApplySettings();
}

TfraMessageViewer::~TfraMessageViewer() { FreeShownMessage(); }

bool TfraMessageViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pnlHeaders && event->type() == QEvent::Resize) RepositionHeaderLabels();
  return QWidget::eventFilter(watched, event);
}

void TfraMessageViewer::RepositionHeaderLabels() {
  int line = fontMetrics().height() + 2;
  int top1 = 3;
  int top2 = top1 + line + 1;
  int width = pnlHeaders->width();
  // The bold captions are measured: a fixed width cut "Subject:" short.
  QFontMetrics bold(lblSubjectCaption->font());
  int caption_width = std::max(bold.horizontalAdvance(lblSubjectCaption->text()),
                               bold.horizontalAdvance(lblFromCaption->text())) + 2;
  int value_left = kCaptionLeft + caption_width + 4;
  lblSubjectCaption->setGeometry(kCaptionLeft, top1, caption_width, line);
  lblFromCaption->setGeometry(kCaptionLeft, top2, caption_width, line);
  lblSubject->setGeometry(value_left, top1, std::max(0, width - value_left - 4), line);
  // "To:" follows the sender on the same line.
  int from_width = lblFrom->text().isEmpty() ? 0 : lblFrom->fontMetrics().horizontalAdvance(lblFrom->text()) + 2;
  int to_caption_width = lblToCaption->fontMetrics().horizontalAdvance(lblToCaption->text()) + 2;
  int max_from = std::max(0, width - value_left - to_caption_width - 60);
  from_width = std::min(from_width, max_from);
  lblFrom->setGeometry(value_left, top2, from_width, line);
  int to_left = value_left + from_width + 8;
  lblToCaption->setGeometry(to_left, top2, to_caption_width, line);
  int to_value_left = to_left + to_caption_width + 4;
  lblTo->setGeometry(to_value_left, top2, std::max(0, width - to_value_left - 4), line);
}

void TfraMessageViewer::FreeShownMessage() {
  if (has_message_) FreeMessage(shown_);
  InitMessage(shown_);
  has_message_ = false;
}

void TfraMessageViewer::ShowAttachmentPane(bool show) {
  pnlAttachments->setVisible(show);
  if (show) {
    int total = AttachPaneSplitter->height();
    int pane = std::max(pnlAttachments->minimumHeight(), attach_height_);
    AttachPaneSplitter->setSizes({std::max(0, total - pane - AttachPaneSplitter->handleWidth()), pane});
  }
}

void TfraMessageViewer::DisplayMessage(const cMailMessage& message) {
  FreeShownMessage();
  shown_ = message;
  if (!shown_.Body) shown_.Body = std::make_shared<StringList>();
  if (!shown_.Headers) shown_.Headers = std::make_shared<StringList>();
  if (!shown_.Attachments) shown_.Attachments = std::make_shared<StringList>();
  has_message_ = true;

  lblSubject->setText(Q(shown_.Subject));
  lblFrom->setText(Q(shown_.From));
  lblTo->setText(Q(shown_.To));
  RepositionHeaderLabels();

  MsgViewer->SetAttachmentFiles(*shown_.Attachments);
  if (shown_.IsHTML) {
    MsgViewer->setHtml(Q(JoinLines(*shown_.Body)));
  } else {
    if (IsAutoWrapOn()) *shown_.Body = SplitLines(WrapMessageText(JoinLines(*shown_.Body)));
    bool scan = !OptionsIni || OptionsIni->ReadBool("Options", "ScanForLinks", true);
    if (scan) {
      int single = OptionsIni ? OptionsIni->ReadInteger("Colours", "SingleQuote", 0x3A67C5) : 0x3A67C5;
      int dbl = OptionsIni ? OptionsIni->ReadInteger("Colours", "DoubleQuote", 0xA00000) : 0xA00000;
      StringList html =
          TextToHTML(*shown_.Body, ColorToHTML(static_cast<uint32_t>(single)), ColorToHTML(static_cast<uint32_t>(dbl)));
      MsgViewer->setHtml(Q(JoinLines(html)));
    } else {
      MsgViewer->setPlainText(PlainLines(*shown_.Body));
    }
  }

  ShowAttachmentPane(shown_.HasAttachments);
  pnlAttachments->Fill(*shown_.Attachments);
}

void TfraMessageViewer::ClearMessage() {
  lblSubject->clear();
  lblFrom->clear();
  lblTo->clear();
  RepositionHeaderLabels();
  FreeShownMessage();
  MsgViewer->SetAttachmentFiles({});
  MsgViewer->clear();
  pnlAttachments->Clear();
}

void TfraMessageViewer::ApplySettings() {
  SetLabelColour(lblSubject, ColourFromSetting(ReadColour("SubjectField", lblSubject->palette().color(QPalette::WindowText))));
  SetLabelColour(lblFrom, ColourFromSetting(ReadColour("FromField", lblFrom->palette().color(QPalette::WindowText))));
  SetLabelColour(lblTo, ColourFromSetting(ReadColour("ToField", lblTo->palette().color(QPalette::WindowText))));
  {
    QPalette p = pnlHeaders->palette();
    p.setColor(QPalette::Window, ColourFromSetting(ReadColour("HeaderPaneBackground", p.color(QPalette::Window))));
    pnlHeaders->setPalette(p);
  }
  pnlHeaders->setVisible(!OptionsIni || OptionsIni->ReadBool("View", "MessageHeadersVisible", true));

  FontDesc font;
  if (OptionsIni) LoadFont(*OptionsIni, font, "MsgPreviewFont");
  QFont qfont(Q(font.name), font.size > 0 ? font.size : 8);
  qfont.setBold(font.bold);
  qfont.setItalic(font.italic);
  qfont.setUnderline(font.underline);
  MsgViewer->document()->setDefaultFont(qfont);
  MsgViewer->setFont(qfont);

  QColor text = ColourFromSetting(font.colour);
  QColor background = ColourFromSetting(OptionsIni ? OptionsIni->ReadInteger("Colours", "PreviewPaneBackground", 0xFFFFFF)
                                                   : 0xFFFFFF);
  QColor link = ColourFromSetting(OptionsIni ? OptionsIni->ReadInteger("Colours", "URL", 0xFF0000) : 0xFF0000);
  QPalette p = MsgViewer->palette();
  p.setColor(QPalette::Base, background);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Link, link);
  p.setColor(QPalette::LinkVisited, link);
  MsgViewer->setPalette(p);
  QString family = QString(Q(font.name)).replace('\'', ' ');
  MsgViewer->document()->setDefaultStyleSheet(
      QString("a { color: %1; } pre, tt, code, kbd, samp { font-family: '%2'; }").arg(HtmlColour(link), family));

  if (OptionsIni) attach_height_ = OptionsIni->ReadInteger("MsgViewerFrame", "AttachPaneHeight", attach_height_);
  if (pnlAttachments->isVisible()) ShowAttachmentPane(true);
  RepositionHeaderLabels();

  // The style sheet applies while parsing: show the message again with it.
  if (has_message_) {
    cMailMessage again = shown_;
    has_message_ = false;  // the lists are handed straight back
    DisplayMessage(again);
  }
}

void TfraMessageViewer::SaveAttachPaneHeight() {
  if (pnlAttachments->isVisible()) attach_height_ = pnlAttachments->height();
  if (OptionsIni) OptionsIni->WriteInteger("MsgViewerFrame", "AttachPaneHeight", attach_height_);
}

void TfraMessageViewer::PrintShownMessage() {
  if (has_message_) PrintMessage(shown_);
}

void TfraMessageViewer::SaveMessageAsText(const std::string& path, const cMailMessage& message) {
  StringList lines;
  if (message.Headers) lines = *message.Headers;
  lines.emplace_back();
  if (message.Body) lines.insert(lines.end(), message.Body->begin(), message.Body->end());
  SaveLinesToFile(path, lines);
}

void TfraMessageViewer::SaveMessageAs(const QString& default_ext) {
  if (!has_message_) return;
  QFileDialog dialog(this, "Save as", QString(), "Text files (*.txt);;All files (*.*)");
  dialog.setObjectName("dlgSaveMessage");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(default_ext);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  std::string path = S(dialog.selectedFiles().first());
  if (!DirectoryExists(ExtractFilePath(path))) return;
  try {
    SaveMessageAsText(path, shown_);
  } catch (...) {
    // Nothing beyond what the dialog said.
  }
}

void TfraMessageViewer::ShowProperties() {
  if (!has_message_) return;
  TfrmMessageProperties props(this);
  props.LoadProperties(shown_);
  props.exec();
}

void TfraMessageViewer::MsgViewerLinkClick(const std::string& link) {
  if (LowerCaseAscii(link.substr(0, 7)) == "mailto:") {
    CommandLineInfo request;
    request.has_command_line = true;
    SplitMailtoUrl(link, request.address, request.subject);
    OpenComposeForRequest(request);
    return;
  }
  OpenLink(link);
}

}  // namespace qm

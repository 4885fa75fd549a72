#include "ui/print_message.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextOption>
#include <QThread>
#include <cmath>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/font_settings.h"
#include "shell/report_error.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

std::string DateLine(TDateTime dt) {
  std::string text = FormatShortDate(dt);
  double fraction = dt - std::floor(dt);
  if (std::fabs(fraction) > 1e-9) text += " " + FormatLongTime(dt);
  return text;
}

QFont PrintingFont() {
  FontDesc desc;
  bool custom = OptionsIni && OptionsIni->ReadBool("Printing", "UseCustomFont", false);
  if (OptionsIni) LoadFont(*OptionsIni, desc, custom ? "PrintingFont" : "MainWindowFont");
  QFont font(Q(desc.name));
  font.setPointSize(desc.size > 0 ? desc.size : 8);
  font.setBold(desc.bold);
  font.setItalic(desc.italic);
  font.setUnderline(desc.underline);
  return font;
}

std::string Setting(const char* key) {
  return OptionsIni ? OptionsIni->ReadString("Printing", key, "1.00") : std::string("1.00");
}

}  // namespace

StringList PrintedLines(const cMailMessage& msg) {
  StringList lines;
  lines.push_back("From: " + msg.From);
  lines.push_back("To: " + msg.To);
  if (!msg.CC.empty()) lines.push_back("CC: " + msg.CC);
  if (!msg.BCC.empty()) lines.push_back("BCC: " + msg.BCC);
  lines.push_back("Subject: " + msg.Subject);
  lines.push_back("Date: " + DateLine(msg.Date));
  if (msg.HasAttachments && msg.Attachments) {
    const size_t n = msg.Attachments->size();
    for (size_t i = 0; i < n; ++i)
      lines.push_back("Attachment " + std::to_string(i + 1) + " of " + std::to_string(n) + ": " +
                      ExtractFileName((*msg.Attachments)[i]));
  }
  lines.emplace_back();
  if (msg.Body) lines.insert(lines.end(), msg.Body->begin(), msg.Body->end());
  return lines;
}

double MarginMillimetres(const std::string& text) {
  QString t = Q(text).trimmed();
  bool ok = false;
  double cm = QLocale::system().toDouble(t, &ok);
  if (!ok) cm = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(cm) || cm < 0) cm = 1.0;
  return cm * 10.0;
}

bool PrintMessageOn(QPrinter& printer, const cMailMessage& msg) {
  printer.setDocName(Q(msg.Subject));
  QMarginsF margins(MarginMillimetres(Setting("LeftMargin")), MarginMillimetres(Setting("TopMargin")),
                    MarginMillimetres(Setting("RightMargin")), MarginMillimetres(Setting("BottomMargin")));
  printer.setPageMargins(margins, QPageLayout::Millimeter);

  QTextDocument doc;
  doc.setDefaultFont(PrintingFont());
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  doc.setDefaultTextOption(option);
  QString text;
  for (const std::string& line : PrintedLines(msg)) {
    text += Q(line);
    text += QChar('\n');
  }
  doc.setPlainText(text);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  const QSizeF size(page.width(), page.height());
  // The document lays out in printer pixels so fonts keep their point size.
  doc.documentLayout()->setPaintDevice(&printer);
  doc.setPageSize(size);
  const int pages = std::max(1, doc.pageCount());
  for (int p = 0; p < pages; ++p) {
    if (p > 0) printer.newPage();
    painter.save();
    painter.translate(0, -p * size.height());
    QRectF clip(0, p * size.height(), size.width(), size.height());
    doc.drawContents(&painter, clip);
    painter.restore();
  }
  painter.end();
  return true;
}

void PrintMessage(const cMailMessage& msg) {
  if (QThread::currentThread() != qApp->thread()) {
    cMailMessage copy = msg;
    QMetaObject::invokeMethod(qApp, [copy] { PrintMessage(copy); }, Qt::BlockingQueuedConnection);
    return;
  }
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    ReportError(QuotedStr("No printer is installed; the message \"" + msg.Subject +
                          "\" was not printed and stays in its mailbox") +
                " has occured in PrintMessage ()");
    return;
  }
  QPrinter printer(info, QPrinter::HighResolution);
  if (!PrintMessageOn(printer, msg))
    ReportError(QuotedStr("The printer " + S(info.printerName()) + " did not accept the message \"" + msg.Subject +
                          "\"") +
                " has occured in PrintMessage ()");
}

void SaveMessageAsText(const cMailMessage& msg, const std::string& path) {
  StringList lines;
  if (msg.Headers) lines = *msg.Headers;
  lines.emplace_back();
  if (msg.Body) lines.insert(lines.end(), msg.Body->begin(), msg.Body->end());
  SaveLinesToFile(path, lines);
}

}  // namespace qm

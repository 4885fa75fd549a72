// Printing a message: the printed lines, the margins, and the text of a
// printed PDF as pdftotext reads it.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include "platform/date_time.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "ui/print_message.h"

namespace qm {
namespace {

cMailMessage Sample() {
  cMailMessage msg;
  InitMessage(msg);
  msg.From = "Ann <ann@example.invalid>";
  msg.To = "bob@example.invalid";
  msg.Subject = "Quarterly figures";
  msg.Date = EncodeDate(2026, 3, 14);
  *msg.Body = {"Hello Bob,", "the figures are attached."};
  return msg;
}

TEST(PrintMessageTest, HeaderBlockAndAttachmentLines) {
  cMailMessage msg = Sample();
  StringList lines = PrintedLines(msg);
  ASSERT_EQ(lines.size(), 7u);  // four header lines, the blank line, two body lines
  EXPECT_EQ(lines[0], "From: Ann <ann@example.invalid>");
  EXPECT_EQ(lines[1], "To: bob@example.invalid");
  EXPECT_EQ(lines[2], "Subject: Quarterly figures");
  EXPECT_EQ(lines[3].rfind("Date: ", 0), 0u);
  EXPECT_EQ(lines[3].find(':', 6), std::string::npos) << "midnight prints no time: " << lines[3];
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "Hello Bob,");

  msg.CC = "carol@example.invalid";
  AddAttachment(msg, "/home/ann/reports/report.doc");
  AddAttachment(msg, "/tmp/chart.png");
  lines = PrintedLines(msg);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[2], "CC: carol@example.invalid");
  EXPECT_EQ(lines[5], "Attachment 1 of 2: report.doc");
  EXPECT_EQ(lines[6], "Attachment 2 of 2: chart.png");
  EXPECT_EQ(lines[7], "");
  FreeMessage(msg);
}

TEST(PrintMessageTest, MarginsInMillimetres) {
  struct Case {
    const char* text;
    double mm;
  } cases[] = {{"2.5", 25.0}, {"1", 10.0}, {" 0 ", 0.0}, {"wide", 10.0}, {"", 10.0}, {"-3", 10.0}};
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(MarginMillimetres(c.text), c.mm) << c.text;
}

TEST(PrintMessageTest, PrintedPdfHoldsTheMessageText) {
  const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
  if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  class TempDir dir;
  InitialisePaths(dir.path());
  OptionsIni->WriteString("Printing", "TopMargin", "2.5");
  cMailMessage msg = Sample();
  // A long body line is wrapped, not cut off.
  msg.Body->push_back(std::string(40, 'w') + " " + std::string(300, 'x') + " tailword");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = dir.path() + "message.pdf";
  printer.setOutputFileName(QString::fromStdString(pdf));
  ASSERT_TRUE(PrintMessageOn(printer, msg));
  EXPECT_NEAR(printer.pageLayout().margins(QPageLayout::Millimeter).top(), 25.0, 0.01);
  QProcess p;
  p.start(pdftotext, {QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(p.waitForFinished(20000));
  // The printing font may set "fi" as one ligature glyph; compare letters.
  const QString text = QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
  for (const char* expected : {"From: Ann <ann@example.invalid>", "To: bob@example.invalid",
                               "Subject: Quarterly figures", "Hello Bob,", "the figures are attached.", "tailword"})
    EXPECT_TRUE(text.contains(expected)) << expected << "\n" << text.toStdString();
  EXPECT_FALSE(text.contains("CC:"));
  FreeMessage(msg);
  ReleaseSettings();
}

TEST(PrintMessageTest, SavedTextIsHeadersBlankLineBody) {
  class TempDir dir;
  cMailMessage msg = Sample();
  *msg.Headers = {"From: Ann <ann@example.invalid>", "Subject: Quarterly figures"};
  SaveMessageAsText(msg, dir.path() + "out.txt");
  EXPECT_EQ(ReadFileBytes(dir.path() + "out.txt"),
            "From: Ann <ann@example.invalid>\r\nSubject: Quarterly figures\r\n\r\nHello Bob,\r\n"
            "the figures are attached.\r\n");
  FreeMessage(msg);
}

}  // namespace
}  // namespace qm

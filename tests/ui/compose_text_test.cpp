// What the compose window computes before any widget is involved: numbered
// subjects, reply-all recipients, the reply header, the first editor text,
// quoted pasting, address completion, size texts and the computer info.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLocale>

#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "ui/compose_attachments.h"
#include "ui/compose_autocomplete.h"
#include "ui/compose_insert.h"
#include "ui/compose_setup.h"
#include "ui/system_info.h"

namespace qm {
namespace {

TEST(ComposeSubjectTest, RepliesAndForwardsAreNumbered) {
  struct Case {
    const char* subject;
    const char* prefix;
    bool increment;
    const char* expected;
  } cases[] = {
      {"Hello", "Re: ", true, "Re: Hello"},
      {"Re: Hello", "Re: ", true, "Re: [2] Hello"},
      {"Re: [2] Hello", "Re: ", true, "Re: [3] Hello"},
      {"Re: [2] Hello", "FW: ", true, "FW: Re: [2] Hello"},
      {"RE: x", "Re: ", true, "RE: [2] x"},
      {"Re: [x] y", "Re: ", true, "Re: [2] y"},           // not a number counts as 1
      {"Re: [] y", "Re: ", true, "Re: [2] [] y"},         // "]" right after "[": no number there
      {"Re: a [4] b", "Re: ", true, "Re: [2] a [4] b"},   // "[" not right after the prefix
      {"Re: [9", "Re: ", true, "Re: [2] [9"},             // no "]" at all
      {"Re: [2147483647] z", "Re: ", true, "Re: [2147483648] z"},
      {"Re: [99999999999] z", "Re: ", true, "Re: [2] z"},  // out of range counts as 1
      {"Re: Hello", "Re: ", false, "Re: Re: Hello"},
      {"", "Re: ", true, "Re: "},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NumberedSubject(c.subject, c.prefix, c.increment), c.expected) << c.subject << " / " << c.prefix;
}

TEST(ComposeSubjectTest, ReplyAllJoinsToCcAndBcc) {
  struct Case {
    const char *to, *cc, *bcc, *expected;
  } cases[] = {{"a", "b", "", "a,b"}, {"a", "", "", "a"}, {"a", "b", "c", "a,b,c"}, {"a", "", "c", "a,c"}};
  for (const Case& c : cases) {
    cMailMessage m;
    m.To = c.to;
    m.CC = c.cc;
    m.BCC = c.bcc;
    EXPECT_EQ(ReplyAllRecipients(m), c.expected);
  }
}

TEST(ComposeSubjectTest, ReplyFormatReplacesEveryTokenOnce) {
  EXPECT_EQ(ExpandReplyFormat("$FROM wrote on $DATE:", "Ann <a@x>", "b@x", "1/2/03"), "Ann <a@x> wrote on 1/2/03:");
  EXPECT_EQ(ExpandReplyFormat("$FROM to $TO$NL$FROM", "A", "B", "D"), "A to B\r\nA");
  // A sender holding a token is not expanded again.
  EXPECT_EQ(ExpandReplyFormat("$FROM on $DATE", "$DATE$NL", "", "today"), "$DATE$NL on today");
  EXPECT_EQ(ExpandReplyFormat("$ $FRO $$TO", "A", "B", ""), "$ $FRO $B");
}

ComposeBodyParams Quoting(bool bottom) {
  ComposeBodyParams p;
  p.quoting = true;
  p.reply_at_bottom = bottom;
  p.header = "Ann wrote on 1/2/03:";
  p.quoted = {"first", "> older"};
  p.has_signature = true;
  p.signature = {"-- ", "Bob"};
  return p;
}

TEST(ComposeBodyTest, QuoteBlockLayouts) {
  struct Case {
    const char* name;
    ComposeBodyParams params;
    StringList lines;
    std::string before_caret;
  };
  ComposeBodyParams bottom = Quoting(true);
  ComposeBodyParams bottom_date = Quoting(true);
  bottom_date.date_text = "NOW";
  ComposeBodyParams top = Quoting(false);
  ComposeBodyParams top_date = Quoting(false);
  top_date.date_text = "NOW";
  ComposeBodyParams plain;
  plain.has_signature = true;
  plain.signature = {"Bob"};
  ComposeBodyParams plain_date = plain;
  plain_date.date_text = "NOW";
  ComposeBodyParams multi_header = Quoting(true);
  multi_header.header = "Ann$\r\nwrote:";
  multi_header.has_signature = false;
  const Case cases[] = {
      {"bottom", bottom,
       {"Ann wrote on 1/2/03:", "> ", "> first", "> > older", "", "", "-- ", "Bob"},
       "Ann wrote on 1/2/03:\n> \n> first\n> > older\n\n"},
      {"bottom with date", bottom_date,
       {"Ann wrote on 1/2/03:", "> ", "> first", "> > older", "", "NOW", "", "", "-- ", "Bob"},
       "Ann wrote on 1/2/03:\n> \n> first\n> > older\n\nNOW\n\n"},
      {"top", top, {"", "-- ", "Bob", "", "Ann wrote on 1/2/03:", "> ", "> first", "> > older"}, ""},
      {"top with date", top_date,
       {"NOW", "", "-- ", "Bob", "", "Ann wrote on 1/2/03:", "> ", "> first", "> > older"}, "NOW\n"},
      {"no quoting", plain, {"", "Bob"}, ""},
      {"no quoting, date", plain_date, {"NOW", "", "Bob"}, "NOW\n"},
      {"header with a line break", multi_header, {"Ann$", "wrote:", "> ", "> first", "> > older", ""},
       "Ann$\nwrote:\n> \n> first\n> > older\n\n"},
  };
  for (const Case& c : cases) {
    ComposeBody b = BuildComposeBody(c.params);
    EXPECT_EQ(b.lines, c.lines) << c.name;
    std::string text = ComposeBodyText(b);
    ASSERT_LE(b.caret, text.size()) << c.name;
    EXPECT_EQ(text.substr(0, b.caret), c.before_caret) << c.name;
  }
}

TEST(ComposeBodyTest, QuotedLinesCarryTheirLevel) {
  ComposeBodyParams p = Quoting(true);
  p.quoted = {"one", "> two", "", ">> three"};
  ComposeBody b = BuildComposeBody(p);
  // header, prefix line, then the four quoted lines
  EXPECT_THAT(b.levels, ::testing::ElementsAre(0, 0, 1, 2, 1, 2, 0, 0, 0, 0));
  p.colour_quotes = false;
  for (int level : BuildComposeBody(p).levels) EXPECT_EQ(level, 0);
}

TEST(ComposePasteQuotedTest, PrefixesEveryLineAndTrimsTheEnd) {
  EXPECT_EQ(QuotedPasteText("a\r\nb", ">"), ">a\n>b");
  EXPECT_EQ(QuotedPasteText("a\nb\n\n  \n", ">"), ">a\n>b\n>\n>");
  EXPECT_EQ(QuotedPasteText("line  \n", "> "), "> line");
  EXPECT_EQ(QuotedPasteText("", ">"), "");
}

TEST(ComposeAutoCompleteTest, CompletesTheFragmentAfterTheLastComma) {
  const StringList list = {"john@example.org", "John <john@example.org>", "ann@example.org", "Ann <ann@example.org>"};
  struct Case {
    const char* text;
    bool found;
    const char* result;
    int start, length;
  } cases[] = {
      {"jo", true, "john@example.org", 2, 14},
      {"JO", true, "john@example.org", 2, 14},
      {"ann, jo", true, "ann,john@example.org", 6, 14},
      {"ann,   An", true, "ann,ann@example.org", 6, 13},
      {"Ann <", true, "Ann <ann@example.org>", 5, 16},
      {"x@y, ", false, "", 0, 0},
      {"", false, "", 0, 0},
      {"zed", false, "", 0, 0},
  };
  for (const Case& c : cases) {
    AutoCompletion out;
    ASSERT_EQ(CompleteAddress(c.text, list, out), c.found) << c.text;
    if (!c.found) continue;
    EXPECT_EQ(out.text, c.result) << c.text;
    EXPECT_EQ(out.selection_start, c.start) << c.text;
    EXPECT_EQ(out.selection_length, c.length) << c.text;
  }
}

TEST(ComposeAttachmentTextTest, SizeTexts) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(AttachmentSizeText(0), "0 bytes");
  EXPECT_EQ(AttachmentSizeText(1023), "1023 bytes");
  EXPECT_EQ(AttachmentSizeText(1024), "1.00 KB");
  EXPECT_EQ(AttachmentSizeText(1536), "1.50 KB");
  EXPECT_EQ(AttachmentSizeText(1048575), "1,024.00 KB");
  EXPECT_EQ(AttachmentSizeText(1048576), "1.00 MB");
  EXPECT_EQ(AttachmentItemCaption("/nonexistent/dir/report.pdf"), "report.pdf (0 bytes)");
}

TEST(ComposeSystemInfoTest, NamesTheLocationsAndTheMachine) {
  class TempDir dir;
  InitialisePaths(dir.path());
  std::string text = GetSystemInfoText();
  EXPECT_EQ(text.rfind("\r\n ==================== System info ==================== \r\n", 0), 0u);
  EXPECT_NE(text.find("\r\nTorvane Quillmar version 3.61 (Final)\r\n"), std::string::npos);
  EXPECT_NE(text.find("App folder:\t" + AppDir + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("Temp dir:  \t" + TempDir + "\r\n\r\nPlatform: Linux\r\n"), std::string::npos);
  EXPECT_NE(text.find(" hours.\r\nNumber of processors: "), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");  // the last, empty line
  ReleaseSettings();
}

}  // namespace
}  // namespace qm

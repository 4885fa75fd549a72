#include <gtest/gtest.h>

#include <algorithm>

#include "message/text_to_html.h"

namespace qm {
namespace {

const std::string kC1 = ColorToHTML(3827653);
const std::string kC2 = ColorToHTML(10485760);

std::string One(const std::string& line) {
  StringList out = TextToHTML({line}, kC1, kC2);
  EXPECT_EQ(out.size(), 5u);
  return out.size() == 5 ? out[2] : std::string();
}

std::string WebLink(const std::string& a) { return "<a\r\nhref=\"" + a + "\">" + a + "</a>"; }
std::string MailLink(const std::string& a) { return "<a\r\nhref=\"mailto:" + a + "\">" + a + "</a>"; }

TEST(HtmlColour, RedIsTheLowByte) {
  EXPECT_EQ(ColorToHTML(3827653), "\"#C5673A\"");
  EXPECT_EQ(ColorToHTML(10485760), "\"#0000A0\"");
  EXPECT_EQ(ColorToHTML(0x0000FF), "\"#FF0000\"");
  EXPECT_EQ(ColorToHTML(0), "\"#000000\"");
}

TEST(HtmlQuoteLevel, Table) {
  struct Case {
    const char* line;
    bool quoted;
    int level;
  } cases[] = {
      {"", false, 0},         {">", false, 0},        {":", false, 0},
      {"x>", false, 0},       {" > a", false, 0},     {"> quoted", true, 1},
      {">a", true, 1},        {">>", true, 1},        {">> deeper", true, 2},
      {">>>>", true, 2},      {"> > deeper", true, 2}, {"> >", true, 1},
      {":: x", true, 2},      {": : x", true, 2},     {":> x", true, 1},
      {">:x", true, 1},
  };
  for (const Case& c : cases) {
    int level = 0;
    EXPECT_EQ(GetQuoteLevel(c.line, level), c.quoted) << c.line;
    if (c.quoted) {
      EXPECT_EQ(level, c.level) << c.line;
    }
  }
}

TEST(HtmlDocument, EmptyInputGivesTheFrameOnly) {
  EXPECT_EQ(TextToHTML({}, kC1, kC2), (StringList{"<html>", "<body>", "</body>", "</html>"}));
}

TEST(HtmlDocument, OneOutputLinePerInputLine) {
  StringList out = TextToHTML({"a", "", "b c"}, kC1, kC2);
  EXPECT_EQ(out, (StringList{"<html>", "<body>", "a<br>", "<br>", "b&nbsp;c<br>", "</body>",
                             "</html>"}));
}

TEST(HtmlLinks, Table) {
  struct Case {
    const char* line;
    std::string html;
  } cases[] = {
      {"see http://example.com/a?b=1, ok",
       "see&nbsp;" + WebLink("http://example.com/a?b=1") + ",&nbsp;ok<br>"},
      {"ftp://files.example.org/pub;x", WebLink("ftp://files.example.org/pub") + ";x<br>"},
      // Only the first address of a kind is linked.
      {"http://a.example http://b.example",
       WebLink("http://a.example") + "&nbsp;http://b.example<br>"},
      {"(http://a.example)", "(" + WebLink("http://a.example") + ")<br>"},
      {"http://a.example and ftp://b.example",
       WebLink("http://a.example") + "&nbsp;and&nbsp;" + WebLink("ftp://b.example") + "<br>"},
      {"write to mailto:joe@example.com", "write&nbsp;to&nbsp;" + WebLink("mailto:joe@example.com") +
                                              "<br>"},
      // The final full stop is a link character.
      {"Mail joe.bloggs@example.com.", "Mail&nbsp;" + MailLink("joe.bloggs@example.com.") + "<br>"},
      {"<joe@example.com>", "&lt;" + MailLink("joe@example.com") + "&gt;<br>"},
      {"joe@localhost is local", "joe@localhost&nbsp;is&nbsp;local<br>"},
      {"@example.com", "@example.com<br>"},
      {"joe@", "joe@<br>"},
      // Only the first at sign is examined.
      {"a@b and c@d.example", "a@b&nbsp;and&nbsp;c@d.example<br>"},
      // With "mailto:" present the bare address is left alone.
      {"x@y.example mailto:z@w.example",
       "x@y.example&nbsp;" + WebLink("mailto:z@w.example") + "<br>"},
      {"a web and a mail: http://w.example/ joe@m.example",
       "a&nbsp;web&nbsp;and&nbsp;a&nbsp;mail:&nbsp;" + WebLink("http://w.example/") + "&nbsp;" +
           MailLink("joe@m.example") + "<br>"},
  };
  for (const Case& c : cases) EXPECT_EQ(One(c.line), c.html) << c.line;
}

TEST(HtmlLinks, LinksInsideALinkAreNotNested) {
  // The ftp:// and the at sign belong to the web address already linked.
  EXPECT_EQ(One("http://user@host.example/ftp://x"),
            WebLink("http://user@host.example/ftp://x") + "<br>");
  EXPECT_EQ(One("http://h.example/?to=mailto:a@b.example"),
            WebLink("http://h.example/?to=mailto:a@b.example") + "<br>");
}

TEST(HtmlEscaping, PlainTextCannotInjectMarkup) {
  EXPECT_EQ(One("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;<br>");
  EXPECT_EQ(One("a & b"), "a&nbsp;&amp;&nbsp;b<br>");
  EXPECT_EQ(One("&nbsp;"), "&amp;nbsp;<br>");
  // An address may hold "&"; it is escaped in the attribute and the text.
  EXPECT_EQ(One("http://h.example/?a=1&b=2"),
            "<a\r\nhref=\"http://h.example/?a=1&amp;b=2\">http://h.example/?a=1&amp;b=2</a><br>");
  // A quote or an angle bracket ends the address, so no attribute can be opened.
  EXPECT_EQ(One("http://h.example/\"onclick=x"), WebLink("http://h.example/") + "\"onclick=x<br>");
  EXPECT_EQ(One("http://h.example/><b>"), WebLink("http://h.example/") + "&gt;&lt;b&gt;<br>");
}

TEST(HtmlLinks, TargetsAreQuotedWhole) {
  // Every link character a target may hold stays inside the quotes, so the
  // target is read up to its end whatever a renderer makes of "=" or "/".
  struct Case {
    const char* line;
    const char* href;
  } cases[] = {
      {"http://h.example/page?id=7", "http://h.example/page?id=7"},
      {"http://h.example/a=b=c/", "http://h.example/a=b=c/"},
      {"http://h.example/x?q=a+b&r=%20#top", "http://h.example/x?q=a+b&amp;r=%20#top"},
      {"ftp://h.example/~u/[1]\\x_y", "ftp://h.example/~u/[1]\\x_y"},
      {"mailto:a@b.example?subject=Hi", "mailto:a@b.example?subject=Hi"},
      {"x=y@b.example", "mailto:x=y@b.example"},
  };
  for (const Case& c : cases) {
    std::string html = One(c.line);
    std::string open = std::string("<a\r\nhref=\"") + c.href + "\">";
    EXPECT_EQ(html.rfind(open, 0), 0u) << c.line << " gave " << html;
    // One opening quote and one closing quote in the tag, nothing else.
    std::string tag = html.substr(0, html.find('>') + 1);
    EXPECT_EQ(std::count(tag.begin(), tag.end(), '"'), 2) << tag;
  }
}

TEST(HtmlQuoting, DepthIsTakenFromTheRawLine) {
  EXPECT_EQ(One("> quoted"), "<font color=" + kC1 + "> &gt;&nbsp;quoted<br> </font>");
  EXPECT_EQ(One(">> deeper"), "<font color=" + kC2 + "> &gt;&gt;&nbsp;deeper<br> </font>");
  EXPECT_EQ(One("> > deeper"), "<font color=" + kC2 + "> &gt;&nbsp;&gt;&nbsp;deeper<br> </font>");
  EXPECT_EQ(One(": said"), "<font color=" + kC1 + "> :&nbsp;said<br> </font>");
  // A lone ">" is not a quote.
  EXPECT_EQ(One(">"), "&gt;<br>");
  // A link inside a quoted line keeps both.
  EXPECT_EQ(One("> http://a.example"),
            "<font color=" + kC1 + "> &gt;&nbsp;" + WebLink("http://a.example") + "<br> </font>");
}

}  // namespace
}  // namespace qm

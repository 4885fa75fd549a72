#include "message/text_to_html.h"

#include <cstdio>
#include <vector>

namespace qm {

namespace {

bool IsLinkChar(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '#': case '%': case '&': case '+': case '-': case '.': case '/': case ':':
    case '=': case '?': case '@': case '[': case '\\': case ']': case '_': case '~':
      return true;
    default:
      return false;
  }
}

// A link found in the raw line: [start, end) and what goes after "href=".
struct Link {
  size_t start;
  size_t end;
  std::string href_prefix;
};

bool Overlaps(const std::vector<Link>& links, size_t start, size_t end) {
  for (const Link& l : links)
    if (start < l.end && l.start < end) return true;
  return false;
}

bool InsideLink(const std::vector<Link>& links, size_t pos) {
  for (const Link& l : links)
    if (pos >= l.start && pos < l.end) return true;
  return false;
}

// First occurrence of `marker` outside the links already made.
size_t FindFree(std::string_view line, std::string_view marker, const std::vector<Link>& links) {
  size_t pos = line.find(marker);
  while (pos != std::string_view::npos && Overlaps(links, pos, pos + marker.size()))
    pos = line.find(marker, pos + 1);
  return pos;
}

size_t RunEnd(std::string_view line, size_t from) {
  while (from < line.size() && IsLinkChar(line[from])) ++from;
  return from;
}

void AddPrefixedLink(std::string_view line, std::string_view marker, std::vector<Link>& links) {
  size_t pos = FindFree(line, marker, links);
  if (pos == std::string_view::npos) return;
  size_t end = RunEnd(line, pos + marker.size());
  // The run may not reach into a link made before.
  for (const Link& l : links)
    if (l.start >= pos && l.start < end) end = l.start;
  links.push_back({pos, end, ""});
}

void AddBareMailLink(std::string_view line, std::vector<Link>& links) {
  size_t at = line.find('@');
  while (at != std::string_view::npos && InsideLink(links, at)) at = line.find('@', at + 1);
  if (at == std::string_view::npos) return;
  size_t start = at;
  while (start > 0 && IsLinkChar(line[start - 1]) && !InsideLink(links, start - 1)) --start;
  size_t end = at + 1;
  while (end < line.size() && IsLinkChar(line[end]) && !InsideLink(links, end)) ++end;
  if (start == at || end == at + 1) return;
  if (line.substr(at + 1, end - at - 1).find('.') == std::string_view::npos) return;
  links.push_back({start, end, "mailto:"});
}

void AppendEscaped(std::string& out, std::string_view text, bool blanks) {
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case ' ':
        if (blanks) {
          out += "&nbsp;";
          break;
        }
        [[fallthrough]];
      default: out += c;
    }
  }
}

std::string ConvertLine(std::string_view line) {
  std::vector<Link> links;
  AddPrefixedLink(line, "http://", links);
  AddPrefixedLink(line, "ftp://", links);
  if (FindFree(line, "mailto:", links) != std::string_view::npos)
    AddPrefixedLink(line, "mailto:", links);
  else
    AddBareMailLink(line, links);

  std::string out;
  size_t pos = 0;
  while (pos < line.size()) {
    const Link* next = nullptr;
    for (const Link& l : links)
      if (l.start >= pos && (!next || l.start < next->start)) next = &l;
    size_t plain_end = next ? next->start : line.size();
    AppendEscaped(out, line.substr(pos, plain_end - pos), true);
    if (!next) break;
    std::string_view address = line.substr(next->start, next->end - next->start);
    // CR LF instead of a blank between the tag name and its attribute. The
    // target is quoted, as a renderer may end an unquoted one early (".../?id=7"
    // opening ".../?id"); link characters hold no double quote to close it.
    out += "<a\r\nhref=\"";
    out += next->href_prefix;
    AppendEscaped(out, address, false);
    out += "\">";
    AppendEscaped(out, address, false);
    out += "</a>";
    pos = next->end;
  }
  out += "<br>";
  return out;
}

}  // namespace

bool GetQuoteLevel(std::string_view line, int& level) {
  if (line.size() < 2 || (line[0] != '>' && line[0] != ':')) return false;
  if ((line.size() >= 3 && line[1] == line[0]) ||
      (line.size() >= 4 && line[1] == ' ' && line[2] == line[0]))
    level = 2;
  else
    level = 1;
  return true;
}

std::string ColorToHTML(uint32_t colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "\"#%02X%02X%02X\"", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return buf;
}

StringList TextToHTML(const StringList& lines, const std::string& single_quote_colour,
                      const std::string& double_quote_colour) {
  StringList out;
  out.reserve(lines.size() + 4);
  out.push_back("<html>");
  out.push_back("<body>");
  for (const std::string& line : lines) {
    std::string html = ConvertLine(line);
    // The depth is read from the text as written, before escaping.
    int level = 0;
    if (GetQuoteLevel(line, level))
      html = "<font color=" + (level == 2 ? double_quote_colour : single_quote_colour) + "> " + html +
             " </font>";
    out.push_back(std::move(html));
  }
  out.push_back("</body>");
  out.push_back("</html>");
  return out;
}

}  // namespace qm

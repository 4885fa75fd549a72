#include "message/message_search.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "platform/file_system.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "store/folder_tree.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"

namespace qm {

namespace {

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// True when the needle starts at `at` of the lines joined by "\r\n".
bool MatchAcrossLines(const StringList& lines, size_t line, size_t at, std::string_view needle) {
  size_t n = 0;
  while (n < needle.size()) {
    if (line >= lines.size()) return false;
    const std::string& s = lines[line];
    if (at < s.size()) {
      if (LowerAscii(s[at]) != needle[n]) return false;
      ++at;
      ++n;
      continue;
    }
    if (line + 1 >= lines.size()) return false;  // no break after the last line
    static const char kBreak[] = "\r\n";
    size_t k = at - s.size();
    if (needle[n] != kBreak[k]) return false;
    ++n;
    ++at;
    if (k == 1) {
      ++line;
      at = 0;
    }
  }
  return true;
}

bool BodyContains(const StringList& lines, const cCaselessFinder& finder) {
  for (const std::string& s : lines)
    if (finder.In(s)) return true;
  // A needle holding a line break may span lines.
  std::string_view needle = finder.needle();
  if (needle.find_first_of("\r\n") == std::string_view::npos) return false;
  for (size_t i = 0; i < lines.size(); ++i)
    for (size_t at = 0; at < lines[i].size() + 2; ++at)
      if (MatchAcrossLines(lines, i, at, needle)) return true;
  return false;
}

std::string Lower(std::string s) {
  for (char& c : s) c = LowerAscii(c);
  return s;
}

bool MatchesWith(const cMailMessage& msg, const cSearchOptions& o, const cCaselessFinder& finder) {
  if (o.subject && finder.In(msg.Subject)) return true;
  if (o.author && finder.In(msg.From)) return true;
  if (o.body && msg.Body && BodyContains(*msg.Body, finder)) return true;
  return false;
}

}  // namespace

// Horspool over bytes folded to lower case: the byte under the needle's last
// place decides how far to move, for either case of a letter.
cCaselessFinder::cCaselessFinder(std::string lowered_needle) : needle_(std::move(lowered_needle)) {
  const size_t m = needle_.size();
  const unsigned char full = static_cast<unsigned char>(std::min<size_t>(m == 0 ? 1 : m, 255));
  std::fill(std::begin(skip_), std::end(skip_), full);
  for (size_t k = 0; k + 1 < m; ++k) {
    const unsigned char c = static_cast<unsigned char>(needle_[k]);
    const unsigned char shift = static_cast<unsigned char>(std::min<size_t>(m - 1 - k, 255));
    skip_[c] = std::min(skip_[c], shift);
    if (c >= 'a' && c <= 'z') skip_[c - 32] = std::min(skip_[c - 32], shift);
  }
}

bool cCaselessFinder::In(std::string_view haystack) const {
  const size_t m = needle_.size();
  if (m == 0) return true;
  if (haystack.size() < m) return false;
  const char* data = haystack.data();
  const char* needle = needle_.data();
  const char last = needle[m - 1];
  const size_t stop = haystack.size() - m;
  size_t i = 0;
  while (i <= stop) {
    const char c = data[i + m - 1];
    if (LowerAscii(c) == last) {
      size_t k = 0;
      while (k + 1 < m && LowerAscii(data[i + k]) == needle[k]) ++k;
      if (k + 1 == m) return true;
    }
    i += skip_[static_cast<unsigned char>(c)];
  }
  return false;
}

bool ContainsLowered(std::string_view haystack, std::string_view needle) {
  return cCaselessFinder(std::string(needle)).In(haystack);
}

bool MessageMatches(const cMailMessage& msg, const cSearchOptions& o) {
  return MatchesWith(msg, o, cCaselessFinder(o.text));
}

cMessageSearch::cMessageSearch(cSearchOptions options, HitFn on_hit, const std::atomic<bool>* stop)
    : options_(std::move(options)), finder_(Lower(options_.text)), on_hit_(std::move(on_hit)), stop_(stop) {
  options_.text = finder_.needle();
}

bool cMessageSearch::Matches(const cMailMessage& msg, std::string_view stored_body) const {
  if (options_.subject && finder_.In(msg.Subject)) return true;
  if (options_.author && finder_.In(msg.From)) return true;
  return options_.body && finder_.In(stored_body);
}

void cMessageSearch::SearchMailbox(const std::string& path) {
  if (stopped()) return;
  std::string caption = ExtractFileName(path);
  int icon = kIconMailbox;
  bool have_node = false;
  {
    StoreLock lock;
    if (cFolderNode* node = FolderTree().FindNodeByPath(path)) {
      caption = node->caption;
      icon = node->icon;
      have_node = true;
    }
  }
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db) || !db) return;
  try {
    StringList keys;
    {
      StoreLock lock;
      db->GetKeys(keys);
    }
    // A needle without line breaks cannot span body lines, so the body is
    // searched as it is stored instead of being split into a record's lines.
    const bool stored_body = options_.body && !options_.text.empty() &&
                             options_.text.find_first_of("\r\n") == std::string::npos;
    std::string item;
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
      if (stopped()) break;
      cMailMessage msg;
      bool matched = false;
      if (stored_body) {
        try {
          {
            StoreLock lock;
            db->GoTo(i);
            db->Get(item);
          }
          DecodeMessage(item, false, msg);
          matched = Matches(msg, ItemBodyText(item));
        } catch (const std::exception& e) {
          // Reported as a read through GetMessage would report it.
          ReportError(QuotedStr(e.what()) + " has occured in GetMessage ()");
          continue;
        }
      } else {
        if (!GetMessage(*db, msg, options_.body, std::string(), i)) continue;
        matched = MatchesWith(msg, options_, finder_);
      }
      ++messages_read_;
      if (matched) {
        cSearchHit hit;
        hit.mailbox_path = path;
        hit.key = keys[i];
        hit.folder_caption = caption;
        hit.folder_icon = icon;
        hit.subject = msg.Subject;
        hit.from_name = msg.FromName;
        hit.date = msg.Date;
        if (have_node) {
          StoreLock lock;
          hit.message_ref = MakeMessageRef(FolderTree().FindNodeByPath(path), keys[i]);
        }
        ++hits_;
        if (on_hit_) on_hit_(hit);
      }
      FreeMessage(msg);
    }
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while scanning the mailbox " + QuotedStr(path));
  }
  ReleaseQDB(db);
}

void cMessageSearch::SearchFolder(const std::string& path) {
  if (stopped()) return;
  const std::string dir = IncludeTrailingSlash(path);
  try {
    for (const DirEntry& entry : ListDirectory(dir)) {
      if (stopped()) return;
      std::string full = dir + entry.name;
      std::string ext = ExtractFileExt(entry.name);
      if (!entry.is_directory) {
        if (LowerCaseAscii(ext) == ".zqf") SearchMailbox(full);
      } else if (ext.empty() || ext == ".FLD") {
        SearchFolder(full + "/");
      }
    }
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while scanning the folder " + QuotedStr(dir));
  }
}

}  // namespace qm

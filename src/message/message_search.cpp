#include "message/message_search.h"

#include <algorithm>
#include <exception>

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

bool BodyContains(const StringList& lines, std::string_view needle) {
  for (const std::string& s : lines)
    if (ContainsLowered(s, needle)) return true;
  // A needle holding a line break may span lines.
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

}  // namespace

bool ContainsLowered(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  if (haystack.size() < needle.size()) return false;
  const char first = needle[0];
  const char first_upper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
  const size_t last = haystack.size() - needle.size();
  const char* data = haystack.data();
  for (size_t i = 0; i <= last; ++i) {
    char c = data[i];
    if (c != first && c != first_upper) continue;
    size_t k = 1;
    while (k < needle.size() && LowerAscii(data[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return true;
  }
  return false;
}

bool MessageMatches(const cMailMessage& msg, const cSearchOptions& o) {
  if (o.subject && ContainsLowered(msg.Subject, o.text)) return true;
  if (o.author && ContainsLowered(msg.From, o.text)) return true;
  if (o.body && msg.Body && BodyContains(*msg.Body, o.text)) return true;
  return false;
}

cMessageSearch::cMessageSearch(cSearchOptions options, HitFn on_hit, const std::atomic<bool>* stop)
    : options_(std::move(options)), on_hit_(std::move(on_hit)), stop_(stop) {
  options_.text = Lower(options_.text);
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
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
      if (stopped()) break;
      cMailMessage msg;
      if (!GetMessage(*db, msg, options_.body, std::string(), i)) continue;
      ++messages_read_;
      if (MessageMatches(msg, options_)) {
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

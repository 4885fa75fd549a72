#pragma once
// Searching stored messages for a piece of text in their subject, sender or
// body, in one mailbox or a whole branch of the mail directory. Mailboxes are
// read through the shared mailbox access, one message at a time, so another
// thread may use the same mailboxes while a search runs.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "store/mail_message.h"

namespace qm {

struct cSearchOptions {
  std::string text;  // compared without regard to ASCII case
  bool subject = false;
  bool author = false;
  bool body = false;
};

struct cSearchHit {
  std::string mailbox_path;
  std::string key;
  std::string message_ref;  // empty when the mailbox has no tree node
  std::string folder_caption;
  int folder_icon = 0;
  std::string subject;
  std::string from_name;
  TDateTime date = 0;
};

// Finds a lower-case needle in texts without regard to ASCII case. The skip
// table is built once, so one finder serves a whole search.
class cCaselessFinder {
 public:
  explicit cCaselessFinder(std::string lowered_needle);
  bool In(std::string_view haystack) const;
  const std::string& needle() const { return needle_; }

 private:
  std::string needle_;
  unsigned char skip_[256];
};

// One-off use of cCaselessFinder.
bool ContainsLowered(std::string_view haystack, std::string_view lowered_needle);

// True when the text occurs in one of the switched-on fields of the message
// (the body lines count as joined by line breaks).
bool MessageMatches(const cMailMessage& msg, const cSearchOptions& lowered);

class cMessageSearch {
 public:
  using HitFn = std::function<void(const cSearchHit&)>;
  // `on_hit` is called on the searching thread, once per matching message.
  // `stop`, when given, ends the search at the next message once set.
  cMessageSearch(cSearchOptions options, HitFn on_hit, const std::atomic<bool>* stop = nullptr);

  // A mailbox file.
  void SearchMailbox(const std::string& path);
  // A directory tree: mailboxes (".zqf"), accounts (no extension) and
  // folders (".FLD"); directories with any other extension are passed over.
  void SearchFolder(const std::string& path);

  int messages_read() const { return messages_read_; }
  int hits() const { return hits_; }
  bool stopped() const { return stop_ && stop_->load(std::memory_order_relaxed); }

 private:
  bool Matches(const cMailMessage& msg, std::string_view stored_body) const;

  cSearchOptions options_;
  cCaselessFinder finder_;
  HitFn on_hit_;
  const std::atomic<bool>* stop_;
  int messages_read_ = 0;
  int hits_ = 0;
};

}  // namespace qm

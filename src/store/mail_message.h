#pragma once
// The message record passed between parser, store, tasks, rules and windows,
// and its stored byte form inside a mailbox item.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/date_time.h"
#include "platform/text_lines.h"

namespace qm {

// Plain record copied by value. The three lists are created by InitMessage
// and released by FreeMessage; a copy shares them (the shared_ptr is copied,
// not the list), so exactly one holder calls FreeMessage.
struct cMailMessage {
  std::string Subject;
  std::string From;
  std::string FromName;
  std::string FromAddress;
  std::string ReplyTo;
  std::string To;
  std::string CC;
  std::string BCC;
  std::string MessageID;
  std::string Organization;
  std::string Account;
  std::string SourceRef;
  int32_t Size = 0;
  int32_t Reserved = 0;
  TDateTime Date = 0;
  bool ReservedFlag = false;
  bool Answered = false;
  bool Complete = false;
  bool IsHTML = false;
  bool Read = false;
  bool HasAttachments = false;
  std::shared_ptr<StringList> Body;
  std::shared_ptr<StringList> Headers;
  std::shared_ptr<StringList> Attachments;
};

// Clears every field, sets Date to now and creates three new empty lists.
void InitMessage(cMailMessage& msg);

// Drops the attachment entries (the files stay on disk) and releases the
// lists of this record and of every copy sharing them. Never throws.
void FreeMessage(cMailMessage& msg);

// The stored item. Never throws; returns what was written so far on failure.
// CR and LF inside a first-part field become blanks so later fields keep
// their lines.
std::string EncodeMessage(const cMailMessage& msg);
// The same with a given boundary seed (EncodeMessage seeds from the clock).
std::string EncodeMessageWithSeed(const cMailMessage& msg, int32_t seed);

// Calls InitMessage and fills the record from an item. Without `with_body`
// only the first part is read and the lists stay empty. Throws
// std::runtime_error when the first text has fewer than 18 lines or the
// item is cut short before its fixed fields.
void DecodeMessage(std::string_view item, bool with_body, cMailMessage& msg);

// The stored body lines of an item, each with its line break, read in place
// without building a record: what follows the second boundary line, cut at
// a NUL byte as the decoder cuts it. Empty when the item has no body. Throws
// as DecodeMessage does when the item is cut short.
std::string_view ItemBodyText(std::string_view item);

// Appends a path to Attachments and sets HasAttachments.
void AddAttachment(cMailMessage& msg, const std::string& path);

// Removes entry `index` (ignored when out of range); HasAttachments tells
// whether entries remain.
void DeleteAttachmentEntry(cMailMessage& msg, int index);

}  // namespace qm

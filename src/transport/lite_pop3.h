#pragma once
// The POP3 client: login, message count, unique-id list, retrieval of a whole
// message or its header, deletion and quit.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "platform/text_lines.h"
#include "transport/lite_socket.h"

namespace qm {

class TLitePOP3 : public TLiteSocket {
 public:
  using cBeforeBodyEvent = std::function<void(TLitePOP3& sender, int msg_size)>;
  using cUIDLFetchProgressEvent =
      std::function<void(TLitePOP3& sender, int curr_index, int total_uidls)>;
  using cBodyFetchProgressEvent =
      std::function<void(TLitePOP3& sender, int64_t curr_pos, int msg_size)>;

  // Written to the traffic log in place of the password.
  static constexpr const char* kPasswordPlaceholder = "********";

  cBeforeBodyEvent OnBeforeBody;
  TNotifyEvent OnLoggedIn;
  TNotifyEvent OnAfterBody;
  cUIDLFetchProgressEvent UIDLFetchProgress;
  cBodyFetchProgressEvent BodyFetchProgress;

  // Bytes asked for by one receive while message contents flow (replies use
  // ReceiveSize). Larger pieces cost fewer system calls; the dialogue and the
  // stored text do not change.
  static constexpr size_t kDefaultDataReceiveSize = 65536;
  size_t DataReceiveSize() const { return data_receive_size_; }
  void SetDataReceiveSize(size_t bytes) { data_receive_size_ = bytes == 0 ? 1 : bytes; }

  // Count of the last successful GetMailboxStats.
  int MessageCount() const { return message_count_; }

  bool CheckWelcome() override { return ReplyCode() == "+OK"; }

  // With TLS asked for, the upgrade ("STLS") follows the greeting.
  bool Connect() override;
  // Plain USER/PASS without TLS; inside TLS, USER/PASS or "AUTH PLAIN",
  // whichever the server's capabilities offer.
  bool Login(const std::string& user, const std::string& password);
  // "CAPA": the capability lines; false when the server has none to give.
  bool ReadCapabilities(StringList& capabilities);
  // Written to the traffic log in place of the AUTH PLAIN argument.
  static constexpr const char* kAuthPlaceholder = "********";
  bool GetMailboxStats();
  // One unique-id per message in the server's order: entry i is message i + 1.
  bool GetUIDLList(StringList& list);
  // Writes the message text (or only its header) to `stream` as it arrives,
  // with the POP3 byte-stuffing undone and without the final line end.
  bool RetrieveMessage(int number, bool headers_only, std::ostream& stream);
  bool DeleteFromServer(int number);
  bool Quit();

 private:
  bool ReadOKReply();
  bool UserPassLogin(const std::string& user, const std::string& password);
  bool AuthPlainLogin(const std::string& user, const std::string& password);
  int message_count_ = 0;
  size_t data_receive_size_ = kDefaultDataReceiveSize;
};

}  // namespace qm

#pragma once
// The SMTP client: greeting and EHLO on connection, one message per
// SendMessage (envelope, recipients, text), QUIT on disconnection.
#include <functional>
#include <string>
#include <string_view>

#include "platform/text_lines.h"
#include "transport/lite_socket.h"

namespace qm {

class TLiteSMTP : public TLiteSocket {
 public:
  using cSendProgressEvent = std::function<void(TLiteSMTP& sender, int position, int total)>;

  static constexpr const char* kWriteFailedText = "Write to socket failed (probably a timeout)!";

  // Fired after each message line sent.
  cSendProgressEvent OnSendProgress;

  // Written to the traffic log in place of AUTH arguments.
  static constexpr const char* kAuthPlaceholder = "********";

  bool CheckWelcome() override { return ReplyCode() == "220"; }
  // Logs in with AUTH PLAIN or AUTH LOGIN after the greeting when on.
  void SetAuthentication(bool on, std::string user, std::string password) {
    authenticate_ = on;
    user_ = std::move(user);
    password_ = std::move(password);
  }
  // The extensions listed by the last EHLO reply ("STARTTLS", "AUTH PLAIN LOGIN").
  const StringList& Extensions() const { return extensions_; }
  bool Connect() override;
  void Disconnect() override;

  bool SendMessage(const StringList& lines, const std::string& from, const StringList& recipients);
  // Reads a reply; a code other than `code` is reported with type 8.
  bool ExpectReply(const std::string& code);

  // A reply is complete at its last line: one whose code is not followed by
  // "-" (so "220-" greetings and "250-" replies in several chunks are whole).
  static bool SmtpReplyComplete(std::string_view buffer);

  // The argument of HELO for a local address: IPv4 in brackets, IPv6 as an
  // "[IPv6:...]" literal.
  static std::string HeloAddress(const std::string& local_address);
 protected:
  // EHLO (HELO when it is refused and neither TLS nor a login is asked
  // for), the upgrade with STARTTLS and the login, as the settings ask.
  bool ExtendedGreeting();
  // With `refused`, a reply other than 250 is not reported but flagged there.
  bool SendEhlo(bool* refused);
  bool SendHelo();
  bool Authenticate();
  bool ReplyComplete(const std::string& buffer) const override { return SmtpReplyComplete(buffer); }

 private:
  bool authenticate_ = false;
  std::string user_;
  std::string password_;
  StringList extensions_;
};

}  // namespace qm

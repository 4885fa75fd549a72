// Feeds arbitrary server replies, cut into arbitrary chunks, to the POP3 client:
// greeting, STAT, UIDL, RETR and QUIT, as a fetch would run them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "platform/socket_channel.h"
#include "transport/lite_pop3.h"

namespace {

// A server that answers with the fuzzer's bytes, `chunk` bytes at a time.
class ScriptedChannel : public qm::SocketChannel {
 public:
  ScriptedChannel(std::string data, size_t chunk) : data_(std::move(data)), chunk_(chunk ? chunk : 1) {}
  qm::WaitResult WaitReadable(int) override { return qm::WaitResult::kReady; }
  qm::ReceiveResult Receive(char* buffer, size_t max) override {
    qm::ReceiveResult r;
    if (at_ >= data_.size()) {
      r.kind = qm::ReceiveResult::kClosed;
      return r;
    }
    size_t n = std::min({max, chunk_, data_.size() - at_});
    data_.copy(buffer, n, at_);
    at_ += n;
    r.kind = qm::ReceiveResult::kData;
    r.count = n;
    return r;
  }
  bool SendAll(std::string_view, int) override { return true; }
  std::string LocalAddress() const override { return "127.0.0.1"; }
  void Close() override {}
  std::string LastError() const override { return "closed"; }

 private:
  std::string data_;
  size_t chunk_;
  size_t at_ = 0;
};

class FuzzPop3 : public qm::TLitePOP3 {
 public:
  FuzzPop3(std::string data, size_t chunk) : data_(std::move(data)), chunk_(chunk) {}

 protected:
  std::unique_ptr<qm::SocketChannel> OpenChannel(std::string&) override {
    return std::make_unique<ScriptedChannel>(data_, chunk_);
  }

 private:
  std::string data_;
  size_t chunk_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t chunk = 1 + data[0] % 64;
  FuzzPop3 pop3(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), chunk);
  pop3.SetServer("127.0.0.1");
  pop3.SetPort(110);
  pop3.SetTimeOut(1);
  pop3.SetDataReceiveSize(chunk * 3);
  if (!pop3.Connect()) return 0;
  if (pop3.GetMailboxStats()) {
    qm::StringList uidls;
    pop3.GetUIDLList(uidls);
    std::ostringstream message;
    pop3.RetrieveMessage(1, false, message);
  }
  pop3.Quit();
  return 0;
}

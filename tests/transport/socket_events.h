#pragma once
// Records what a client socket reports, for the transport tests.
#include <string>
#include <vector>

#include "transport/lite_socket.h"

namespace qm {

struct SocketEvents {
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  std::vector<std::pair<int, std::string>> errors;
  std::vector<std::string> lifecycle;

  void Attach(TLiteSocket& s) {
    s.OnReadFromSocket = [this](TLiteSocket&, const std::string& t) { reads.push_back(t); };
    s.OnWriteToSocket = [this](TLiteSocket&, const std::string& t) { writes.push_back(t); };
    s.OnError = [this](TLiteSocket&, ErrorTypes e, const std::string& t) {
      errors.emplace_back(static_cast<int>(e), t);
    };
    s.OnBeforeConnect = [this](TLiteSocket&) { lifecycle.push_back("before-connect"); };
    s.OnConnect = [this](TLiteSocket&) { lifecycle.push_back("connect"); };
    s.OnDisconnecting = [this](TLiteSocket&) { lifecycle.push_back("disconnecting"); };
    s.OnDisconnect = [this](TLiteSocket&) { lifecycle.push_back("disconnect"); };
  }
  // Every traffic line, both directions, for searching.
  std::string AllTraffic() const {
    std::string all;
    for (const auto& r : reads) all += r + "\n";
    for (const auto& w : writes) all += w + "\n";
    return all;
  }
};

}  // namespace qm

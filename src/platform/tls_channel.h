#pragma once
// TLS (1.2 or newer, OpenSSL) over another byte channel. The handshake checks
// the server's certificate against the system store, an optional extra CA
// file and the host name; a certificate the user accepted earlier is named by
// its SHA-256 fingerprint and passes whatever the checks say.
#include <memory>
#include <string>
#include <string_view>

#include "platform/socket_channel.h"

namespace qm {

// What the user is shown about a server certificate.
struct TlsCertificateDetails {
  std::string Subject;
  std::string Issuer;
  std::string NotBefore;  // "2026-12-10 15:44:47 UTC"
  std::string NotAfter;
  std::string Fingerprint;  // SHA-256, upper-case hex pairs joined by ":"
};

struct TlsOptions {
  std::string Host;  // the name or address the user gave; checked against the certificate
  std::string TrustedFingerprint;  // empty: none accepted
  std::string ExtraCaFile;         // empty: the system store only
  int TimeoutMs = 30000;           // the whole handshake
};

// Outcome of a handshake; on a certificate failure `Details` describes it.
struct TlsHandshakeResult {
  bool Ok = false;
  bool CertificateRejected = false;
  std::string Error;  // readable reason, naming the host
  TlsCertificateDetails Details;
};

// The environment variable naming a CA file trusted besides the system store
// (the tests' own CA).
constexpr const char* kExtraCaFileVariable = "QUILLMAR_EXTRA_CA_FILE";
// Its value, or empty.
std::string ExtraCaFileFromEnvironment();

// A fingerprint in any case with or without ":" in the canonical form.
std::string NormaliseFingerprint(std::string_view text);

class TlsChannel : public SocketChannel {
 public:
  ~TlsChannel() override;
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // Runs the client handshake over `inner`. Returns the channel, or nullptr
  // with `result` saying why.
  static std::unique_ptr<TlsChannel> Handshake(std::unique_ptr<SocketChannel> inner, const TlsOptions& options,
                                               TlsHandshakeResult& result);

  WaitResult WaitReadable(int timeout_ms) override;
  ReceiveResult Receive(char* buffer, size_t max) override;
  bool SendAll(std::string_view data, int timeout_ms) override;
  std::string LocalAddress() const override;
  void Close() override;
  std::string LastError() const override { return last_error_; }

  // The protocol agreed on ("TLSv1.3").
  std::string Version() const;

 private:
  struct State;
  explicit TlsChannel(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
  std::string last_error_;
};

}  // namespace qm

#include "platform/tls_channel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace qm {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

std::string OpenSslErrors() {
  std::string out;
  while (unsigned long e = ERR_get_error()) {
    char buf[256];
    ERR_error_string_n(e, buf, sizeof buf);
    if (!out.empty()) out += "; ";
    out += buf;
  }
  return out;
}

std::string NameText(X509_NAME* name) {
  if (!name) return "";
  BIO* bio = BIO_new(BIO_s_mem());
  X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  long n = BIO_get_mem_data(bio, &data);
  std::string out(data ? data : "", n > 0 ? static_cast<size_t>(n) : 0);
  BIO_free(bio);
  return out;
}

std::string TimeText(const ASN1_TIME* t) {
  struct tm tm {};
  if (!t || ASN1_TIME_to_tm(t, &tm) != 1) return "";
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S UTC", &tm);
  return buf;
}

bool IsNumericAddress(const std::string& host) {
  unsigned char buf[16];
  return inet_pton(AF_INET, host.c_str(), buf) == 1 || inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

TlsCertificateDetails DetailsOf(X509* cert) {
  TlsCertificateDetails d;
  if (!cert) return d;
  d.Subject = NameText(X509_get_subject_name(cert));
  d.Issuer = NameText(X509_get_issuer_name(cert));
  d.NotBefore = TimeText(X509_get0_notBefore(cert));
  d.NotAfter = TimeText(X509_get0_notAfter(cert));
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (X509_digest(cert, EVP_sha256(), md, &len) == 1) {
    static const char* hex = "0123456789ABCDEF";
    for (unsigned int i = 0; i < len; ++i) {
      if (i) d.Fingerprint += ':';
      d.Fingerprint += hex[md[i] >> 4];
      d.Fingerprint += hex[md[i] & 15];
    }
  }
  return d;
}

}  // namespace

std::string ExtraCaFileFromEnvironment() {
  const char* v = std::getenv(kExtraCaFileVariable);
  return v ? std::string(v) : std::string();
}

std::string NormaliseFingerprint(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits += c;
    else if (c >= 'a' && c <= 'f') digits += static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'F') digits += c;
  }
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && i % 2 == 0) out += ':';
    out += digits[i];
  }
  return out;
}

struct TlsChannel::State {
  std::unique_ptr<SocketChannel> inner;
  SSL_CTX* ctx = nullptr;
  SSL* ssl = nullptr;
  BIO* rbio = nullptr;  // network to TLS; owned by ssl
  BIO* wbio = nullptr;  // TLS to network; owned by ssl
  bool closed = false;
  std::string io_error;

  ~State() {
    if (ssl) SSL_free(ssl);
    if (ctx) SSL_CTX_free(ctx);
  }

  // Sends what the TLS engine has written.
  bool FlushOut(int timeout_ms) {
    char buf[16384];
    while (BIO_ctrl_pending(wbio) > 0) {
      int n = BIO_read(wbio, buf, sizeof buf);
      if (n <= 0) break;
      if (!inner->SendAll(std::string_view(buf, static_cast<size_t>(n)), timeout_ms)) {
        io_error = inner->LastError();
        return false;
      }
    }
    return true;
  }

  // Feeds what the network has into the TLS engine, waiting up to `wait_ms`.
  ReceiveResult::Kind PullIn(int wait_ms) {
    WaitResult w = inner->WaitReadable(wait_ms);
    if (w == WaitResult::kFailed) {
      io_error = inner->LastError();
      return ReceiveResult::kFailed;
    }
    if (w == WaitResult::kTimedOut) return ReceiveResult::kWouldBlock;
    char buf[16384];
    ReceiveResult got = inner->Receive(buf, sizeof buf);
    if (got.kind == ReceiveResult::kData) BIO_write(rbio, buf, static_cast<int>(got.count));
    if (got.kind == ReceiveResult::kFailed) io_error = inner->LastError();
    return got.kind;
  }
};

TlsChannel::TlsChannel(std::unique_ptr<State> state) : state_(std::move(state)) {}

TlsChannel::~TlsChannel() { Close(); }

std::unique_ptr<TlsChannel> TlsChannel::Handshake(std::unique_ptr<SocketChannel> inner, const TlsOptions& options,
                                                  TlsHandshakeResult& result) {
  result = TlsHandshakeResult();
  auto fail = [&](const std::string& why) {
    result.Error = "TLS with " + options.Host + " failed: " + why;
    return nullptr;
  };
  if (!inner) return fail("no connection");
  ERR_clear_error();
  auto st = std::make_unique<State>();
  st->inner = std::move(inner);
  st->ctx = SSL_CTX_new(TLS_client_method());
  if (!st->ctx) return fail(OpenSslErrors());
  SSL_CTX_set_min_proto_version(st->ctx, TLS1_2_VERSION);
  SSL_CTX_set_default_verify_paths(st->ctx);
  if (!options.ExtraCaFile.empty() &&
      SSL_CTX_load_verify_locations(st->ctx, options.ExtraCaFile.c_str(), nullptr) != 1)
    return fail("cannot load the CA file " + options.ExtraCaFile + ": " + OpenSslErrors());
  st->ssl = SSL_new(st->ctx);
  if (!st->ssl) return fail(OpenSslErrors());
  // Verification is judged after the handshake, so that a refused certificate
  // can still be shown to the user.
  SSL_set_verify(st->ssl, SSL_VERIFY_NONE, nullptr);
  if (IsNumericAddress(options.Host)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(st->ssl), options.Host.c_str());
  } else {
    SSL_set1_host(st->ssl, options.Host.c_str());
    SSL_set_tlsext_host_name(st->ssl, options.Host.c_str());
  }
  st->rbio = BIO_new(BIO_s_mem());
  st->wbio = BIO_new(BIO_s_mem());
  BIO_set_mem_eof_return(st->rbio, -1);
  SSL_set_bio(st->ssl, st->rbio, st->wbio);
  SSL_set_connect_state(st->ssl);

  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(options.TimeoutMs, 1));
  for (;;) {
    int r = SSL_do_handshake(st->ssl);
    if (!st->FlushOut(std::max(MsLeft(deadline), 1))) return fail(st->io_error);
    if (r == 1) break;
    int err = SSL_get_error(st->ssl, r);
    if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE) {
      std::string why = OpenSslErrors();
      return fail(why.empty() ? "the server ended the handshake" : why);
    }
    if (err == SSL_ERROR_WANT_WRITE) continue;
    ReceiveResult::Kind k = st->PullIn(MsLeft(deadline));
    if (k == ReceiveResult::kClosed) return fail("the server closed the connection during the handshake");
    if (k == ReceiveResult::kFailed) return fail(st->io_error);
    if (k == ReceiveResult::kWouldBlock && MsLeft(deadline) == 0) return fail("the handshake timed out");
  }

  X509* cert = SSL_get1_peer_certificate(st->ssl);
  result.Details = DetailsOf(cert);
  long verify = SSL_get_verify_result(st->ssl);
  if (!cert) verify = X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT;  // anonymous: nothing to check
  X509_free(cert);
  if (verify != X509_V_OK) {
    const std::string trusted = NormaliseFingerprint(options.TrustedFingerprint);
    if (trusted.empty() || trusted != result.Details.Fingerprint) {
      result.CertificateRejected = true;
      result.Error = "The certificate of " + options.Host +
                     " failed verification: " + X509_verify_cert_error_string(verify);
      auto refused = std::unique_ptr<TlsChannel>(new TlsChannel(std::move(st)));
      refused->Close();
      return nullptr;
    }
  }
  result.Ok = true;
  return std::unique_ptr<TlsChannel>(new TlsChannel(std::move(st)));
}

WaitResult TlsChannel::WaitReadable(int timeout_ms) {
  if (state_->closed) return WaitResult::kFailed;
  // Decrypted bytes, or whole records the network delivered that are not
  // decrypted yet: the socket may stay silent while they wait.
  if (SSL_pending(state_->ssl) > 0 || BIO_ctrl_pending(state_->rbio) > 0) return WaitResult::kReady;
  return state_->inner->WaitReadable(timeout_ms);
}

ReceiveResult TlsChannel::Receive(char* buffer, size_t max) {
  ReceiveResult out;
  if (state_->closed) return out;
  const int want = static_cast<int>(std::min<size_t>(max, 1 << 30));
  for (;;) {
    ERR_clear_error();
    int n = SSL_read(state_->ssl, buffer, want);
    if (n > 0) {
      // One record is at most 16 KB: take the records already here too, so a
      // large receive costs one pass through the caller, not one per record.
      int got = n;
      while (got < want) {
        if (SSL_pending(state_->ssl) == 0 && BIO_ctrl_pending(state_->rbio) == 0 &&
            state_->PullIn(0) != ReceiveResult::kData)
          break;
        ERR_clear_error();
        int more = SSL_read(state_->ssl, buffer + got, want - got);
        if (more <= 0) break;  // a failure or the end shows again on the next call
        got += more;
      }
      state_->FlushOut(10000);
      out.kind = ReceiveResult::kData;
      out.count = static_cast<size_t>(got);
      return out;
    }
    int err = SSL_get_error(state_->ssl, n);
    if (err == SSL_ERROR_ZERO_RETURN) {
      out.kind = ReceiveResult::kClosed;
      return out;
    }
    if (err != SSL_ERROR_WANT_READ && err != SSL_ERROR_WANT_WRITE) {
      last_error_ = "TLS: " + OpenSslErrors();
      out.kind = ReceiveResult::kFailed;
      return out;
    }
    state_->FlushOut(10000);
    ReceiveResult::Kind k = state_->PullIn(0);
    if (k == ReceiveResult::kData) continue;
    if (k == ReceiveResult::kFailed) last_error_ = state_->io_error;
    out.kind = k;
    return out;
  }
}

bool TlsChannel::SendAll(std::string_view data, int timeout_ms) {
  if (state_->closed) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeout_ms, 0));
  while (!data.empty()) {
    const int piece = static_cast<int>(std::min<size_t>(data.size(), 16384));
    ERR_clear_error();
    int n = SSL_write(state_->ssl, data.data(), piece);
    if (n <= 0) {
      last_error_ = "TLS: " + OpenSslErrors();
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
    // Encrypted bytes go out as they are made, so memory stays bounded.
    if (!state_->FlushOut(std::max(MsLeft(deadline), 1))) {
      last_error_ = state_->io_error;
      return false;
    }
  }
  return true;
}

std::string TlsChannel::LocalAddress() const { return state_->inner->LocalAddress(); }

void TlsChannel::Close() {
  if (!state_ || state_->closed) return;
  state_->closed = true;
  if (SSL_is_init_finished(state_->ssl)) {
    SSL_shutdown(state_->ssl);
    state_->FlushOut(1000);
  }
  state_->inner->Close();
}

std::string TlsChannel::Version() const { return SSL_get_version(state_->ssl); }

}  // namespace qm

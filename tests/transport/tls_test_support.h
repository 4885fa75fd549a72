#pragma once
// The TLS test servers of scripts/test-servers, certificates made at test time
// with the openssl command, and `openssl s_server` as a TLS peer that shows a
// chosen certificate (a refused one, which the real servers never show).
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {

struct TlsTestServers {
  std::string ca_file;
  int pop3_stls_port = 0;
  int pop3s_port = 0;
  int smtp_starttls_port = 0;
  int smtp_login_port = 0;
  int smtps_port = 0;
  std::string smtp_user;
  std::string smtp_password;
  std::string smtp_mbox;
};

inline ::testing::AssertionResult GetTlsTestServers(TlsTestServers& out) {
  auto env = [](const char* name, std::string& v) {
    const char* e = std::getenv(name);
    if (!e || !*e) return false;
    v = e;
    return true;
  };
  std::string p[5];
  const char* names[5] = {"QUILL_POP3_STLS_PORT", "QUILL_POP3S_PORT", "QUILL_SMTP_STARTTLS_PORT",
                          "QUILL_SMTP_LOGIN_PORT", "QUILL_SMTPS_PORT"};
  for (int i = 0; i < 5; ++i)
    if (!env(names[i], p[i]))
      return ::testing::AssertionFailure() << names[i]
                                           << " is not set: run 'scripts/test-servers start DIR' and source "
                                              "DIR/servers.env first.";
  if (!env("QUILL_TLS_CA_FILE", out.ca_file) || !env("QUILL_SMTP_TLS_USER", out.smtp_user) ||
      !env("QUILL_SMTP_TLS_PASSWORD", out.smtp_password) || !env("QUILL_SMTP_TLS_MBOX", out.smtp_mbox))
    return ::testing::AssertionFailure() << "the TLS variables of servers.env are incomplete";
  out.pop3_stls_port = std::atoi(p[0].c_str());
  out.pop3s_port = std::atoi(p[1].c_str());
  out.smtp_starttls_port = std::atoi(p[2].c_str());
  out.smtp_login_port = std::atoi(p[3].c_str());
  out.smtps_port = std::atoi(p[4].c_str());
  return ::testing::AssertionSuccess();
}

inline int RunShell(const std::string& command) { return std::system(command.c_str()); }

// SHA-256 fingerprint of a PEM file as `openssl x509` prints it ("AB:CD:...").
inline std::string PemFingerprint(const std::string& pem, const std::string& scratch_dir) {
  const std::string out = scratch_dir + "fp.txt";
  RunShell("openssl x509 -noout -fingerprint -sha256 -in '" + pem + "' > '" + out + "'");
  std::string text = TryReadFileBytes(out).value_or("");
  size_t eq = text.find('=');
  if (eq == std::string::npos) return "";
  text.erase(0, eq + 1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// A fresh CA and server certificates (see scripts/servers/make-test-certs).
class TestCertificates {
 public:
  TestCertificates() {
    ok_ = RunShell(std::string(QUILL_SOURCE_DIR) + "/scripts/servers/make-test-certs '" + dir_.path() + "'") == 0;
  }
  bool ok() const { return ok_; }
  std::string File(const std::string& name) const { return dir_.path() + name; }
  std::string Fingerprint(const std::string& pem) const { return PemFingerprint(File(pem), dir_.path()); }
  const std::string& dir() const { return dir_.path(); }

 private:
  class TempDir dir_;
  bool ok_ = false;
};

inline int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

// `openssl s_server` on 127.0.0.1 with one certificate; what the client sends
// after the handshake lands in a file.
class OpensslServer {
 public:
  OpensslServer(const std::string& cert, const std::string& key, const std::string& received)
      : received_(received) {
    port_ = FreeLoopbackPort();
    pid_ = fork();
    if (pid_ == 0) {
      FILE* f = std::freopen(received.c_str(), "wb", stdout);
      (void)f;
      std::freopen("/dev/null", "wb", stderr);
      const std::string accept = "127.0.0.1:" + std::to_string(port_);
      execlp("openssl", "openssl", "s_server", "-quiet", "-naccept", "1", "-accept", accept.c_str(), "-cert",
             cert.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // Ready once it accepts connections.
    for (int i = 0; i < 100 && !Listening(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~OpensslServer() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  int port() const { return port_; }
  // What reached the server as application data.
  std::string Received() const { return TryReadFileBytes(received_).value_or(""); }

 private:
  bool Listening() const {
    // Asks the kernel, without connecting (a connection would use up -naccept).
    std::string table = TryReadFileBytes("/proc/net/tcp").value_or("");
    char needle[32];
    std::snprintf(needle, sizeof needle, "0100007F:%04X 00000000:0000 0A", port_);
    return table.find(needle) != std::string::npos;
  }
  std::string received_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace qm

#pragma once
// A server certificate that failed verification, as the task window shows it,
// and the user's answer: trust it for the account from now on.
#include <string>

#include "platform/tls_channel.h"
#include "transport/lite_socket.h"

namespace qm {

class cTaskHost;

struct cCertificateInfo {
  std::string Account;
  std::string Section;  // "POP3" or "SMTP": which server of the account
  std::string Host;
  std::string Reason;  // the verification error, naming the host
  TlsCertificateDetails Details;
};

// The refused certificate of the socket's last handshake; false when the last
// connection did not fail on its certificate.
bool RejectedCertificate(const TLiteSocket& socket, const std::string& account, const std::string& section,
                         cCertificateInfo& info);

// Subject, issuer, validity and fingerprint, one per line.
std::string CertificateDescription(const cCertificateInfo& info);

// Stores the fingerprint as the account's TrustedCertificate of that server.
void TrustCertificate(const cCertificateInfo& info);

// Asks the host (on its thread) and stores the answer. True when the user
// trusted the certificate and it was stored; `failure` says why storing it
// failed, empty when it did not.
bool OfferCertificateTrust(cTaskHost& host, const cCertificateInfo& info, std::string& failure);

}  // namespace qm

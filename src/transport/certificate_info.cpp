#include "transport/certificate_info.h"

#include <exception>

#include "accounts/account_settings.h"
#include "shell/report_error.h"
#include "transport/task_ui.h"

namespace qm {

bool RejectedCertificate(const TLiteSocket& socket, const std::string& account, const std::string& section,
                         cCertificateInfo& info) {
  const TlsHandshakeResult& r = socket.LastTlsResult();
  if (!r.CertificateRejected) return false;
  info.Account = account;
  info.Section = section;
  info.Host = socket.Server();
  info.Reason = r.Error;
  info.Details = r.Details;
  return true;
}

std::string CertificateDescription(const cCertificateInfo& info) {
  return "Server: " + info.Host + "\n" + "Subject: " + info.Details.Subject + "\n" +
         "Issuer: " + info.Details.Issuer + "\n" + "Valid from: " + info.Details.NotBefore + "\n" +
         "Valid until: " + info.Details.NotAfter + "\n" + "SHA-256 fingerprint: " + info.Details.Fingerprint +
         "\n";
}

void TrustCertificate(const cCertificateInfo& info) {
  TrustAccountCertificate(info.Account, info.Section, info.Details.Fingerprint);
}

std::string OfferCertificateTrust(cTaskHost& host, const cCertificateInfo& info) {
  std::string failure;
  host.Synchronize([&] {
    try {
          if (host.AskTrustCertificate(info)) TrustCertificate(info);
    } catch (const std::exception& e) {
      failure = QuotedStr(e.what()) + " has occured while trusting the certificate";
    }
  });
  return failure;
}

}  // namespace qm

#include "transport/certificate_info.h"

#include <exception>

#include "accounts/account_settings.h"
#include "shell/report_error.h"
#include "transport/task.h"
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

bool OfferCertificateTrust(cTaskHost& host, const cCertificateInfo& info, std::string& failure) {
  failure.clear();
  bool trusted = false;
  host.Synchronize([&] {
    try {
      if (host.AskTrustCertificate(info)) {
        TrustCertificate(info);
        trusted = true;
      }
    } catch (const std::exception& e) {
      failure = QuotedStr(e.what()) + " has occured while trusting the certificate";
    }
  });
  return trusted;
}

void cTask::OfferRefusedCertificate(const std::string& section) {
  cCertificateInfo refused;
  if (!socket_ || !RejectedCertificate(*socket_, ServerName(), section, refused)) return;
  std::string failure;
  if (OfferCertificateTrust(Host(), refused, failure))
    LogLine("The certificate " + refused.Details.Fingerprint + " is trusted for " + ServerName() +
                " from the next connection on.",
            kLogGreen);
  if (!failure.empty()) ReportTaskError(failure);
}

}  // namespace qm

// Any text as a Date header: a value or 0, never a crash; formatting any
// value read back gives a parseable text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "message/internet_dates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  qm::TDateTime v = qm::ParseInternetDate(text);
  if (std::isnan(v) || std::isinf(v)) std::abort();
  (void)qm::GetZoneOffset(text);
  int y, m, d;
  if (v != 0) qm::DecodeDate(v, y, m, d);
  // Years below 100 are written short and read back in this century.
  if (v != 0 && !text.empty() && y >= 100) {
    qm::TDateTime again = qm::ParseInternetDate(qm::FormatInternetDate(v));
    if (std::fabs(again - v) > 1.0 / 86400) std::abort();
  }
  return 0;
}

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
  if (v != 0 && !text.empty()) {
    qm::TDateTime again = qm::ParseInternetDate(qm::FormatInternetDate(v));
    if (std::fabs(again - v) > 1.0 / 86400) std::abort();
  }
  return 0;
}

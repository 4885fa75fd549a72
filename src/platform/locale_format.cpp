#include "platform/locale_format.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <mutex>

namespace qm {

namespace {

void EnsureLocale() {
  static std::once_flag once;
  std::call_once(once, [] { std::setlocale(LC_TIME, ""); });
}

// The locale's time format without its seconds field.
std::string ShortTimePattern() {
  std::string f = nl_langinfo(T_FMT);
  for (const char* sec : {":%S", ".%S"}) {
    size_t p = f.find(sec);
    if (p != std::string::npos) f.erase(p, 3);
  }
  if (f == "%T") f = "%H:%M";
  if (f == "%r") f = "%I:%M %p";
  return f.empty() ? "%H:%M" : f;
}

}  // namespace

std::string FormatDateTimePattern(TDateTime dt, const char* pattern) {
  EnsureLocale();
  struct tm t = DateTimeToTm(dt);
  char buf[256];
  size_t n = std::strftime(buf, sizeof buf, pattern, &t);
  return std::string(buf, n);
}

std::string FormatShortDate(TDateTime dt) {
  EnsureLocale();
  return FormatDateTimePattern(dt, nl_langinfo(D_FMT));
}

std::string FormatShortTime(TDateTime dt) {
  EnsureLocale();
  return FormatDateTimePattern(dt, ShortTimePattern().c_str());
}

std::string FormatLongDate(TDateTime dt) { return FormatDateTimePattern(dt, "%A, %e %B %Y"); }

std::string FormatLongTime(TDateTime dt) {
  EnsureLocale();
  return FormatDateTimePattern(dt, nl_langinfo(T_FMT));
}

}  // namespace qm

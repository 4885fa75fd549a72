#include "platform/date_time.h"

#include <cmath>
#include <stdexcept>

namespace qm {

namespace {

// Days from 0001-01-01 (proleptic Gregorian) to the given date, 1-based year.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;  // days since 1970-01-01
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  out = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))) +
        kUnixEpochDays;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out;
  if (!TryEncodeDate(year, month, day, out)) throw std::out_of_range("Invalid argument to date encode");
  return out;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  return (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  int64_t days = static_cast<int64_t>(std::floor(dt + 1e-9)) - static_cast<int64_t>(kUnixEpochDays);
  CivilFromDays(days, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) {
  double frac = dt - std::floor(dt);
  int64_t ms = static_cast<int64_t>(std::llround(frac * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime dt) {
  int64_t days = static_cast<int64_t>(std::floor(dt));
  // 1899-12-30 was a Saturday.
  int64_t r = ((days % 7) + 7 + 6) % 7;  // 0 = Sunday
  return static_cast<int>(r) + 1;
}

TDateTime UnixToDateTime(std::time_t t) {
  struct tm lt {};
  localtime_r(&t, &lt);
  TDateTime d = EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
  return d + EncodeTime(lt.tm_hour, lt.tm_min, lt.tm_sec, 0);
}

struct tm DateTimeToTm(TDateTime dt) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(dt, y, mo, d);
  DecodeTime(dt, h, mi, s, ms);
  struct tm lt {};
  lt.tm_year = y - 1900;
  lt.tm_mon = mo - 1;
  lt.tm_mday = d;
  lt.tm_hour = h;
  lt.tm_min = mi;
  lt.tm_sec = s;
  lt.tm_wday = DayOfWeek(dt) - 1;
  lt.tm_isdst = -1;
  return lt;
}

std::time_t DateTimeToUnix(TDateTime dt) {
  struct tm lt = DateTimeToTm(dt);
  return mktime(&lt);
}

TDateTime Now() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  TDateTime base = UnixToDateTime(ts.tv_sec);
  return base + (ts.tv_nsec / 1000000) / 86400000.0;
}

int LocalTimeZoneBias(TDateTime dt) {
  std::time_t t = DateTimeToUnix(dt);
  struct tm lt {};
  localtime_r(&t, &lt);
  return static_cast<int>(-lt.tm_gmtoff / 60);
}

}  // namespace qm

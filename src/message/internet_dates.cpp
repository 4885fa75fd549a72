#include "message/internet_dates.h"

#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "shell/text_utils.h"

namespace qm {

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

// A decimal integer with an optional sign and nothing else.
std::optional<long> ToInt(std::string_view s) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  if (i == s.size() || s.size() - i > 9) return std::nullopt;
  long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  return neg ? -v : v;
}

// Substring with Copy semantics: 1-based start, clipped to the text.
std::string_view Copy(std::string_view s, size_t start, size_t count) {
  if (start < 1 || start > s.size()) return {};
  return s.substr(start - 1, count);
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

int GetLocalZoneOffset() { return LocalTimeZoneBias(Now()); }

std::string ZoneTextForOffset(int offset) {
  if (offset == 0) return "GMT";
  int a = std::abs(offset);
  return std::string(offset < 0 ? "+" : "-") + TwoDigits(a / 60) + TwoDigits(a % 60);
}

std::string GetLocalZoneText() { return ZoneTextForOffset(GetLocalZoneOffset()); }

double GetZoneOffset(const std::string& text) {
  std::string t = TrimBlanks(text).substr(0, 5);
  if (t.empty() || (t[0] != '+' && t[0] != '-')) return 0;
  auto h = ToInt(Copy(t, 2, 2)), m = ToInt(Copy(t, 4, 2));
  if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59) return 0;
  double v = *h / 24.0 + *m / 1440.0;
  return t[0] == '-' ? -v : v;
}

TDateTime ParseInternetDate(const std::string& text) {
  if (text.empty()) return Now();
  std::string s = text;
  size_t comma = s.find(',');
  if (comma != std::string::npos) s.erase(0, comma + 1);
  size_t paren = s.find('(');
  if (paren != std::string::npos) s.erase(paren);
  s = UpperCaseAscii(TrimBlanks(ReplaceAll(s, "\xC2\xA0", " ")));

  std::vector<std::string> tok;
  std::string cur;
  for (char c : s) {
    if (c == ' ' || static_cast<unsigned char>(c) == 160) {
      if (!cur.empty()) tok.push_back(std::move(cur));
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) tok.push_back(std::move(cur));
  if (tok.size() < 4) return 0;
  if (tok.size() > 4) {
    std::string_view ampm = std::string_view(tok[4]).substr(0, 2);
    if (ampm == "AM" || ampm == "PM") {
      if (ampm == "PM") {
        size_t colon = tok[3].find(':');
        auto h = ToInt(std::string_view(tok[3]).substr(0, colon));
        if (!h) return 0;
        tok[3] = std::to_string(*h + 12) + (colon == std::string::npos ? "" : tok[3].substr(colon));
      }
      tok.erase(tok.begin() + 4);
    }
  }
  const bool local_time = tok.size() == 4;  // a date without a zone is local time

  int year_now, month_now, day_now;
  DecodeDate(Now(), year_now, month_now, day_now);
  const int century = year_now / 100 * 100;

  auto day = ToInt(tok[0]);
  if (!day) return 0;
  std::string mon = LowerCaseAscii(tok[1]);
  if (!mon.empty()) mon[0] = static_cast<char>(mon[0] - 'a' + 'A');
  mon = mon.substr(0, 3);
  int month = 0;
  for (int i = 0; i < 12; ++i)
    if (mon == kMonths[i]) month = i + 1;
  if (month == 0) return 0;
  auto year = ToInt(tok[2]);
  if (!year || *year < 0) return 0;
  long y = *year < 100 ? *year + century : *year;

  std::string time = tok[3];
  if (time.size() == 5) time += ":00";
  auto h = ToInt(Copy(time, 1, 2)), mi = ToInt(Copy(time, 4, 2)), sec = ToInt(Copy(time, 7, 2));
  if (!h || !mi || !sec || *h < 0 || *h > 23 || *mi < 0 || *mi > 59 || *sec < 0 || *sec > 59) return 0;
  TDateTime date;
  if (y > 9999 || *day > 31 || !TryEncodeDate(static_cast<int>(y), month, static_cast<int>(*day), date)) return 0;
  date += EncodeTime(static_cast<int>(*h), static_cast<int>(*mi), static_cast<int>(*sec), 0);
  if (local_time) return date;
  // Into local time with the offset in force at that moment, not today's,
  // so summer mail read in winter keeps its hour.
  const TDateTime utc = date - GetZoneOffset(tok[4]);
  TDateTime local = utc - GetLocalZoneOffset() / 1440.0;
  local = utc - LocalTimeZoneBias(local) / 1440.0;
  return utc - LocalTimeZoneBias(local) / 1440.0;
}

std::string FormatInternetDate(TDateTime value) {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(value, y, mo, d);
  DecodeTime(value, h, mi, s, ms);
  return std::string(kDays[DayOfWeek(value) - 1]) + ", " + std::to_string(d) + " " + kMonths[mo - 1] + " " +
         std::to_string(y) + " " + TwoDigits(h) + ":" + TwoDigits(mi) + ":" + TwoDigits(s) + " " +
         ZoneTextForOffset(LocalTimeZoneBias(value));
}

}  // namespace qm

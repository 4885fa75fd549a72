#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <tuple>

#include "message/hebrew_calendar.h"
#include "platform/date_time.h"

namespace qm {
namespace {

TDateTime Day(int y, int m, int d) { return EncodeDate(y, m, d); }

TEST(HebrewDateText, KnownDates) {
  struct Case {
    int y, m, d;
    const char* text;
  } cases[] = {
      {2000, 12, 12, "15 Kislev 5761"}, {2001, 9, 18, "1 Tishri 5762"},
      {2001, 9, 17, "29 Elul 5761"},    {2024, 3, 24, "14 AdarII 5784"},
      {2023, 3, 24, "2 Nisan 5783"},    {2000, 1, 1, "23 Tevet 5760"},
      // Adar of a common year carries the first Adar's name.
      {2023, 3, 1, "8 AdarI 5783"},     {2024, 2, 20, "11 AdarI 5784"},
  };
  for (const Case& c : cases) EXPECT_EQ(HebrewDateText(Day(c.y, c.m, c.d)), c.text) << c.y << "-" << c.m << "-" << c.d;
}

TEST(HebrewDateText, TimeOfDayDoesNotMatter) {
  TDateTime midnight = Day(2000, 12, 12);
  EXPECT_EQ(HebrewDateText(midnight + EncodeTime(23, 59, 59, 999)), HebrewDateText(midnight));
  EXPECT_EQ(HebrewDateText(midnight + EncodeTime(12, 0, 0, 0)), "15 Kislev 5761");
}

TEST(HebrewDateText, ValuesWithoutADate) {
  EXPECT_EQ(HebrewDateText(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(HebrewDateText(std::numeric_limits<double>::infinity()), "");
  EXPECT_EQ(HebrewDateText(1e300), "");
  EXPECT_EQ(HebrewDateText(-1e12), "");
  // The last day there is and the first.
  EXPECT_FALSE(HebrewDateText(EncodeDate(9999, 12, 31)).empty());
  EXPECT_FALSE(HebrewDateText(EncodeDate(1, 1, 1)).empty());
}

// Rosh Hashanah (1 Tishri) in Gregorian dates, as printed in calendars.
TEST(HebrewDateText, NewYearDays) {
  struct Case {
    int y, m, d, hebrew_year;
  } cases[] = {
      {1900, 9, 24, 5661}, {1939, 9, 14, 5700}, {1948, 10, 4, 5709}, {1967, 10, 5, 5728},
      {1996, 9, 14, 5757}, {1997, 10, 2, 5758}, {1999, 9, 11, 5760}, {2015, 9, 14, 5776},
      {2020, 9, 19, 5781}, {2023, 9, 16, 5784}, {2024, 10, 3, 5785}, {2025, 9, 23, 5786},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HebrewDateText(Day(c.y, c.m, c.d)), "1 Tishri " + std::to_string(c.hebrew_year))
        << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(HebrewDateText(Day(c.y, c.m, c.d) - 1), "29 Elul " + std::to_string(c.hebrew_year - 1));
  }
}

// A second, separately written calendar: elapsed days from the molad count
// and the year-length corrections, with months numbered from Nisan.
namespace reference {

constexpr int64_t kEpoch = -1373427;  // fixed day number of 1 Tishri AM 1

bool IsLeap(int64_t y) { return (7 * y + 1) % 19 < 7; }

int64_t ElapsedDays(int64_t y) {
  int64_t months = (235 * y - 234) / 19;
  int64_t parts = 12084 + 13753 * months;
  int64_t days = 29 * months + parts / 25920;
  return (3 * (days + 1)) % 7 < 3 ? days + 1 : days;
}

int64_t Correction(int64_t y) {
  int64_t ny0 = ElapsedDays(y - 1), ny1 = ElapsedDays(y), ny2 = ElapsedDays(y + 1);
  if (ny2 - ny1 == 356) return 2;
  if (ny1 - ny0 == 382) return 1;
  return 0;
}

int64_t NewYear(int64_t y) { return kEpoch + ElapsedDays(y) + Correction(y); }
int64_t YearLength(int64_t y) { return NewYear(y + 1) - NewYear(y); }

int MonthLength(int64_t y, int m) {
  if (m == 2 || m == 4 || m == 6 || m == 10 || m == 13) return 29;
  if (m == 12 && !IsLeap(y)) return 29;
  if (m == 8 && YearLength(y) % 10 != 5) return 29;
  if (m == 9 && YearLength(y) % 10 == 3) return 29;
  return 30;
}

// Fixed day number of a Gregorian date (day 1 = 1 January of year 1).
int64_t FixedFromGregorian(int64_t y, int m, int d) {
  int64_t p = y - 1;
  int64_t f = 365 * p + p / 4 - p / 100 + p / 400 + (367 * m - 362) / 12 + d;
  if (m > 2) f -= (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 1 : 2;
  return f;
}

// Months from Nisan (1) to Elul (6), Tishri (7) to Adar (12), Adar II (13).
int ToTishriNumbering(int m) {
  if (m >= 7) return m - 6;  // Tishri 1 .. Adar 6, Adar II 7
  return m + 7;              // Nisan 8 .. Elul 13
}

}  // namespace reference

TEST(HebrewDateToHebrew, EveryDayFrom1900To2099MatchesASecondCalendar) {
  using reference::FixedFromGregorian;
  // Every day of the Hebrew years that cover the range.
  std::map<int64_t, std::tuple<int, int, int>> expected;
  for (int64_t y = 5659; y <= 5861; ++y) {
    int64_t day = reference::NewYear(y);
    const int last = reference::IsLeap(y) ? 13 : 12;
    // In year order: Tishri .. Adar (II), then Nisan .. Elul.
    int order[13];
    int n = 0;
    for (int m = 7; m <= last; ++m) order[n++] = m;
    for (int m = 1; m <= 6; ++m) order[n++] = m;
    for (int i = 0; i < n; ++i) {
      for (int d = 1; d <= reference::MonthLength(y, order[i]); ++d)
        expected[day++] = {static_cast<int>(y), reference::ToTishriNumbering(order[i]), d};
    }
    ASSERT_EQ(day, reference::NewYear(y + 1)) << y;
  }

  const int64_t first = FixedFromGregorian(1900, 1, 1);
  const int64_t last = FixedFromGregorian(2099, 12, 31);
  // The two day numberings meet where the date-time value is known.
  const int64_t fixed_of_zero = FixedFromGregorian(1899, 12, 30);
  ASSERT_EQ(static_cast<int64_t>(Day(1900, 1, 1)), first - fixed_of_zero);

  int failures = 0;
  for (int64_t f = first; f <= last && failures < 20; ++f) {
    int64_t count = f - fixed_of_zero + kHebrewDayOffset;
    HebrewDate h = DateToHebrew(count);
    auto [ey, em, ed] = expected.at(f);
    if (h.year != ey || h.month != em || h.day != ed) {
      ++failures;
      ADD_FAILURE() << "fixed day " << f << ": got " << h.day << "/" << h.month << "/" << h.year
                    << ", expected " << ed << "/" << em << "/" << ey;
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(HebrewDateToHebrew, MonthNamesAndNumbering) {
  EXPECT_EQ(HebrewMonthName(1), "Tishri");
  EXPECT_EQ(HebrewMonthName(6), "AdarI");
  EXPECT_EQ(HebrewMonthName(7), "AdarII");
  EXPECT_EQ(HebrewMonthName(13), "Elul");
  EXPECT_EQ(HebrewMonthName(0), "");
  EXPECT_EQ(HebrewMonthName(14), "");
}

}  // namespace
}  // namespace qm

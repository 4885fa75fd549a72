#pragma once
// Local dates as dates of the fixed arithmetic Hebrew calendar.
#include <cstdint>
#include <string>

#include "platform/date_time.h"

namespace qm {

// Day count used by the calendar arithmetic for a date-time value.
constexpr int64_t kHebrewDayOffset = 2067022;

struct HebrewDate {
  int year = 0;
  int month = 0;  // 1 Tishri .. 13 Elul; 6 is Adar (AdarI), 7 only in leap years
  int day = 0;
};

HebrewDate DateToHebrew(int64_t day_count);

// "Tishri", ... "Elul" for 1 to 13; empty otherwise.
std::string HebrewMonthName(int month);

// "15 Kislev 5761"; the time of day does not matter. Empty for a value
// outside the years 1 to 9999 (or not a number).
std::string HebrewDateText(TDateTime value);

}  // namespace qm

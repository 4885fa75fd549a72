#pragma once
// Date-time values: days since 30 December 1899 as a double, the fraction
// being the time of day, in local time. 0 stands for "no date".
#include <cstdint>
#include <ctime>

namespace qm {

using TDateTime = double;

// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;

TDateTime Now();                      // local time
TDateTime EncodeDate(int year, int month, int day);   // throws std::out_of_range on bad dates
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec);
int DayOfWeek(TDateTime dt);          // 1 = Sunday .. 7 = Saturday
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// The broken-down local time of a value (tm_isdst left to mktime).
struct tm DateTimeToTm(TDateTime dt);

// Conversions with time_t; the DateTime side is local time.
TDateTime UnixToDateTime(std::time_t t);
std::time_t DateTimeToUnix(TDateTime dt);

// Minutes to add to local time to get UTC (like the Windows bias), for `dt`.
int LocalTimeZoneBias(TDateTime dt);

}  // namespace qm

#include "message/hebrew_calendar.h"

#include <cmath>

namespace qm {

namespace {

constexpr int64_t kPartsPerDay = 25920;
constexpr int64_t kPartsPerMonth = 765433;
constexpr int64_t kPartsPerCycle = 179876755;
constexpr int64_t kFirstMolad = 31524;

constexpr int kMonthsInCycleYear[19] = {12, 12, 13, 12, 12, 13, 12, 13, 12, 12,
                                        13, 12, 12, 13, 12, 12, 13, 12, 13};

bool IsLeapCycleYear(int y) { return kMonthsInCycleYear[y] == 13; }
bool FollowsLeapCycleYear(int y) {
  return y == 0 || y == 3 || y == 6 || y == 8 || y == 11 || y == 14 || y == 17;
}

struct Molad {
  int64_t day = 0;
  int64_t parts = 0;
  void AddParts(int64_t p) {
    parts += p;
    day += parts / kPartsPerDay;
    parts %= kPartsPerDay;
  }
};

// The molad of Tishri of the year in which day d falls (or the one before),
// with the cycle number and the cycle year it belongs to.
struct TishriMolad {
  Molad molad;
  int64_t cycle = 0;
  int year_in_cycle = 0;
};

TishriMolad FindTishriMolad(int64_t d) {
  TishriMolad t;
  t.cycle = (d + 310) / 6940;
  t.molad.AddParts(kFirstMolad + t.cycle * kPartsPerCycle);
  while (t.molad.day < d - 6630) {
    ++t.cycle;
    t.molad.AddParts(kPartsPerCycle);
  }
  t.year_in_cycle = 0;
  while (t.molad.day <= d - 74 && t.year_in_cycle < 19) {
    t.molad.AddParts(kPartsPerMonth * kMonthsInCycleYear[t.year_in_cycle]);
    ++t.year_in_cycle;
  }
  return t;
}

int64_t TishriOne(int year_in_cycle, const Molad& m) {
  int64_t day = m.day;
  int64_t weekday = day % 7;  // 0 = Sunday
  bool postpone = m.parts >= 19440 ||
                  (!IsLeapCycleYear(year_in_cycle % 19) && weekday == 2 && m.parts >= 9924) ||
                  (FollowsLeapCycleYear(year_in_cycle % 19) && weekday == 1 && m.parts >= 16789);
  if (postpone) {
    ++day;
    weekday = (weekday + 1) % 7;
  }
  if (weekday == 3 || weekday == 5 || weekday == 0) ++day;
  return day;
}

HebrewDate HeshvanOrKislev(int year, int64_t d, int64_t this_tishri, int64_t next_tishri) {
  int64_t length = next_tishri - this_tishri;
  int64_t day = d - this_tishri - 29;
  int64_t heshvan_days = (length == 355 || length == 385) ? 30 : 29;
  if (day <= heshvan_days) return {year, 2, static_cast<int>(day)};
  return {year, 3, static_cast<int>(day - heshvan_days)};
}

}  // namespace

HebrewDate DateToHebrew(int64_t d) {
  TishriMolad t = FindTishriMolad(d);
  int y = t.year_in_cycle;
  int64_t tishri = TishriOne(y, t.molad);

  if (d >= tishri) {
    int year = static_cast<int>(19 * t.cycle + y + 1);
    if (d < tishri + 30) return {year, 1, static_cast<int>(d - tishri + 1)};
    if (d < tishri + 59) return {year, 2, static_cast<int>(d - tishri - 29)};
    Molad next = t.molad;
    next.AddParts(kPartsPerMonth * kMonthsInCycleYear[y % 19]);
    int64_t next_tishri = TishriOne((y + 1) % 19, next);
    return HeshvanOrKislev(year, d, tishri, next_tishri);
  }

  int year = static_cast<int>(19 * t.cycle + y);
  int64_t r = d - tishri;
  if (d > tishri - 30) return {year, 13, static_cast<int>(r + 30)};
  if (d > tishri - 60) return {year, 12, static_cast<int>(r + 60)};
  if (d > tishri - 89) return {year, 11, static_cast<int>(r + 89)};
  if (d > tishri - 119) return {year, 10, static_cast<int>(r + 119)};
  if (d > tishri - 148) return {year, 9, static_cast<int>(r + 148)};
  if (d >= tishri - 177) return {year, 8, static_cast<int>(r + 178)};

  // The year being ended is the cycle year before y.
  int ending = (y + 18) % 19;
  int64_t day = r + 207;
  if (IsLeapCycleYear(ending)) {
    if (day > 0) return {year, 7, static_cast<int>(day)};
    day += 30;
    if (day > 0) return {year, 6, static_cast<int>(day)};
    day += 30;
    if (day > 0) return {year, 5, static_cast<int>(day)};
  } else {
    if (day > 0) return {year, 6, static_cast<int>(day)};
    day += 30;
    if (day > 0) return {year, 5, static_cast<int>(day)};
  }
  day += 29;
  if (day > 0) return {year, 4, static_cast<int>(day)};

  int64_t next_tishri = tishri;
  TishriMolad prev = FindTishriMolad(t.molad.day - 365);
  int64_t this_tishri = TishriOne(prev.year_in_cycle, prev.molad);
  return HeshvanOrKislev(year, d, this_tishri, next_tishri);
}

std::string HebrewMonthName(int month) {
  static const char* const kNames[13] = {"Tishri", "Heshvan", "Kislev", "Tevet", "Shevat",
                                         "AdarI",  "AdarII",  "Nisan",  "Iyyar", "Sivan",
                                         "Tammuz", "Av",      "Elul"};
  if (month < 1 || month > 13) return {};
  return kNames[month - 1];
}

std::string HebrewDateText(TDateTime value) {
  // Outside the years 1 to 9999 there is no date to give.
  if (!(value >= -693593.0 && value < 2958466.0)) return {};
  int64_t days = static_cast<int64_t>(std::floor(value)) + kHebrewDayOffset;
  HebrewDate h = DateToHebrew(days);
  return std::to_string(h.day) + " " + HebrewMonthName(h.month) + " " + std::to_string(h.year);
}

}  // namespace qm

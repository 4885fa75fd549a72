// Date header text to local date-time and back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "message/internet_dates.h"
#include "platform/file_system.h"

namespace qm {
namespace {

// Runs a test body with the process time zone set, restoring it afterwards.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* tz) {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_) setenv("TZ", old_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

TDateTime At(int y, int mo, int d, int h, int mi, int s) { return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0); }

void ExpectSameSecond(TDateTime got, TDateTime want, const std::string& text) {
  EXPECT_LT(std::fabs(got - want), 0.5 / 86400) << text << " gave " << got << " want " << want;
}

TEST(ParseInternetDate, ReadsTheShapesMailCarries) {
  ZoneGuard utc("UTC0");
  struct Case {
    const char* text;
    TDateTime want;
  } cases[] = {
      {"Tue, 12 Dec 2000 11:25:32 -0500", At(2000, 12, 12, 16, 25, 32)},
      {"12 Dec 2000 11:25:32 +0000 (GMT)", At(2000, 12, 12, 11, 25, 32)},
      {"Tue, 12 Dec 2000 11:25:32 0500", At(2000, 12, 12, 11, 25, 32)},  // no sign: GMT
      {"Tue, 12 Dec 2000 11:25:32 EST", At(2000, 12, 12, 11, 25, 32)},   // names: GMT
      {"Tue, 12 Dec 2000 11:25 -0500", At(2000, 12, 12, 16, 25, 0)},
      {"Tue, 12 Dec 00 11:25:32 -0500", At(2000, 12, 12, 16, 25, 32)},
      {"Tue, 12 Dec 99 11:25:32 +0000", At(2099, 12, 12, 11, 25, 32)},
      {"Tue, 12 Dec 2000 11:25:32 PM -0500", At(2000, 12, 13, 4, 25, 32)},
      {"Tue, 12 Dec 2000 11:25:32 AM +0000", At(2000, 12, 12, 11, 25, 32)},
      {"Tue, 12 Dec 2000 11:25:32", At(2000, 12, 12, 11, 25, 32)},  // local time
      {"Tue,  12   DEC 2000  11:25:32   +0130", At(2000, 12, 12, 9, 55, 32)},
      {"12\xC2\xA0" "dec\xC2\xA0" "2000 11:25:32 +0000", At(2000, 12, 12, 11, 25, 32)},
      {"Tue, 12 December 2000 11:25:32 +0000 extra tokens", At(2000, 12, 12, 11, 25, 32)},
      {"Thu, 29 Feb 2024 23:59:59 +2300", At(2024, 2, 29, 0, 59, 59)},
      {"Tue, 12 Dec 2000 11:25:32 PMT", At(2000, 12, 12, 23, 25, 32)},  // only two letters count
  };
  for (const auto& c : cases) ExpectSameSecond(ParseInternetDate(c.text), c.want, c.text);
}

TEST(ParseInternetDate, BrokenShapesGiveZero) {
  ZoneGuard utc("UTC0");
  const char* cases[] = {
      "Tue, 12 Dec 2000",                      // three tokens
      "Tue, 12 Dec 2000 9:25:32 -0500",        // one-digit hour
      "Tue, 12 Dec 2000 12:10:00 PM -0500",    // hour 24
      "Tue, 31 Feb 2000 11:25:32 +0000",       // no such day
      "Tue, 0 Dec 2000 11:25:32 +0000",
      "Tue, 12 Foo 2000 11:25:32 +0000",
      "Tue, xx Dec 2000 11:25:32 +0000",
      "Tue, 12 Dec 2000 11:61:32 +0000",
      "Tue, 12 Dec 2000 11:25:75 +0000",
      "Tue, 12 Dec 20x0 11:25:32 +0000",
      "Tue, 12 Dec 99999 11:25:32 +0000",
      "1 Dec -1974 05:00:01",
      "Tue, 12 Dec 2000 ab:cd:ef +0000",
      ",,,,",
      "(((",
      "a b c d",
      "12 D 2000 11:25:32",
      "\t12\tDec\t2000\t11:25:32",             // tabs do not separate
  };
  for (const char* c : cases) EXPECT_EQ(ParseInternetDate(c), 0.0) << c;
}

TEST(ParseInternetDate, FuzzFindings) {
  ZoneGuard utc("UTC0");
  std::string dir = std::string(QUILL_FIXTURES_DIR) + "/message/fuzz_dates/";
  auto entries = ListDirectory(dir);
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) {
    TDateTime v = ParseInternetDate(ReadFileBytes(dir + e.name));
    EXPECT_TRUE(std::isfinite(v)) << e.name;
    if (v != 0) ExpectSameSecond(ParseInternetDate(FormatInternetDate(v)), v, e.name);
  }
}

TEST(ParseInternetDate, EmptyTextIsNow) {
  TDateTime got = ParseInternetDate("");
  EXPECT_LT(std::fabs(got - Now()), 5.0 / 86400);
}

TEST(ParseInternetDate, ConvertsIntoTheLocalZone) {
  ZoneGuard cet("XXX-2");  // two hours east
  ExpectSameSecond(ParseInternetDate("Tue, 12 Dec 2000 11:25:32 -0500"), At(2000, 12, 12, 18, 25, 32), "-0500");
  ExpectSameSecond(ParseInternetDate("Tue, 12 Dec 2000 11:25:32 +0200"), At(2000, 12, 12, 11, 25, 32), "+0200");
  ExpectSameSecond(ParseInternetDate("Tue, 12 Dec 2000 11:25:32 GMT"), At(2000, 12, 12, 13, 25, 32), "GMT");
  ExpectSameSecond(ParseInternetDate("Tue, 12 Dec 2000 11:25:32"), At(2000, 12, 12, 11, 25, 32), "none");
}

TEST(ParseInternetDate, UsesTheOffsetInForceAtThatDate) {
  ZoneGuard berlin("CET-1CEST,M3.5.0,M10.5.0/3");
  struct Case {
    const char* text;
    TDateTime want;
  } cases[] = {
      {"Mon, 1 Jul 2024 12:00:00 +0000", At(2024, 7, 1, 14, 0, 0)},   // summer time
      {"Sun, 1 Dec 2024 12:00:00 +0000", At(2024, 12, 1, 13, 0, 0)},  // standard time
      {"Sun, 31 Mar 2024 00:30:00 +0000", At(2024, 3, 31, 1, 30, 0)}, // just before the change
      {"Sun, 31 Mar 2024 01:30:00 +0000", At(2024, 3, 31, 3, 30, 0)}, // just after it
      {"Mon, 1 Jul 2024 12:00:00", At(2024, 7, 1, 12, 0, 0)},         // no zone: as written
  };
  for (const auto& c : cases) ExpectSameSecond(ParseInternetDate(c.text), c.want, c.text);
}

TEST(LocalZone, OffsetAndText) {
  {
    ZoneGuard z("XXX-2");
    EXPECT_EQ(GetLocalZoneOffset(), -120);
    EXPECT_EQ(GetLocalZoneText(), "+0200");
  }
  {
    ZoneGuard z("XXX5");
    EXPECT_EQ(GetLocalZoneOffset(), 300);
    EXPECT_EQ(GetLocalZoneText(), "-0500");
  }
  {
    ZoneGuard z("XXX-5:30");
    EXPECT_EQ(GetLocalZoneText(), "+0530");
  }
  {
    ZoneGuard z("UTC0");
    EXPECT_EQ(GetLocalZoneText(), "GMT");
  }
  EXPECT_EQ(ZoneTextForOffset(-120), "+0200");
  EXPECT_EQ(ZoneTextForOffset(300), "-0500");
  EXPECT_EQ(ZoneTextForOffset(0), "GMT");
}

TEST(GetZoneOffset, Table) {
  struct Case {
    const char* text;
    double want;
  } cases[] = {
      {"+0200", 2.0 / 24},  {"-0500", -5.0 / 24}, {" +0130 ", 1.0 / 24 + 30.0 / 1440},
      {"+2359", 23.0 / 24 + 59.0 / 1440},       {"+2400", 0},  {"+0060", 0}, {"GMT", 0},
      {"UT", 0},            {"EST", 0},          {"0500", 0},   {"+05", 0},   {"+ab00", 0},
      {"", 0},              {"-", 0},            {"+0200junk", 2.0 / 24},
  };
  for (const auto& c : cases) EXPECT_NEAR(GetZoneOffset(c.text), c.want, 1e-12) << c.text;
}

TEST(FormatInternetDate, WritesTheHeaderText) {
  {
    ZoneGuard z("XXX-1");
    EXPECT_EQ(FormatInternetDate(At(2001, 3, 5, 9, 7, 3)), "Mon, 5 Mar 2001 09:07:03 +0100");
  }
  {
    ZoneGuard z("UTC0");
    EXPECT_EQ(FormatInternetDate(At(2000, 12, 31, 23, 59, 59)), "Sun, 31 Dec 2000 23:59:59 GMT");
    // What is written reads back unchanged.
    TDateTime v = At(2024, 2, 29, 12, 0, 1);
    ExpectSameSecond(ParseInternetDate(FormatInternetDate(v)), v, "round trip");
  }
  {
    // Each value carries the offset of its own season, so it reads back.
    ZoneGuard z("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(FormatInternetDate(At(2024, 7, 1, 14, 0, 0)), "Mon, 1 Jul 2024 14:00:00 +0200");
    EXPECT_EQ(FormatInternetDate(At(2024, 12, 1, 13, 0, 0)), "Sun, 1 Dec 2024 13:00:00 +0100");
    for (TDateTime v : {At(2024, 7, 1, 14, 0, 0), At(2024, 12, 1, 13, 0, 0)})
      ExpectSameSecond(ParseInternetDate(FormatInternetDate(v)), v, "round trip");
  }
}

}  // namespace
}  // namespace qm

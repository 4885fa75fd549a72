#pragma once
// Date header text <-> local date-time values.
#include <string>

#include "platform/date_time.h"

namespace qm {

// Local date-time of a Date header (converted with the offset in force at
// that date); 0 when it cannot be read; the current time for an empty text.
TDateTime ParseInternetDate(const std::string& text);

// Minutes such that UTC = local time + offset (positive west of Greenwich).
int GetLocalZoneOffset();

// "GMT" for offset 0, else "+hhmm" / "-hhmm" ("+0200" for offset -120).
std::string GetLocalZoneText();
std::string ZoneTextForOffset(int offset_minutes);

// Fraction of a day named by a zone text ("+0200" -> 2/24), positive east of
// Greenwich; 0 for names ("GMT", "EST") and anything malformed.
double GetZoneOffset(const std::string& text);

// "Mon, 5 Mar 2001 09:07:03 +0100" for a local value, with the zone offset in
// force at that value (for the current time: the machine's current zone).
std::string FormatInternetDate(TDateTime value);

}  // namespace qm

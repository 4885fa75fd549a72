#pragma once
// The user's locale formats for dates and times (the one module that asks).
#include <string>

#include "platform/date_time.h"

namespace qm {

std::string FormatShortDate(TDateTime dt);  // the locale's short date
std::string FormatShortTime(TDateTime dt);  // hours and minutes
std::string FormatLongDate(TDateTime dt);
std::string FormatLongTime(TDateTime dt);   // with seconds
// Formats with an strftime pattern in the user's locale.
std::string FormatDateTimePattern(TDateTime dt, const char* pattern);

}  // namespace qm

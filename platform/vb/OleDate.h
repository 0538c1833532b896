#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::vb {

// Calendar parts of an OLE date, to the second.
struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateParts&, const DateParts&) = default;
};

// VB's zero date, 30-12-1899 00:00:00 (serial 0).
inline constexpr Date kZeroDate{0.0};

// DateSerial + TimeSerial. Months and days out of range roll over as VB's do
// (month 13 is January of the next year, day 0 the last day of the month before).
Date makeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The parts of a date, the time rounded to the nearest second.
DateParts dateParts(Date date);

// The date without its time of day.
Date dateOnly(Date date);

// "yyyy-mm-dd hh:mm:ss", the form dates are stored in the database.
std::string toIsoText(Date date);

// Reads "yyyy-mm-dd", "yyyy-mm-dd hh:mm[:ss[.fff]]" or the same with a "T";
// nothing for any other text or an impossible date.
std::optional<Date> parseIsoText(std::string_view text);

// The local clock: Now and Date (today at midnight).
Date now();
Date today();

}  // namespace quill::vb

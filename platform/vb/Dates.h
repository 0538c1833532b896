#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::vb {

// VB's date part functions.
int Year(Date date);
int Month(Date date);
int Day(Date date);
int Hour(Date date);
int Minute(Date date);
int Second(Date date);
// 1 for Sunday to 7 for Saturday, as VB's Weekday with its default first day.
int Weekday(Date date);

// VB's DateAdd with the intervals "yyyy", "q", "m", "y"/"d"/"w" (days),
// "ww" (weeks), "h", "n", "s". Adding months keeps the day where the target
// month has it and otherwise takes the month's last day (31-01 + 1 month is
// 28-02 or 29-02). Invalid procedure call (5) for any other interval;
// Overflow (6) when the result is outside 01-01-100..31-12-9999. The number is
// cut to a whole number as VB does.
Date DateAdd(std::string_view interval, double number, Date date);

// VB's DateDiff for "yyyy", "q", "m", "d"/"y", "ww"/"w" (whole weeks), "h",
// "n", "s": the count of interval boundaries from `from` to `to`.
long long DateDiff(std::string_view interval, Date from, Date to);

// The first and last dates VB can hold (01-01-100 and 31-12-9999 23:59:59).
inline constexpr double kMinDateSerial = -657434.0;
inline constexpr double kMaxDateSerial = 2958465.99998843;

// A date pattern filled in: d, dd (day), m, mm (month, or minutes right
// after an hour field or right before a seconds field), yy, yyyy, h, hh, n,
// nn (minutes), s, ss; "/" is the regional date separator, ":" the time
// separator; text in double quotes and a character after "\" stand as they
// are; anything else is copied. FormatDate(d, "dd-mm-yyyy hh:mm:ss").
std::string FormatDate(Date date, std::string_view pattern);

// VB's text of a date (CStr): the regional short date form; " hh:mm:ss"
// added when there is a time of day; only the time when the date is the zero
// date (so the zero date itself is "00:00:00").
std::string dateToText(Date date, const RegionalSettings& settings = RegionalSettings::current());

// Reads a date as CDate does: the regional short date form with "-", "/" or
// "." between its parts (two-digit years 00-29 are 20xx, 30-99 19xx),
// "yyyy-mm-dd", either one optionally followed by "hh:mm[:ss]", or a time
// alone (on the zero date). Blanks around are allowed. Nothing for any other
// text or an impossible date (31-04-2024).
std::optional<Date> parseDateText(std::string_view text,
                                  const RegionalSettings& settings = RegionalSettings::current());

}  // namespace quill::vb

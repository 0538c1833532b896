#pragma once

#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::vb {

// VB's Format for the display formats the system uses, with the regional
// separators.
//
// Number patterns ("#,##0.###0", "#.0000", "0.00", "0"):
// - "0" is a digit or a zero, "#" a digit or nothing, "." the decimal
//   separator (always written when the pattern has one, so Format(5, "#.##")
//   is "5,"), "," between integer placeholders groups thousands, "," right
//   before the decimal point (or at the end) divides by 1000, "%" multiplies
//   by 100 and is written; other characters, text in double quotes and a
//   character after "\" are written as they stand.
// - The number is rounded to as many decimals as the pattern has
//   placeholders after the point, halves away from zero on its 15-digit
//   decimal form (Format(2.5, "0") = "3", Format(2.675, "0.00") = "2,68").
// - Integer part: digits fill the placeholders from the right; more digits
//   than placeholders all go out; a position without a digit shows "0" when
//   it is a "0" or lies right of a "0", else nothing (Format(0.5, "#.00") is
//   ",50", Format(5, "0#") is "05").
// - Decimal part, VB's rule: the rounded decimals (trailing zeros dropped)
//   fill the placeholders from the left; a position without a digit shows
//   "0" when it is a "0" or lies LEFT of a "0", else nothing. So a pattern
//   ending in "0" shows every decimal position: Format(1234.5, "#,###.###0")
//   = "1.234,5000", and "#.0#" shows 1 as "1,0" and 1.25 as "1,25".
// - A minus sign goes right before the first digit or the decimal point; a
//   negative number that rounds to zero keeps it ("-0,00"), as VB does.
// - Sections "positive;negative;zero": the negative section formats the
//   absolute value (its own text shows the sign); an empty section falls
//   back to the first.
// - Text that is not a number is returned as it is; Empty and Null give "".
//
// Date patterns (any pattern with d, m, y, h, n or s and no digit
// placeholder): see FormatDate; a number is read as a date serial and text
// through CDate (text that is no date is returned as it is).
//
// Named formats: "General Number", "Fixed", "Standard", "Percent",
// "Short Date", "General Date", "Long Time", "Short Time"; an empty pattern
// gives CStr.
std::string Format(const Variant& value, std::string_view pattern = {});

// A number rounded as Format shows it with `decimals` decimal places: halves
// away from zero on its 15-digit decimal form, so that 0.285 (stored as
// 0.28499999999999998) gives 0.29 and -0.285 gives -0.29. Money is rounded
// by this rule wherever it is stored, so that what is stored is what the
// user saw. Values that are not finite, and decimals outside 0 to 15, come
// back as they are.
double roundAsShown(double value, int decimals);

}  // namespace quill::vb

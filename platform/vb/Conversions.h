#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::vb {

// VB's conversion functions on variants. Numbers read and written through
// text follow the process's regional settings (RegionalSettings.h). Errors
// are VB's: Type mismatch (13) for text that is not a number or a date,
// Overflow (6) for a value out of the target's range, Invalid use of Null (94)
// for Null where a value is needed. Whole-number conversions round halves to
// the even neighbour (CInt(2.5) = 2, CInt(3.5) = 4).
//
// Empty reads as 0, "" or the zero date; a Boolean as a number is -1 or 0
// and as text "True" or "False". Objects and arrays are a Type mismatch.
std::string CStr(const Variant& value);
double CDbl(const Variant& value);
std::int16_t CInt(const Variant& value);
std::int32_t CLng(const Variant& value);
bool CBool(const Variant& value);
Date CDate(const Variant& value);

// True when CDbl would succeed on the value (Empty counts as numeric, as in
// VB). As in VB, a Date is not numeric, nor is Null.
bool IsNumeric(const Variant& value);
// True for a Date and for text that CDate reads as a date. As in VB, a
// number is not a date even though CDate accepts it as a serial.
bool IsDate(const Variant& value);

// Val: the leading number of a text, read with "." as decimal point whatever
// the regional settings, blanks ignored; 0 when there is none.
double Val(std::string_view text);

// The building blocks of the conversions, for callers that hold plain C++
// values.
//
// A text read as a number with the regional separators: blanks around, a
// leading sign, thousands separators between digits, one decimal separator,
// an exponent ("1,5E3"). Nothing when the text is not a number; Overflow (6)
// when it is one beyond the range of a Double.
std::optional<double> parseNumber(std::string_view text,
                                  const RegionalSettings& settings = RegionalSettings::current());
// VB's text of a Double: up to 15 significant digits, the shortest form,
// scientific notation from 1E+15 up and below 1E-04 ("1E+20", "1E-05"), the
// regional decimal separator ("0,3").
std::string doubleToText(double value, const RegionalSettings& settings = RegionalSettings::current());
// Rounds to the nearest whole number, halves to the even neighbour (VB's
// CInt, CLng and banker's rounding).
double roundHalfEven(double value);

}  // namespace quill::vb

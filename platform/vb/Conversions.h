#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::vb {

// VB's conversion functions on variants. Numbers read and written through
// text follow the process's regional settings (RegionalSettings.h). Errors
// are VB's: Type mismatch (13) for text that is not a number or a date,
// Overflow (6) for a value out of the target's range, Invalid use of Null (94)
// for Null where a value is needed. Whole-number conversions round halves to
// the even neighbour (CInt(2.5) = 2, CInt(3.5) = 4).
std::string CStr(const Variant& value);
double CDbl(const Variant& value);
std::int16_t CInt(const Variant& value);
std::int32_t CLng(const Variant& value);
bool CBool(const Variant& value);
Date CDate(const Variant& value);

// True when CDbl would succeed on the value (Empty counts as numeric, as in VB).
bool IsNumeric(const Variant& value);
// True when CDate would succeed on the value.
bool IsDate(const Variant& value);

// Val: the leading number of a text, read with "." as decimal point whatever
// the regional settings, blanks ignored; 0 when there is none.
double Val(std::string_view text);

}  // namespace quill::vb

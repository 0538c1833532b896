#pragma once

#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::sql {

// The order of two field values for Sort and Filter: Null and Empty first,
// then numbers (and booleans), dates, text; numbers by value, dates by time,
// text without regard to case, as the database compares codes.
int compareValues(const Variant& a, const Variant& b);

// Text compared without regard to ASCII case: <0, 0, >0.
int compareTextNoCase(std::string_view a, std::string_view b);

}  // namespace quill::sql

#pragma once

#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::sql {

// The collation of code columns, registered on every connection: text
// compares as compareTextNoCase does. A tool that does not know it (the
// plain sqlite3 shell) still reads every row, but refuses to compare codes
// or to change a table keyed by codes, rather than doing so by another rule;
// "COLLATE NOCASE" written into its query compares ASCII letters only.
inline constexpr const char* kCodeCollation = "QUILL_CI_AS";

// The order of two field values for Sort and Filter: Null and Empty first,
// then numbers (and booleans), dates, text; numbers by value, dates by time,
// text without regard to case, as the database compares codes.
int compareValues(const Variant& a, const Variant& b);

// Text compared as the company database compares codes (the collation
// kCodeCollation): without regard to case for every letter vb::UCase knows,
// trailing blanks ignored ('V99  ' = 'v99'). <0, 0, >0.
int compareTextNoCase(std::string_view a, std::string_view b);
// A code in the one form all its equals share (compareTextNoCase gives 0
// exactly when the keys are the same), for maps keyed by code.
std::string codeKey(std::string_view code);

}  // namespace quill::sql

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill::sql {

class Recordset;

// Null-safe readers of a field of the current row, the one set every layer
// reads its rows with. Null (and Empty) is no value: empty text, 0, no date.
// Which reader suits a column:
// - fieldDouble for money, quantities, rates and factors: the stored value
//   as it is, never rounded (a price of 1.185 stays 1.185);
// - fieldLong for codes, flags, line numbers and counts: VB's CLng, whole
//   numbers with halves to the even neighbour (2.5 reads 2, 3.5 reads 4),
//   as a Long variable of the system's code receives a field;
// - fieldText for codes and texts; fieldDate for dates.
// A value that does not convert (text in a number column) fails with VB's
// Type mismatch (13).
std::string fieldText(const Recordset& rs, std::string_view field);
double fieldDouble(const Recordset& rs, std::string_view field);
std::int32_t fieldLong(const Recordset& rs, std::string_view field);
std::optional<Date> fieldDate(const Recordset& rs, std::string_view field);

// The same rules for a value already in hand (a field by position, an
// argument of a late-bound call).
std::string textOrEmpty(const Variant& value);
double doubleOrZero(const Variant& value);
std::int32_t longOrZero(const Variant& value);
std::optional<Date> dateOrNone(const Variant& value);

// True when the recordset is missing, closed or has no rows.
bool noRows(const Recordset* rs);

}  // namespace quill::sql

#pragma once

#include <string_view>
#include <vector>

#include "platform/automation/Variant.h"
#include "platform/sql/DataType.h"

struct sqlite3_stmt;

namespace quill::sql {

// A value as a field of the given type holds it: integers as Integer or Long,
// floating point as Double, dates (stored as 'yyyy-mm-dd hh:mm:ss' text) as
// Date, text as String, NULL as Null. A stored value that does not fit its
// declared type (text in a date column) is kept as it is rather than lost.
// Variant-typed fields (expressions) keep the value's own kind.
Variant typedValue(const Variant& raw, DataType type);

// The type of an expression column (one without a declared type), from the
// values read into it: whole numbers are Integer, any fraction makes the
// column Double, text is text, and text that is all stored date-times
// ('yyyy-mm-dd hh:mm:ss') is a date. The column's values are converted.
DataType settleExpressionType(std::vector<std::vector<Variant>>& rows, std::size_t column);

// Column `index` of the statement's current row, read as `type`.
Variant readColumn(sqlite3_stmt* statement, int index, DataType type);

// The value to store in a column declared with `columnType`: dates become
// their text, text written into a number or date column is read with VB's
// conversions (regional settings), numbers written into text columns become
// VB's text of them, blank text in a number or date column is NULL. A value
// that cannot be converted fails with WrongValueType, naming the column.
Variant storageValue(const Variant& value, DataType columnType, std::string_view columnName);

// Binds a value to a statement parameter (1-based). Booleans bind as -1/0,
// the system's flag values; dates as their stored text.
void bindValue(sqlite3_stmt* statement, int index, const Variant& value);

}  // namespace quill::sql

#include "platform/sql/SqlValue.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::sql {

namespace {

Variant integerValue(sqlite3_int64 v) {
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
    return Variant(static_cast<std::int32_t>(v));
  return Variant(static_cast<double>(v));
}

bool isBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

double numberOf(const Variant& raw) {
  switch (raw.type()) {
    case VarType::Integer:
      return raw.integerValue();
    case VarType::Long:
      return raw.longValue();
    case VarType::Boolean:
      return raw.boolValue() ? -1.0 : 0.0;
    default:
      return raw.doubleValue();
  }
}

std::string numberText(const Variant& raw) {
  if (raw.type() == VarType::Long) return std::to_string(raw.longValue());
  if (raw.type() == VarType::Integer) return std::to_string(raw.integerValue());
  return fmt::format("{}", raw.doubleValue());
}

}  // namespace

Variant typedValue(const Variant& raw, DataType type) {
  if (raw.isNull() || raw.isEmpty()) return Variant::null();
  const bool numeric = raw.isNumeric();
  switch (valueKindOf(type)) {
    case VarType::Date:
      if (raw.type() == VarType::Date) return raw;
      if (raw.isString()) {
        if (auto date = vb::parseIsoText(raw.stringValue())) return Variant(*date);
      }
      return raw;
    case VarType::Integer:
      if (numeric && raw.type() != VarType::Double) {
        double v = numberOf(raw);
        if (v >= -32768 && v <= 32767) return Variant(static_cast<std::int16_t>(v));
        return Variant(static_cast<std::int32_t>(v));
      }
      return raw;
    case VarType::Long:
      if (raw.type() == VarType::Integer) return Variant(static_cast<std::int32_t>(raw.integerValue()));
      if (raw.type() == VarType::Boolean) return Variant(static_cast<std::int32_t>(raw.boolValue() ? -1 : 0));
      return raw;
    case VarType::Double:
      if (numeric) return Variant(numberOf(raw));
      return raw;
    case VarType::Boolean:
      if (numeric) return Variant(numberOf(raw) != 0.0);
      return raw;
    case VarType::String:
      if (numeric) return Variant(numberText(raw));
      return raw;
    default:
      return raw;
  }
}

// An expression column is typed from its values: whole numbers are Integer,
// any fraction makes the column Double, text is text, and text that is all
// stored date-times ('yyyy-mm-dd hh:mm:ss') is a date.
DataType settleExpressionType(std::vector<std::vector<Variant>>& rows, std::size_t column) {
  bool whole = false, fraction = false, text = false, dates = true, other = false;
  for (const auto& row : rows) {
    const Variant& v = row[column];
    switch (v.type()) {
      case VarType::Null:
        break;
      case VarType::Long:
        whole = true;
        break;
      case VarType::Double:
        fraction = true;
        break;
      case VarType::String:
        text = true;
        if (v.stringValue().size() != 19 || !vb::parseIsoText(v.stringValue())) dates = false;
        break;
      default:
        other = true;
    }
  }
  if (other || (text && (whole || fraction))) return DataType::Variant;
  if (text) {
    if (!dates) return DataType::VarWChar;
    for (auto& row : rows)
      if (row[column].isString()) row[column] = Variant(*vb::parseIsoText(row[column].stringValue()));
    return DataType::DateTime;
  }
  if (fraction) {
    for (auto& row : rows)
      if (row[column].type() == VarType::Long) row[column] = Variant(static_cast<double>(row[column].longValue()));
    return DataType::Double;
  }
  if (whole) return DataType::Integer;
  return DataType::Variant;
}

Variant readColumn(sqlite3_stmt* statement, int index, DataType type) {
  Variant raw;
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL:
      return Variant::null();
    case SQLITE_INTEGER:
      raw = integerValue(sqlite3_column_int64(statement, index));
      break;
    case SQLITE_FLOAT:
      raw = Variant(sqlite3_column_double(statement, index));
      break;
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
      raw = Variant(std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, index))));
    }
  }
  return typedValue(raw, type);
}

Variant storageValue(const Variant& value, DataType columnType, std::string_view columnName) {
  if (value.isNull() || value.isEmpty()) return Variant::null();
  if (value.isObject() || value.isArray())
    throw sqlError(sqlerr::WrongValueType,
                   fmt::format("Type mismatch: an object cannot be stored in column {}", columnName));
  const VarType kind = valueKindOf(columnType);
  if (value.isString() && isBlank(value.stringValue()) && kind != VarType::String && kind != VarType::Empty)
    return Variant::null();
  try {
    switch (kind) {
      case VarType::Date: {
        Date date = value.isString() && vb::parseIsoText(value.stringValue()) ? *vb::parseIsoText(value.stringValue())
                                                                              : vb::CDate(value);
        return Variant(vb::toIsoText(date));
      }
      case VarType::Integer:
        return Variant(static_cast<std::int32_t>(vb::CInt(value)));
      case VarType::Long:
        return Variant(vb::CLng(value));
      case VarType::Boolean:
        return Variant(static_cast<std::int32_t>(vb::CBool(value) ? 1 : 0));
      case VarType::Double:
        return Variant(vb::CDbl(value));
      case VarType::String:
        return value.isString() ? value : Variant(vb::CStr(value));
      default:
        if (value.type() == VarType::Date) return Variant(vb::toIsoText(value.dateValue()));
        return value;
    }
  } catch (const AutomationError& e) {
    throw sqlError(sqlerr::WrongValueType, fmt::format("{}: the value {} cannot be stored in column {}",
                                                       e.description(), value.debugString(), columnName));
  }
}

void bindValue(sqlite3_stmt* statement, int index, const Variant& value) {
  int rc = SQLITE_OK;
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null:
      rc = sqlite3_bind_null(statement, index);
      break;
    case VarType::Boolean:
      rc = sqlite3_bind_int(statement, index, value.boolValue() ? -1 : 0);
      break;
    case VarType::Integer:
      rc = sqlite3_bind_int(statement, index, value.integerValue());
      break;
    case VarType::Long:
      rc = sqlite3_bind_int(statement, index, value.longValue());
      break;
    case VarType::Double:
      rc = sqlite3_bind_double(statement, index, value.doubleValue());
      break;
    case VarType::Date: {
      std::string text = vb::toIsoText(value.dateValue());
      rc = sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      break;
    }
    case VarType::String: {
      const std::string& text = value.stringValue();
      rc = sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      break;
    }
    default:
      throw sqlError(sqlerr::WrongValueType, "Type mismatch: an object or array cannot be a parameter value");
  }
  if (rc != SQLITE_OK) throw sqliteError(sqlite3_db_handle(statement), rc, "binding a parameter");
}

}  // namespace quill::sql

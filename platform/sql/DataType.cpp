#include "platform/sql/DataType.h"

#include <string>

namespace quill::sql {

namespace {
std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }
}  // namespace

DataType typeFromDeclaration(std::string_view declared) {
  const std::string t = upper(declared);
  if (t.empty()) return DataType::Variant;
  // Order matters: "SMALLDATETIME" is a date, "SMALLINT" an integer, "BIGINT"
  // wider than both, "POINT" is not an integer.
  if (contains(t, "DATE") || contains(t, "TIME")) return DataType::DateTime;
  if (contains(t, "CHAR") || contains(t, "TEXT") || contains(t, "CLOB") || contains(t, "UNIQUEIDENTIFIER"))
    return contains(t, "NCHAR") || contains(t, "NVARCHAR") || contains(t, "NTEXT") || t == "TEXT" ? DataType::VarWChar
                                                                                                  : DataType::VarChar;
  if (contains(t, "BIT") || contains(t, "BOOL")) return DataType::Boolean;
  if (contains(t, "BIGINT")) return DataType::BigInt;
  if (contains(t, "SMALLINT") || contains(t, "TINYINT")) return DataType::SmallInt;
  if (contains(t, "INT")) return DataType::Integer;
  if (contains(t, "MONEY")) return DataType::Currency;
  if (contains(t, "NUMERIC") || contains(t, "DECIMAL")) return DataType::Numeric;
  if (contains(t, "REAL") || contains(t, "FLOA") || contains(t, "DOUB")) return DataType::Double;
  return DataType::Variant;
}

VarType valueKindOf(DataType type) {
  switch (type) {
    case DataType::SmallInt:
      return VarType::Integer;
    case DataType::Integer:
      return VarType::Long;
    case DataType::Double:
    case DataType::Currency:
    case DataType::Numeric:
    case DataType::BigInt:
      return VarType::Double;
    case DataType::Date:
    case DataType::DateTime:
      return VarType::Date;
    case DataType::Boolean:
      return VarType::Boolean;
    case DataType::VarChar:
    case DataType::VarWChar:
      return VarType::String;
    case DataType::Empty:
    case DataType::Variant:
      return VarType::Empty;
  }
  return VarType::Empty;
}

bool isTextType(DataType type) { return type == DataType::VarChar || type == DataType::VarWChar; }

bool isNumericType(DataType type) {
  switch (valueKindOf(type)) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Boolean:
      return true;
    default:
      return false;
  }
}

bool isDateType(DataType type) { return type == DataType::Date || type == DataType::DateTime; }

}  // namespace quill::sql

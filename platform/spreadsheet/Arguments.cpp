#include "platform/spreadsheet/Arguments.h"

#include <fmt/format.h>

#include "platform/automation/Dispatch.h"
#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/vb/Conversions.h"

namespace quill::spreadsheet {

namespace {
// Most indexes come as whole numbers already.
std::int32_t wholeNumber(const Variant& value) {
  if (value.type() == VarType::Long) return value.longValue();
  if (value.type() == VarType::Integer) return value.integerValue();
  return vb::CLng(value);
}
}  // namespace

int rowArgument(const Variant& value) {
  std::int32_t row = wholeNumber(value);
  if (row < 1 || row > kMaxRows)
    throw sheetError(fmt::format("Row {} is outside the sheet: a 97-2003 sheet has rows 1 to {}", row, kMaxRows));
  return row - 1;
}

int columnArgument(const Variant& value) {
  const bool letters = value.isString() && !value.stringValue().empty() &&
                       value.stringValue().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") ==
                           std::string::npos;
  if (letters) {
    auto column = columnFromLetters(value.stringValue());
    if (!column)
      throw sheetError(
          fmt::format("Column '{}' is outside the sheet: a 97-2003 sheet has columns A to IV", value.stringValue()));
    return *column;
  }
  std::int32_t column = wholeNumber(value);
  if (column < 1 || column > kMaxColumns)
    throw sheetError(fmt::format("Column {} is outside the sheet: a 97-2003 sheet has columns 1 to {} (A to IV)",
                                 column, kMaxColumns));
  return column - 1;
}

std::size_t itemArgument(const Variant& key, std::size_t count, const std::function<std::string(std::size_t)>& nameAt,
                         const char* collection) {
  if (key.isString() && !vb::IsNumeric(key)) {
    for (std::size_t i = 0; i < count; ++i)
      if (equalsNoCase(nameAt(i), key.stringValue())) return i;
    throw vbError(vberr::SubscriptOutOfRange, collection);
  }
  std::int32_t index = vb::CLng(key);
  if (index < 1 || static_cast<std::size_t>(index) > count) throw vbError(vberr::SubscriptOutOfRange, collection);
  return static_cast<std::size_t>(index - 1);
}

}  // namespace quill::spreadsheet

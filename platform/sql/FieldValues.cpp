#include "platform/sql/FieldValues.h"

#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill::sql {

namespace {
bool noValue(const Variant& v) { return v.isNull() || v.isEmpty(); }
}  // namespace

std::string textOrEmpty(const Variant& value) { return noValue(value) ? std::string() : vb::CStr(value); }

double doubleOrZero(const Variant& value) { return noValue(value) ? 0.0 : vb::CDbl(value); }

std::int32_t longOrZero(const Variant& value) { return noValue(value) ? 0 : vb::CLng(value); }

std::optional<Date> dateOrNone(const Variant& value) {
  if (noValue(value)) return std::nullopt;
  return vb::CDate(value);
}

std::string fieldText(const Recordset& rs, std::string_view field) { return textOrEmpty(rs.value(field)); }

double fieldDouble(const Recordset& rs, std::string_view field) { return doubleOrZero(rs.value(field)); }

std::int32_t fieldLong(const Recordset& rs, std::string_view field) { return longOrZero(rs.value(field)); }

std::optional<Date> fieldDate(const Recordset& rs, std::string_view field) { return dateOrNone(rs.value(field)); }

bool noRows(const Recordset* rs) { return rs == nullptr || !rs->isOpen() || rs->recordCount() == 0; }

}  // namespace quill::sql

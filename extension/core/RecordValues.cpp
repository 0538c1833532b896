#include "extension/core/RecordValues.h"

#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill {

std::string textOf(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? std::string() : vb::CStr(v);
}

double numberOf(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? 0.0 : vb::CDbl(v);
}

Date dateOf(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? vb::kZeroDate : vb::CDate(v);
}

bool noRows(const sql::Recordset* rs) { return rs == nullptr || !rs->isOpen() || rs->recordCount() == 0; }

}  // namespace quill

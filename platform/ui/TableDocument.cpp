#include "platform/ui/TableDocument.h"

#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace quill::ui {

std::string cellText(const TableColumn& column, const Variant& value) {
  if (value.isNull() || value.isEmpty()) return {};
  if (column.format.empty()) return value.isString() ? value.stringValue() : vb::CStr(value);
  return vb::Format(value, column.format);
}

double cellAmount(const Variant& value) {
  switch (value.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Boolean:
    case VarType::Date:
      return vb::CDbl(value);
    case VarType::String:
      return vb::IsNumeric(value) ? vb::CDbl(value) : 0.0;
    default:
      return 0.0;
  }
}

}  // namespace quill::ui

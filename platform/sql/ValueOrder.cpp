#include "platform/sql/ValueOrder.h"

#include "platform/vb/Strings.h"

namespace quill::sql {

namespace {
int rank(const Variant& v) {
  if (v.isNull() || v.isEmpty()) return 0;
  if (v.isNumeric()) return 1;
  if (v.type() == VarType::Date) return 2;
  if (v.isString()) return 3;
  return 4;
}

double number(const Variant& v) {
  switch (v.type()) {
    case VarType::Integer:
      return v.integerValue();
    case VarType::Long:
      return v.longValue();
    case VarType::Boolean:
      return v.boolValue() ? -1.0 : 0.0;
    default:
      return v.doubleValue();
  }
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

template <class T>
int threeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

int compareTextNoCase(std::string_view a, std::string_view b) {
  return vb::compareText(withoutTrailingBlanks(a), withoutTrailingBlanks(b));
}

std::string codeKey(std::string_view code) { return vb::LCase(withoutTrailingBlanks(code)); }

int compareValues(const Variant& a, const Variant& b) {
  const int ra = rank(a), rb = rank(b);
  if (ra != rb) return threeWay(ra, rb);
  switch (ra) {
    case 1:
      return threeWay(number(a), number(b));
    case 2:
      return threeWay(a.dateValue().serial, b.dateValue().serial);
    case 3:
      return compareTextNoCase(a.stringValue(), b.stringValue());
    default:
      return 0;
  }
}

}  // namespace quill::sql

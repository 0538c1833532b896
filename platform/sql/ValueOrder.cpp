#include "platform/sql/ValueOrder.h"

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

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

template <class T>
int threeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

int compareTextNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(fold(a[i]));
    const auto y = static_cast<unsigned char>(fold(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return threeWay(a.size(), b.size());
}

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

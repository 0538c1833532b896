#include "platform/automation/Variant.h"

#include <fmt/format.h>

#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"

namespace quill {

Variant& VariantArray::at(std::int32_t index) {
  if (index < lowerBound || index > upperBound()) throw vbError(vberr::SubscriptOutOfRange);
  return items[static_cast<std::size_t>(index - lowerBound)];
}

const Variant& VariantArray::at(std::int32_t index) const {
  if (index < lowerBound || index > upperBound()) throw vbError(vberr::SubscriptOutOfRange);
  return items[static_cast<std::size_t>(index - lowerBound)];
}

bool operator==(const VariantArray& a, const VariantArray& b) {
  return a.lowerBound == b.lowerBound && a.items == b.items;
}

Variant::ArrayBox::ArrayBox(VariantArray a) : array(std::make_unique<VariantArray>(std::move(a))) {}
Variant::ArrayBox::ArrayBox(const ArrayBox& other)
    : array(other.array ? std::make_unique<VariantArray>(*other.array) : nullptr) {}
Variant::ArrayBox& Variant::ArrayBox::operator=(const ArrayBox& other) {
  if (this != &other) array = other.array ? std::make_unique<VariantArray>(*other.array) : nullptr;
  return *this;
}
Variant::ArrayBox::~ArrayBox() = default;

Variant::Variant(VariantArray array) : value_(ArrayBox(std::move(array))) {}

VarType Variant::type() const {
  switch (value_.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Boolean;
    case 3: return VarType::Integer;
    case 4: return VarType::Long;
    case 5: return VarType::Double;
    case 6: return VarType::Date;
    case 7: return VarType::String;
    case 8: return VarType::Object;
    default: return VarType::Array;
  }
}

bool Variant::isNumeric() const {
  auto t = type();
  return t == VarType::Integer || t == VarType::Long || t == VarType::Double || t == VarType::Boolean;
}

namespace {
template <class T, class V>
const T& rawAs(const V& value) {
  if (auto* p = std::get_if<T>(&value)) return *p;
  throw vbError(vberr::TypeMismatch);
}
}  // namespace

bool Variant::boolValue() const { return rawAs<bool>(value_); }
std::int16_t Variant::integerValue() const { return rawAs<std::int16_t>(value_); }
std::int32_t Variant::longValue() const { return rawAs<std::int32_t>(value_); }
double Variant::doubleValue() const { return rawAs<double>(value_); }
Date Variant::dateValue() const { return rawAs<Date>(value_); }
const std::string& Variant::stringValue() const { return rawAs<std::string>(value_); }
const DispatchPtr& Variant::objectValue() const { return rawAs<DispatchPtr>(value_); }
const VariantArray& Variant::arrayValue() const { return *rawAs<ArrayBox>(value_).array; }
VariantArray& Variant::arrayValue() {
  if (auto* p = std::get_if<ArrayBox>(&value_)) return *p->array;
  throw vbError(vberr::TypeMismatch);
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.value_.index() != b.value_.index()) return false;
  if (a.isArray()) return a.arrayValue() == b.arrayValue();
  if (a.isObject()) return a.objectValue() == b.objectValue();
  switch (a.value_.index()) {
    case 0:
    case 1: return true;
    case 2: return a.boolValue() == b.boolValue();
    case 3: return a.integerValue() == b.integerValue();
    case 4: return a.longValue() == b.longValue();
    case 5: return a.doubleValue() == b.doubleValue();
    case 6: return a.dateValue() == b.dateValue();
    default: return a.stringValue() == b.stringValue();
  }
}

std::string Variant::debugString() const {
  switch (type()) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Boolean: return boolValue() ? "True" : "False";
    case VarType::Integer: return fmt::format("{}%", integerValue());
    case VarType::Long: return fmt::format("{}&", longValue());
    case VarType::Double: return fmt::format("{}#", doubleValue());
    case VarType::Date: return fmt::format("Date({})", dateValue().serial);
    case VarType::String: return fmt::format("\"{}\"", stringValue());
    case VarType::Object:
      return objectValue() ? fmt::format("Object({})", objectValue()->className()) : "Nothing";
    case VarType::Array: {
      std::string out = fmt::format("Array({} to {}: ", arrayValue().lowerBound, arrayValue().upperBound());
      for (const auto& item : arrayValue().items) out += item.debugString() + " ";
      return out + ")";
    }
  }
  return "?";
}

VariantArray makeArray(std::vector<Variant> items, std::int32_t lowerBound) {
  return VariantArray{lowerBound, std::move(items)};
}

std::string_view varTypeName(VarType type) {
  switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Integer: return "Integer";
    case VarType::Long: return "Long";
    case VarType::Double: return "Double";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::Object: return "Object";
    case VarType::Boolean: return "Boolean";
    case VarType::Array: return "Variant()";
  }
  return "Unknown";
}

}  // namespace quill

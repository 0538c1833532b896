#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quill {

class Dispatch;
using DispatchPtr = std::shared_ptr<Dispatch>;

// The kinds of value an automation variant holds. The numbers are VB's
// VarType numbers, so code that prints or compares them reads as VB does.
enum class VarType : std::uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,  // 16-bit
  Long = 3,     // 32-bit
  Double = 5,
  Date = 7,
  String = 8,
  Object = 9,
  Boolean = 11,
  Array = 8192,
};

// A point in time as an OLE automation date: days since 1899-12-30, the
// fraction being the time of day. 0 is the "zero date".
struct Date {
  double serial = 0.0;
  friend bool operator==(const Date&, const Date&) = default;
};

struct NullValue {
  friend bool operator==(const NullValue&, const NullValue&) = default;
};

class Variant;

// A one-dimensional VB array: its elements and its lower bound.
struct VariantArray {
  std::int32_t lowerBound = 0;
  std::vector<Variant> items;

  std::int32_t upperBound() const { return lowerBound + static_cast<std::int32_t>(items.size()) - 1; }
  Variant& at(std::int32_t index);
  const Variant& at(std::int32_t index) const;
  friend bool operator==(const VariantArray&, const VariantArray&);
};

// An automation variant with VB's value semantics: copying a variant copies
// strings and arrays; objects are shared references.
class Variant {
 public:
  Variant() = default;
  Variant(bool value) : value_(value) {}
  Variant(std::int16_t value) : value_(value) {}
  Variant(std::int32_t value) : value_(value) {}
  Variant(double value) : value_(value) {}
  Variant(Date value) : value_(value) {}
  Variant(std::string value) : value_(std::move(value)) {}
  Variant(std::string_view value) : value_(std::string(value)) {}
  Variant(const char* value) : value_(std::string(value)) {}
  Variant(DispatchPtr object) : value_(std::move(object)) {}
  Variant(VariantArray array);
  Variant(NullValue) : value_(NullValue{}) {}

  // Guards against silent conversions: a long or a pointer is never a variant.
  Variant(long) = delete;
  Variant(long long) = delete;
  Variant(const void*) = delete;

  static Variant null() { return Variant(NullValue{}); }
  static Variant empty() { return Variant(); }

  VarType type() const;
  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool isNull() const { return std::holds_alternative<NullValue>(value_); }
  bool isObject() const { return std::holds_alternative<DispatchPtr>(value_); }
  bool isArray() const { return std::holds_alternative<ArrayBox>(value_); }
  bool isString() const { return std::holds_alternative<std::string>(value_); }
  bool isNumeric() const;  // Integer, Long, Double or Boolean

  // Raw access: each throws Type mismatch (13) when the variant holds
  // another kind. Conversions between kinds are VB's and live in vb/.
  bool boolValue() const;
  std::int16_t integerValue() const;
  std::int32_t longValue() const;
  double doubleValue() const;
  Date dateValue() const;
  const std::string& stringValue() const;
  const DispatchPtr& objectValue() const;  // may be an empty reference (Nothing)
  const VariantArray& arrayValue() const;
  VariantArray& arrayValue();

  friend bool operator==(const Variant& a, const Variant& b);

  // A short diagnostic form, for test failure messages and logs.
  std::string debugString() const;

 private:
  // Arrays are held by pointer only so that Variant can contain itself; the
  // box copies deeply, which is VB's array assignment.
  struct ArrayBox {
    std::unique_ptr<VariantArray> array;
    ArrayBox() = default;
    explicit ArrayBox(VariantArray a);
    ArrayBox(const ArrayBox& other);
    ArrayBox(ArrayBox&&) noexcept = default;
    ArrayBox& operator=(const ArrayBox& other);
    ArrayBox& operator=(ArrayBox&&) noexcept = default;
    ~ArrayBox();
  };

  std::variant<std::monostate, NullValue, bool, std::int16_t, std::int32_t, double, Date,
               std::string, DispatchPtr, ArrayBox>
      value_;
};

// Builds a VB array of the given elements with the given lower bound.
VariantArray makeArray(std::vector<Variant> items, std::int32_t lowerBound = 0);

// VB's name of a VarType ("String", "Long", ...), as TypeName answers.
std::string_view varTypeName(VarType type);

}  // namespace quill

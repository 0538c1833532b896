#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"

namespace quill {

// An object that crosses a process border by value, as ADO's disconnected
// recordsets do: the receiver gets its own copy, not a reference back.
class ByValueObject {
 public:
  virtual ~ByValueObject() = default;
  // The name its deserializer is registered under.
  virtual std::string byValueTypeName() const = 0;
  // The object's whole state as opaque bytes.
  virtual std::string serialize() const = 0;
};

using ByValueFactory = std::function<DispatchPtr(std::string_view bytes)>;

// Registers how to rebuild objects of one type; a library that defines a
// by-value type registers it once, when it is loaded.
void registerByValueType(std::string typeName, ByValueFactory factory);

// Rebuilds an object; fails with 13 (Type mismatch) for an unknown type and
// passes on the factory's errors for bytes it cannot read.
DispatchPtr deserializeByValue(std::string_view typeName, std::string_view bytes);

}  // namespace quill

#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill {

// An object whose properties are whatever has been put into it, matched
// without regard to case, plus optional methods given as functions. It stands
// for plain automation objects such as the host's document context (Cab,
// Linha) and for test doubles.
class PropertyBag : public Dispatch {
 public:
  using Method = std::function<Variant(std::span<Variant>)>;

  explicit PropertyBag(std::string className = "Object");

  static std::shared_ptr<PropertyBag> create(std::string className = "Object") {
    return std::make_shared<PropertyBag>(std::move(className));
  }

  void setValue(std::string_view name, Variant value);
  // The stored value; Empty when the property was never put.
  Variant value(std::string_view name) const;
  bool has(std::string_view name) const;
  void setMethod(std::string_view name, Method method);
  // Every property name in the order first put.
  std::vector<std::string> propertyNames() const;

  // Get of an unknown name fails with 438, as on a real object.
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;
  std::string className() const override { return className_; }

 private:
  std::string className_;
  std::vector<std::string> order_;
  std::unordered_map<std::string, Variant> values_;
  std::unordered_map<std::string, Method> methods_;
};

}  // namespace quill

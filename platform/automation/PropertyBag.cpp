#include "platform/automation/PropertyBag.h"

#include "platform/automation/AutomationError.h"

namespace quill {

PropertyBag::PropertyBag(std::string className) : className_(std::move(className)) {}

void PropertyBag::setValue(std::string_view name, Variant value) {
  auto key = foldCase(name);
  auto [it, inserted] = values_.insert_or_assign(key, std::move(value));
  if (inserted) order_.emplace_back(name);
}

Variant PropertyBag::value(std::string_view name) const {
  auto it = values_.find(foldCase(name));
  return it == values_.end() ? Variant() : it->second;
}

bool PropertyBag::has(std::string_view name) const { return values_.count(foldCase(name)) != 0; }

void PropertyBag::setMethod(std::string_view name, Method method) { methods_[foldCase(name)] = std::move(method); }

std::vector<std::string> PropertyBag::propertyNames() const { return order_; }

Variant PropertyBag::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  auto key = foldCase(member);
  if (kind == CallKind::PropertyPut || kind == CallKind::PropertyPutRef) {
    if (args.empty()) throw vbError(vberr::WrongArguments, className_);
    setValue(member, args.back());
    return Variant();
  }
  if (auto m = methods_.find(key); m != methods_.end()) return m->second(args);
  auto it = values_.find(key);
  if (it == values_.end()) throw vbError(vberr::MemberNotSupported, className_);
  return it->second;
}

}  // namespace quill

#include "platform/automation/Dispatch.h"

#include "platform/automation/AutomationError.h"

namespace quill {

DispatchPtr requireObject(const Variant& value) {
  if (!value.isObject()) throw vbError(vberr::ObjectRequired);
  if (!value.objectValue()) throw vbError(vberr::ObjectNotSet);
  return value.objectValue();
}

namespace late {
namespace {
Dispatch& target(const DispatchPtr& obj) {
  if (!obj) throw vbError(vberr::ObjectNotSet);
  return *obj;
}
}  // namespace

Variant call(const DispatchPtr& obj, std::string_view member, Args args) {
  return target(obj).invoke(member, CallKind::Method, args.span());
}

Variant callRef(const DispatchPtr& obj, std::string_view member, std::span<Variant> args) {
  return target(obj).invoke(member, CallKind::Method, args);
}

Variant get(const DispatchPtr& obj, std::string_view member, Args args) {
  return target(obj).invoke(member, CallKind::PropertyGet, args.span());
}

void let(const DispatchPtr& obj, std::string_view member, Variant value) {
  Variant args[] = {std::move(value)};
  target(obj).invoke(member, CallKind::PropertyPut, args);
}

void set(const DispatchPtr& obj, std::string_view member, DispatchPtr value) {
  Variant args[] = {Variant(std::move(value))};
  target(obj).invoke(member, CallKind::PropertyPutRef, args);
}
}  // namespace late

std::string foldCase(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace quill

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

Variant call(const DispatchPtr& obj, std::string_view member, std::vector<Variant> args) {
  return target(obj).invoke(member, CallKind::Method, args);
}

Variant callRef(const DispatchPtr& obj, std::string_view member, std::span<Variant> args) {
  return target(obj).invoke(member, CallKind::Method, args);
}

Variant get(const DispatchPtr& obj, std::string_view member, std::vector<Variant> args) {
  return target(obj).invoke(member, CallKind::PropertyGet, args);
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

std::size_t NoCaseHash::operator()(std::string_view name) const noexcept {
  // FNV-1a over the folded bytes.
  std::size_t h = 1469598103934665603ull;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  return h;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace quill

#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/Variant.h"

namespace quill {

// How a member is reached, as IDispatch::Invoke distinguishes it.
enum class CallKind {
  Method,
  PropertyGet,
  PropertyPut,     // VB "obj.X = value" (Let)
  PropertyPutRef,  // VB "Set obj.X = object"
};

// An object whose members are called by name, without regard to case.
//
// Arguments travel by reference: a callee writes its by-reference arguments
// back into `args`, and the caller reads them after the call. For a put the
// value is the last argument. Failures are AutomationError.
class Dispatch : public std::enable_shared_from_this<Dispatch> {
 public:
  virtual ~Dispatch() = default;

  virtual Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) = 0;

  // VB's TypeName of the object ("DescComissoes", "Recordset").
  virtual std::string className() const = 0;

  // The member names in interface order; empty for objects whose members are
  // not known in advance (remote proxies, property bags).
  virtual std::vector<std::string> memberNames() const { return {}; }
};

// The object held by a variant; Object required (424) when it holds none and
// Object variable not set (91) when it holds Nothing.
DispatchPtr requireObject(const Variant& value);

// Late-bound calls, as VB code makes them on an Object variable.
namespace late {
// obj.Member(args...) with arguments passed by value.
Variant call(const DispatchPtr& obj, std::string_view member, std::vector<Variant> args = {});
// obj.Member(args...) with every argument passed by reference.
Variant callRef(const DispatchPtr& obj, std::string_view member, std::span<Variant> args);
// x = obj.Member or x = obj.Member(index...)
Variant get(const DispatchPtr& obj, std::string_view member, std::vector<Variant> args = {});
// obj.Member = value
void let(const DispatchPtr& obj, std::string_view member, Variant value);
// Set obj.Member = object
void set(const DispatchPtr& obj, std::string_view member, DispatchPtr value);
}  // namespace late

// ASCII lower case, for member and key names matched without regard to case.
std::string foldCase(std::string_view name);
bool equalsNoCase(std::string_view a, std::string_view b);

// Hash and equality of names without regard to (ASCII) case, for maps looked
// up by a string_view without making a folded copy first.
struct NoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const noexcept;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return equalsNoCase(a, b); }
};

}  // namespace quill

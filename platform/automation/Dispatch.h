#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
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

// The arguments of one call: a braced list or a vector. A few are kept
// without allocating, so that a call per cell in a loop costs no memory.
class Args {
 public:
  Args() = default;
  Args(std::initializer_list<Variant> args) {
    if (args.size() <= kInline) {
      std::copy(args.begin(), args.end(), inline_.begin());
      size_ = args.size();
    } else {
      heap_.assign(args.begin(), args.end());
    }
  }
  Args(std::vector<Variant> args) : heap_(std::move(args)) {}
  std::span<Variant> span() { return size_ ? std::span<Variant>(inline_.data(), size_) : std::span<Variant>(heap_); }

 private:
  static constexpr std::size_t kInline = 3;
  std::array<Variant, kInline> inline_;
  std::size_t size_ = 0;
  std::vector<Variant> heap_;
};

// obj.Member(args...) with arguments passed by value.
Variant call(const DispatchPtr& obj, std::string_view member, Args args = {});
// obj.Member(args...) with every argument passed by reference.
Variant callRef(const DispatchPtr& obj, std::string_view member, std::span<Variant> args);
// x = obj.Member or x = obj.Member(index...)
Variant get(const DispatchPtr& obj, std::string_view member, Args args = {});
// obj.Member = value
void let(const DispatchPtr& obj, std::string_view member, Variant value);
// Set obj.Member = object
void set(const DispatchPtr& obj, std::string_view member, DispatchPtr value);
}  // namespace late

// ASCII lower case, for member and key names matched without regard to case.
std::string foldCase(std::string_view name);
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const std::size_t n = a.size();
  std::size_t i = 0;
  // Whole words first: most callers spell names as they are declared.
  for (; i + 8 <= n; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x == y) continue;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Hash and equality of names without regard to (ASCII) case, for maps looked
// up by a string_view without making a folded copy first. Member names are
// hashed on their length and their first and last letters only: enough to
// tell the members of one class apart, and cheap on the hot path of every
// late-bound call (equality settles the rest).
struct NoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const noexcept {
    if (name.empty()) return 0;
    auto fold = [](char c) { return static_cast<std::size_t>(static_cast<unsigned char>(c) | 0x20); };
    std::size_t h = name.size();
    h = h * 131 + fold(name.front());
    if (name.size() > 1) h = h * 131 + fold(name[1]);
    return h * 131 + fold(name.back());
  }
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return equalsNoCase(a, b); }
};

}  // namespace quill

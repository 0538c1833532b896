#pragma once

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"

namespace quill {

// How many arguments a member takes; a call outside the range fails with
// VB's "Wrong number of arguments" (450). max < 0 means no upper limit.
struct Arity {
  int min = 0;
  int max = -1;
  static Arity exactly(int n) { return {n, n}; }
};

// The members of one class, declared once and shared by every instance:
//
//   const MemberTable<Foo>& Foo::members() {
//     static const auto table = MemberTable<Foo>()
//         .method("Iniciar", [](Foo& self, Args a) { ... }, Arity::exactly(5))
//         .property("Path", getter, letter);
//     return table;
//   }
//
// A property get also answers a method call and the other way round, as VB
// lets "x = obj.Member" reach either.
template <class T>
class MemberTable {
 public:
  using Args = std::span<Variant>;
  using Getter = std::function<Variant(T&, Args)>;
  using Putter = std::function<void(T&, Args)>;  // the value is args.back()

  MemberTable& method(std::string_view name, Getter fn, Arity arity = {}) {
    add(name).call = typename Entry::Call{std::move(fn), arity};
    return *this;
  }

  // A method that answers nothing (a VB Sub).
  MemberTable& sub(std::string_view name, std::function<void(T&, Args)> fn, Arity arity = {}) {
    return method(
        name,
        [fn = std::move(fn)](T& self, Args args) {
          fn(self, args);
          return Variant();
        },
        arity);
  }

  MemberTable& property(std::string_view name, Getter get, Putter let = {}, Putter set = {}) {
    Entry& e = add(name);
    if (get) e.call = typename Entry::Call{std::move(get), Arity{0, -1}};
    e.let = std::move(let);
    e.set = std::move(set);
    return *this;
  }

  // A property written with "Set obj.X = object" only.
  MemberTable& propertyRef(std::string_view name, Putter set) { return property(name, {}, {}, std::move(set)); }

  Variant invoke(T& self, std::string_view member, CallKind kind, Args args) const {
    const Entry* found = find(member);
    if (!found) throw vbError(vberr::MemberNotSupported, self.className());
    const Entry& e = *found;
    switch (kind) {
      case CallKind::Method:
      case CallKind::PropertyGet:
        if (!e.call.fn) break;
        if (static_cast<int>(args.size()) < e.call.arity.min ||
            (e.call.arity.max >= 0 && static_cast<int>(args.size()) > e.call.arity.max))
          throw vbError(vberr::WrongArguments, self.className());
        return e.call.fn(self, args);
      case CallKind::PropertyPut:
      case CallKind::PropertyPutRef: {
        if (args.empty()) throw vbError(vberr::WrongArguments, self.className());
        const Putter& primary = kind == CallKind::PropertyPut ? e.let : e.set;
        const Putter& other = kind == CallKind::PropertyPut ? e.set : e.let;
        if (primary) {
          primary(self, args);
          return Variant();
        }
        if (other) {
          other(self, args);
          return Variant();
        }
        break;
      }
    }
    throw vbError(vberr::MemberNotSupported, self.className());
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.name);
    return out;
  }

 private:
  struct Entry {
    std::string name;
    struct Call {
      Getter fn;
      Arity arity;
    } call;
    Putter let;
    Putter set;
  };

  // Member names are looked up as called, without a folded copy, in an
  // open-addressing table at most a quarter full: calls by name are the hot
  // path of every late-bound loop (a cell at a time).
  struct Slot {
    std::size_t hash = 0;
    std::size_t entry = kNoEntry;
  };
  static constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

  const Entry* find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const std::size_t hash = NoCaseHash()(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.entry == kNoEntry) return nullptr;
      if (slot.hash == hash && equalsNoCase(entries_[slot.entry].name, name)) return &entries_[slot.entry];
    }
  }

  void index(std::size_t entry) {
    const std::size_t hash = NoCaseHash()(entries_[entry].name);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].entry != kNoEntry) i = (i + 1) & mask;
    slots_[i] = Slot{hash, entry};
  }

  Entry& add(std::string_view name) {
    if (const Entry* existing = find(name)) return entries_[static_cast<std::size_t>(existing - entries_.data())];
    entries_.push_back(Entry{std::string(name), {}, {}, {}});
    if (entries_.size() * 4 > slots_.size()) {
      slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), Slot{});
      for (std::size_t i = 0; i < entries_.size(); ++i) index(i);
    } else {
      index(entries_.size() - 1);
    }
    return entries_.back();
  }

  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

// Base of a class whose members are declared in a MemberTable. The class
// provides `static const MemberTable<T>& members()` and `className()`.
template <class T>
class DispatchObject : public Dispatch {
 public:
  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override {
    return T::members().invoke(static_cast<T&>(*this), member, kind, args);
  }
  std::vector<std::string> memberNames() const override { return T::members().names(); }
};

}  // namespace quill

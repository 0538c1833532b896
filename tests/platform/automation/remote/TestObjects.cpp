#include "tests/platform/automation/remote/TestObjects.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/automation/AutomationError.h"

namespace quill::remotetest {

namespace {
int liveProbes = 0;

std::vector<Variant> rest(std::span<Variant> args, std::size_t from) {
  return {args.begin() + static_cast<std::ptrdiff_t>(from), args.end()};
}
}  // namespace

Probe::Probe(std::string n) : name(std::move(n)) { ++liveProbes; }
Probe::~Probe() { --liveProbes; }
int Probe::live() { return liveProbes; }

const MemberTable<Probe>& Probe::members() {
  using Args = std::span<Variant>;
  static const auto table =
      MemberTable<Probe>()
          .sub(
              "Nothing", [](Probe&, Args) {}, Arity::exactly(0))
          // Takes any arguments and leaves them as they are; they come back all the same.
          .sub("Accept", [](Probe&, Args) {})
          .property("Name", [](Probe& p, Args) { return Variant(p.name); })
          .property(
              "Value", [](Probe& p, Args) { return p.value; }, [](Probe& p, Args a) { p.value = a.back(); })
          .method(
              "Echo", [](Probe&, Args a) { return a[0]; }, Arity::exactly(1))
          .sub(
              "Swap", [](Probe&, Args a) { std::swap(a[0], a[1]); }, Arity::exactly(2))
          .sub(
              "Increment", [](Probe&, Args a) { a[0] = Variant(a[0].longValue() + 1); }, Arity::exactly(1))
          .sub(
              "Raise",
              [](Probe&, Args a) { throw AutomationError(a[0].longValue(), a[1].stringValue(), a[2].stringValue()); },
              Arity::exactly(3))
          .sub(
              "Fail", [](Probe&, Args a) { throw std::runtime_error(a[0].stringValue()); }, Arity::exactly(1))
          .sub(
              "Sleep", [](Probe&, Args a) { std::this_thread::sleep_for(std::chrono::milliseconds(a[0].longValue())); },
              Arity::exactly(1))
          .sub(
              "Exit", [](Probe&, Args a) { std::_Exit(a[0].longValue()); }, Arity::exactly(1))
          .method("ProcessId", [](Probe&, Args) { return Variant(static_cast<std::int32_t>(::getpid())); })
          .method("CurrentFolder", [](Probe&, Args) { return Variant(std::filesystem::current_path().string()); })
          .method("LiveProbes", [](Probe&, Args) { return Variant(static_cast<std::int32_t>(Probe::live())); })
          .method(
              "NewProbe",
              [](Probe&, Args a) { return Variant(DispatchPtr(std::make_shared<Probe>(a[0].stringValue()))); },
              Arity::exactly(1))
          // Bounce(depth, partner): each side adds its name and hands the
          // call back to the other until depth reaches 0.
          .method(
              "Bounce",
              [](Probe& p, Args a) {
                if (p.onFire) p.onFire();
                DispatchPtr partner = a[1].objectValue();
                p.lastPartner = partner;
                std::string trace = p.name + std::to_string(a[0].longValue());
                if (a[0].longValue() > 0)
                  trace += " " +
                           late::call(partner, "Bounce", {Variant(a[0].longValue() - 1), Variant(p.shared_from_this())})
                               .stringValue();
                return Variant(trace);
              },
              Arity::exactly(2))
          .sub(
              "Keep", [](Probe& p, Args a) { p.kept = a[0].objectValue(); }, Arity::exactly(1))
          .method("Kept", [](Probe& p, Args) { return Variant(p.kept); })
          .sub("Forget", [](Probe& p, Args) { p.kept.reset(); })
          .method(
              "IsKept", [](Probe& p, Args a) { return Variant(a[0].objectValue() == p.kept); }, Arity::exactly(1))
          .method(
              "Same", [](Probe&, Args a) { return Variant(a[0].objectValue() == a[1].objectValue()); },
              Arity::exactly(2))
          // CallBack(object, member, args...): calls back into the caller.
          .method(
              "CallBack", [](Probe&, Args a) { return late::call(a[0].objectValue(), a[1].stringValue(), rest(a, 2)); },
              Arity{2, -1})
          .sub("Fire",
               [](Probe& p, Args) {
                 if (p.onFire) p.onFire();
               })
          .method(
              "MakeRows",
              [](Probe&, Args a) {
                auto rows = std::make_shared<TestRows>();
                for (std::int32_t i = 0; i < a[0].longValue(); ++i) rows->rows.push_back("row " + std::to_string(i));
                return Variant(DispatchPtr(rows));
              },
              Arity::exactly(1))
          // RowCount(rows): -1 unless the rows arrived as a local copy.
          .method(
              "RowCount",
              [](Probe&, Args a) {
                auto* rows = dynamic_cast<TestRows*>(a[0].objectValue().get());
                return Variant(rows ? static_cast<std::int32_t>(rows->rows.size()) : std::int32_t{-1});
              },
              Arity::exactly(1))
          .method(
              "Repeat",
              [](Probe&, Args a) {
                std::string out;
                for (std::int32_t i = 0; i < a[1].longValue(); ++i) out += a[0].stringValue();
                return Variant(out);
              },
              Arity::exactly(2));
  return table;
}

const MemberTable<TestRows>& TestRows::members() {
  static const auto table =
      MemberTable<TestRows>()
          .method("Count", [](TestRows& r, auto) { return Variant(static_cast<std::int32_t>(r.rows.size())); })
          .method(
              "Item",
              [](TestRows& r, auto a) { return Variant(r.rows.at(static_cast<std::size_t>(a[0].longValue()))); },
              Arity::exactly(1))
          .sub(
              "Add", [](TestRows& r, auto a) { r.rows.push_back(a[0].stringValue()); }, Arity::exactly(1));
  return table;
}

std::string TestRows::serialize() const {
  std::string out;
  for (const auto& row : rows) out += row + '\n';
  return out;
}

const MemberTable<LocalOnlyRows>& LocalOnlyRows::members() {
  static const auto table = MemberTable<LocalOnlyRows>();
  return table;
}

const MemberTable<RawByValue>& RawByValue::members() {
  static const auto table = MemberTable<RawByValue>();
  return table;
}

void registerTestTypes() {
  registerByValueType(TestRows::kTypeName, [](std::string_view bytes) {
    auto rows = std::make_shared<TestRows>();
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string_view::npos; start = end + 1)
      rows->rows.emplace_back(bytes.substr(start, end - start));
    if (start != bytes.size()) throw AutomationError(13, "TestRows", "Rows not ended by a line feed");
    return DispatchPtr(rows);
  });
}

ClassFactory testFactory(const std::string& probeName) {
  ClassFactory factory;
  factory.add(kProbeProgId, [probeName] { return std::make_shared<Probe>(probeName); });
  return factory;
}

}  // namespace quill::remotetest

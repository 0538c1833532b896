#include <gtest/gtest.h>

#include "platform/automation/AutomationError.h"
#include "platform/automation/MemberTable.h"
#include "platform/automation/PropertyBag.h"

namespace quill {
namespace {

// A small class declared the way the system's classes are.
class Counter : public DispatchObject<Counter> {
 public:
  static const MemberTable<Counter>& members() {
    static const auto table =
        MemberTable<Counter>()
            .property(
                "Total", [](Counter& c, auto) { return Variant(c.total); },
                [](Counter& c, auto args) { c.total = args.back().longValue(); })
            .method(
                "Add",
                [](Counter& c, auto args) {
                  c.total += args[0].longValue();
                  return Variant(c.total);
                },
                Arity::exactly(1))
            .sub(
                "Swap", [](Counter&, auto args) { std::swap(args[0], args[1]); }, Arity::exactly(2))
            .propertyRef("Partner", [](Counter& c, auto args) { c.partner = args.back().objectValue(); });
    return table;
  }
  std::string className() const override { return "Counter"; }
  std::int32_t total = 0;
  DispatchPtr partner;
};

TEST(Dispatch, MembersAreFoundWithoutRegardToCaseAndListedInDeclarationOrder) {
  auto c = std::make_shared<Counter>();
  late::let(c, "tOTAL", std::int32_t{40});
  EXPECT_EQ(late::call(c, "ADD", {std::int32_t{2}}), Variant(std::int32_t{42}));
  EXPECT_EQ(late::get(c, "total"), Variant(std::int32_t{42}));
  EXPECT_EQ(c->memberNames(), (std::vector<std::string>{"Total", "Add", "Swap", "Partner"}));
}

TEST(Dispatch, ByReferenceArgumentsComeBackToTheCaller) {
  auto c = std::make_shared<Counter>();
  std::vector<Variant> args{Variant("a"), Variant(1.5)};
  late::callRef(c, "Swap", args);
  EXPECT_EQ(args[0], Variant(1.5));
  EXPECT_EQ(args[1], Variant("a"));
}

TEST(Dispatch, UnknownMembersWrongArgumentCountsAndNothingFailWithVbNumbers) {
  auto c = std::make_shared<Counter>();
  try {
    late::call(c, "Subtract", {std::int32_t{1}});
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 438);
    EXPECT_EQ(e.description(), "Object doesn't support this property or method");
  }
  try {
    late::call(c, "Add");
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 450);
  }
  try {
    late::call(nullptr, "Add");
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 91);
  }
  EXPECT_THROW(requireObject(Variant("text")), AutomationError);
}

TEST(Dispatch, SetOnAReferencePropertyKeepsTheObject) {
  auto c = std::make_shared<Counter>();
  auto other = std::make_shared<Counter>();
  late::set(c, "partner", other);
  EXPECT_EQ(c->partner, other);
}

TEST(PropertyBag, HoldsWhatIsPutAndRefusesWhatIsNot) {
  auto linha = PropertyBag::create("Linha");
  late::let(linha, "PrecoUnitario", 12.5);
  EXPECT_EQ(late::get(linha, "precounitario"), Variant(12.5));
  EXPECT_THROW(late::get(linha, "Desconto"), AutomationError);
  linha->setMethod("Dobro", [](std::span<Variant> a) { return Variant(a[0].doubleValue() * 2); });
  EXPECT_EQ(late::call(linha, "DOBRO", {2.0}), Variant(4.0));
}

TEST(Variant, ArraysCopyByValueAndCheckTheirBounds) {
  Variant a(makeArray({Variant("x"), Variant("y")}, 1));
  Variant b = a;
  b.arrayValue().at(1) = Variant("changed");
  EXPECT_EQ(a.arrayValue().at(1), Variant("x"));
  EXPECT_EQ(a.arrayValue().upperBound(), 2);
  EXPECT_THROW(a.arrayValue().at(0), AutomationError);
  EXPECT_EQ(a.type(), VarType::Array);
}

TEST(Variant, KindsAreDistinctAndRawAccessOfTheWrongKindIsATypeMismatch) {
  EXPECT_NE(Variant(std::int16_t{1}), Variant(std::int32_t{1}));
  EXPECT_EQ(Variant::null().type(), VarType::Null);
  EXPECT_EQ(Variant().type(), VarType::Empty);
  try {
    Variant("1").doubleValue();
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 13);
  }
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// Many members whose names share their length and their first and last
// letters: each is still found by its own name only.
class Crowd : public DispatchObject<Crowd> {
 public:
  static const MemberTable<Crowd>& members() {
    static const auto table = [] {
      MemberTable<Crowd> t;
      for (int i = 0; i < 60; ++i) {
        std::string name = "Ma" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i % 10) + "x";
        if (i >= 26) name = "M" + std::to_string(i) + "x";
        t.method(name, [i](Crowd&, auto args) {
          return Variant(std::int32_t{i + static_cast<std::int32_t>(args.size()) * 100});
        });
      }
      return t;
    }();
    return table;
  }
  std::string className() const override { return "Crowd"; }
};

TEST(Dispatch, EveryMemberOfALargeTableIsFoundByItsOwnNameWithAnyNumberOfArguments) {
  auto crowd = std::make_shared<Crowd>();
  auto names = crowd->memberNames();
  ASSERT_EQ(names.size(), 60u);
  for (int i = 0; i < 60; ++i) {
    std::string upper = names[static_cast<std::size_t>(i)];
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(late::call(crowd, upper), Variant(std::int32_t{i})) << upper;
  }
  // Five arguments go past the few a call keeps without allocating.
  EXPECT_EQ(late::call(crowd, names[7], {1, 2, 3, 4, 5}), Variant(std::int32_t{507}));
  EXPECT_EQ(late::call(crowd, names[7], std::vector<Variant>{Variant(1.0), Variant(2.0)}), Variant(std::int32_t{207}));
  EXPECT_THROW(late::call(crowd, "Maz9y"), AutomationError);
  EXPECT_THROW(late::call(crowd, ""), AutomationError);
}

}  // namespace
}  // namespace quill

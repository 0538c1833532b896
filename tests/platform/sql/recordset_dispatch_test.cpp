#include <gtest/gtest.h>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::errorNumberOf;

DispatchPtr prices() {
  auto rs = Recordset::create({{"ARTIGO", DataType::VarWChar, "U_QOR_PRECOS", "ARTIGO", true, false, 0},
                               {"PVP1SIVA", DataType::Double, "U_QOR_PRECOS", "PVP1SIVA", false, false, 0},
                               {"DATAACTIVACAO", DataType::DateTime}});
  rs->appendRow({Variant("A1"), Variant(10.0), Variant::null()});
  rs->appendRow({Variant("A2"), Variant(20.0), Variant::null()});
  return rs;
}

// Reads the late-bound code of the system the way a VB caller would.
TEST(RecordsetDispatch, AnswersTheMembersLateBoundCodeUses) {
  DispatchPtr rs = prices();
  EXPECT_EQ(vb::CInt(late::get(rs, "eof")), 0);
  EXPECT_EQ(vb::CInt(late::get(rs, "BOF")), 0);
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{2}));
  // rs("NAME"), rs.Fields("NAME"), rs.Fields("NAME").Value, rs.Collect("NAME")
  Variant name[] = {Variant("artigo")};
  EXPECT_EQ(rs->invoke("", CallKind::PropertyGet, name), Variant("A1"));
  DispatchPtr field = requireObject(late::get(rs, "Fields", {Variant("PVP1SIVA")}));
  EXPECT_EQ(late::get(field, "Value"), Variant(10.0));
  EXPECT_EQ(late::get(field, "Name"), Variant("PVP1SIVA"));
  EXPECT_EQ(late::get(field, "Type"), Variant(std::int32_t{5}));
  EXPECT_EQ(late::get(rs, "Collect", {Variant(std::int32_t{0})}), Variant("A1"));

  late::call(rs, "MoveNext");
  EXPECT_EQ(late::get(field, "Value"), Variant(20.0));  // a field follows the current row
  late::let(field, "Value", Variant(21.5));
  Variant write[] = {Variant("DATAACTIVACAO"), Variant("01-02-2026")};
  rs->invoke("", CallKind::PropertyPut, write);
  late::call(rs, "Update");
  EXPECT_EQ(late::get(field, "OriginalValue"), Variant(20.0));
  EXPECT_EQ(late::get(rs, "Fields", {Variant("DATAACTIVACAO")}).objectValue()->invoke("", CallKind::PropertyGet, {}),
            Variant("01-02-2026"));

  DispatchPtr fields = requireObject(late::get(rs, "Fields"));
  EXPECT_EQ(late::get(fields, "Count"), Variant(std::int32_t{3}));
  DispatchPtr first = requireObject(late::get(fields, "Item", {Variant(std::int32_t{0})}));
  EXPECT_EQ(late::get(first, "Name"), Variant("ARTIGO"));

  late::call(rs, "MoveNext");
  EXPECT_EQ(vb::CInt(late::get(rs, "EOF")), -1);
  EXPECT_EQ(late::get(rs, "AbsolutePosition"), Variant(std::int32_t{-3}));
}

TEST(RecordsetDispatch, EditsFiltersAndSortsByName) {
  DispatchPtr rs = prices();
  late::call(rs, "AddNew");
  EXPECT_EQ(late::get(rs, "EditMode"), Variant(std::int32_t{2}));
  late::let(requireObject(late::get(rs, "Fields", {Variant("ARTIGO")})), "Value", Variant("A0"));
  late::call(rs, "Update");
  late::call(rs, "AddNew",
             {Variant(makeArray({Variant("ARTIGO"), Variant("PVP1SIVA")})),
              Variant(makeArray({Variant("A3"), Variant(30.0)}))});
  EXPECT_EQ(late::get(rs, "EditMode"), Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{4}));

  late::let(rs, "Sort", Variant("ARTIGO DESC"));
  late::let(rs, "Filter", Variant("PVP1SIVA >= 20"));
  EXPECT_EQ(late::get(rs, "Filter"), Variant("PVP1SIVA >= 20"));
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{2}));
  EXPECT_EQ(late::get(rs, "Collect", {Variant("ARTIGO")}), Variant("A3"));
  late::let(rs, "Filter", Variant(std::int32_t{1}));  // the rows waiting to be saved
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{2}));
  late::let(rs, "Filter", Variant(std::int32_t{0}));
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{4}));

  late::call(rs, "MoveFirst");
  late::call(rs, "Delete");
  late::call(rs, "MoveNext");
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{3}));

  late::call(rs, "Close");
  EXPECT_EQ(late::get(rs, "State"), Variant(std::int32_t{0}));
  EXPECT_EQ(errorNumberOf([&] { late::get(rs, "RecordCount"); }), sqlerr::ObjectClosed);
}

TEST(RecordsetDispatch, FieldsAppendedByNameTakeValuesOfAnyType) {
  DispatchPtr rs = prices();
  DispatchPtr fields = requireObject(late::get(rs, "Fields"));
  late::call(fields, "Append", {Variant("EXTRA"), Variant(std::int32_t{202}), Variant(std::int32_t{20})});
  EXPECT_EQ(late::get(fields, "Count"), Variant(std::int32_t{4}));
  late::let(requireObject(late::get(fields, "Item", {Variant("EXTRA")})), "Value", Variant(3.5));
  EXPECT_EQ(late::get(rs, "Collect", {Variant("extra")}), Variant(3.5));
  EXPECT_EQ(errorNumberOf([&] {
              late::call(fields, "Append", {Variant("EXTRA"), Variant(std::int32_t{5})});
            }),
            sqlerr::InvalidArgument);
}

TEST(RecordsetDispatch, UnknownNamesAndBadCallsFailWithTheirNumbers) {
  DispatchPtr rs = prices();
  EXPECT_EQ(errorNumberOf([&] { late::get(rs, "Fields", {Variant("NOPE")}); }), sqlerr::ItemNotFound);
  EXPECT_EQ(errorNumberOf([&] { late::get(rs, "Collect", {Variant(std::int32_t{9})}); }), sqlerr::ItemNotFound);
  EXPECT_EQ(errorNumberOf([&] { late::call(rs, "Requery"); }), vberr::MemberNotSupported);
  EXPECT_EQ(errorNumberOf([&] { late::let(rs, "Filter", Variant("PVP1SIVA = 'x'")); }), sqlerr::InvalidArgument);
  EXPECT_EQ(errorNumberOf([&] { late::let(rs, "Filter", Variant(std::int32_t{7})); }), sqlerr::InvalidArgument);
}

}  // namespace
}  // namespace quill::sql

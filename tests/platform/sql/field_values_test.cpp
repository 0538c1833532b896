// The null-safe field readers every layer reads its rows with.

#include <gtest/gtest.h>

#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

TEST(FieldValues, NullIsNoValueMoneyKeepsItsDecimalsAndWholeNumbersRoundHalvesToEven) {
  testing::TempFolder folder;
  auto db = testing::createDatabase(
      folder.path() / "fields.db",
      "CREATE TABLE T (ID INTEGER PRIMARY KEY, PRECO REAL, LINHA REAL, NOME TEXT, DATA DATETIME);"
      "INSERT INTO T VALUES (1, NULL, NULL, NULL, NULL), (2, 1.185, 2.5, 'Milho', '2026-03-04 00:00:00'),"
      "  (3, -0.5, 3.5, '', NULL), (4, 7, -2.5, '12', NULL);");
  struct Row {
    double price;
    std::int32_t line;
    std::string name;
    std::optional<Date> date;
  };
  const Row expected[] = {
      {0.0, 0, "", std::nullopt},
      {1.185, 2, "Milho", vb::parseIsoText("2026-03-04 00:00:00")},
      {-0.5, 4, "", std::nullopt},
      {7.0, -2, "12", std::nullopt},
  };
  auto rs = db->query("SELECT PRECO, LINHA, NOME, DATA FROM T ORDER BY ID");
  ASSERT_FALSE(noRows(rs.get()));
  for (const auto& row : expected) {
    ASSERT_FALSE(rs->eof());
    EXPECT_DOUBLE_EQ(fieldDouble(*rs, "PRECO"), row.price);
    EXPECT_EQ(fieldLong(*rs, "LINHA"), row.line);
    EXPECT_EQ(fieldText(*rs, "NOME"), row.name);
    EXPECT_EQ(fieldDate(*rs, "DATA"), row.date);
    rs->moveNext();
  }
  EXPECT_TRUE(noRows(db->query("SELECT * FROM T WHERE ID = 0").get()));
  EXPECT_TRUE(noRows(nullptr));
}

TEST(FieldValues, TextThatIsNoNumberIsATypeMismatch) {
  EXPECT_EQ(testing::errorNumberOf([] { doubleOrZero(Variant("abc")); }), vberr::TypeMismatch);
  EXPECT_EQ(testing::errorNumberOf([] { longOrZero(Variant("abc")); }), vberr::TypeMismatch);
  EXPECT_EQ(longOrZero(Variant("12")), 12);
  EXPECT_EQ(textOrEmpty(Variant()), "");
  EXPECT_FALSE(dateOrNone(Variant::null()));
}

}  // namespace
}  // namespace quill::sql

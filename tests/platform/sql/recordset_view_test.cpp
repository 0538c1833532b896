#include <gtest/gtest.h>

#include "platform/sql/Recordset.h"
#include "platform/sql/RecordsetSearch.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::errorNumberOf;

Variant L(std::int32_t v) { return Variant(v); }

// Lines of the discounts report: a seller label, a client, a line number,
// and a cell that holds a group name on some lines and a number on others.
std::shared_ptr<Recordset> lines() {
  auto rs = Recordset::create({{"VND", DataType::VarWChar},
                               {"CLIENTEAUX", DataType::VarWChar},
                               {"LINHA", DataType::Integer},
                               {"C0", DataType::VarWChar},
                               {"DESCONTO", DataType::Double},
                               {"DATA", DataType::DateTime},
                               {"Nome Longo", DataType::VarWChar}});
  auto add = [&](const char* vnd, const char* cli, std::int32_t linha, Variant c0, Variant desc, Variant date) {
    rs->appendRow({Variant(vnd), Variant(cli), L(linha), std::move(c0), std::move(desc), std::move(date),
                   Variant(std::string("n") + cli)});
  };
  add("V2-Rui", "c10", 2, Variant(12.5), Variant(1.5), Variant(vb::makeDate(2026, 3, 1)));
  add("V1-Ana", "C02", 10, Variant("Rações"), Variant::null(), Variant(vb::makeDate(2026, 3, 1, 10, 0, 0)));
  add("V1-Ana", "C02", 2, Variant(3.0), Variant(0.0), Variant::null());
  add("V2-Rui", "C01", 1, Variant("Cereais"), Variant(4.0), Variant(vb::makeDate(2025, 12, 31)));
  add("v1-ana", "C02", 1, Variant("Milho"), Variant(2.0), Variant(vb::makeDate(2026, 4, 2)));
  return rs;
}

// Each visible row as "client/line", in order.
std::vector<std::string> visible(Recordset& rs) {
  std::vector<std::string> out;
  if (rs.recordCount() == 0) return out;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext())
    out.push_back(rs.value("CLIENTEAUX").stringValue() + "/" + std::to_string(rs.value("LINHA").longValue()));
  return out;
}

using Rows = std::vector<std::string>;

// A list of codes and names narrowing as the user types.
TEST(RowsContaining, KeepsTheVisibleRowsWhoseCodeOrNameHoldsTheTextInAnyCase) {
  auto rs =
      Recordset::create({{"CODIGO", DataType::VarWChar}, {"NOME", DataType::VarWChar}, {"ZONA", DataType::VarWChar}});
  rs->appendRow({Variant("C00001"), Variant("Moagem do Centro"), Variant("NORTE")});
  rs->appendRow({Variant("C00002"), Variant::null(), Variant("CENTRO")});
  rs->appendRow({Variant("CENT01"), Variant("Cereais Sul"), Variant("SUL")});
  rs->appendRow({Variant("D'OURO"), Variant("Ouro d'Aldeia"), Variant("CENTRO")});
  struct Case {
    const char* typed;
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {"cent", {"C00001", "CENT01"}},  // a name and a code; the third field is not searched
      {"  0000", {"C00001", "C00002"}},
      {"d'o", {"D'OURO"}},
      {"nada", {}},
  };
  for (const auto& c : cases) {
    auto shown = rowsContaining(rs, c.typed);
    std::vector<std::string> codes;
    for (std::size_t p = 0; p < static_cast<std::size_t>(shown->recordCount()); ++p)
      codes.push_back(shown->valueAt(p, 0).stringValue());
    EXPECT_EQ(codes, c.codes) << c.typed;
    EXPECT_EQ(shown->fields(), rs->fields());
  }
  EXPECT_EQ(rowsContaining(rs, " "), rs) << "nothing typed: every row";
  rs->setFilter("ZONA = 'CENTRO'");
  auto shown = rowsContaining(rs, "c0");
  ASSERT_EQ(shown->recordCount(), 1) << "only the rows the filter shows";
  EXPECT_EQ(shown->valueAt(0, 0).stringValue(), "C00002");
}

TEST(RecordsetFilter, SelectsTheRowsTheCriteriaDescribe) {
  struct Case {
    const char* criteria;
    Rows rows;
  } cases[] = {
      {"CLIENTEAUX='c02'", {"C02/10", "C02/2", "C02/1"}},
      {"LINHA=2", {"c10/2", "C02/2"}},
      {"LINHA <> 2", {"C02/10", "C01/1", "C02/1"}},
      {"LINHA < 2", {"C01/1", "C02/1"}},
      {"LINHA > 2", {"C02/10"}},
      {"LINHA <= 2", {"c10/2", "C02/2", "C01/1", "C02/1"}},
      {"LINHA >= 10", {"C02/10"}},
      {"DESCONTO >= 1.5", {"c10/2", "C01/1", "C02/1"}},
      {"DESCONTO = NULL", {"C02/10"}},
      {"DESCONTO <> NULL", {"c10/2", "C02/2", "C01/1", "C02/1"}},
      {"VND LIKE 'v1*'", {"C02/10", "C02/2", "C02/1"}},
      {"VND LIKE '%rui'", {"c10/2", "C01/1"}},
      {"C0 LIKE '*a*'", {"C02/10", "C01/1"}},
      {"C0 = 'milho'", {"C02/1"}},
      {"C0 = 3", {"C02/2"}},
      {"VND = 'V1-Ana' AND LINHA < 3", {"C02/2", "C02/1"}},
      {"LINHA = 10 OR CLIENTEAUX = 'C01'", {"C02/10", "C01/1"}},
      {"(LINHA = 1 OR LINHA = 2) AND VND = 'V2-RUI'", {"c10/2", "C01/1"}},
      {"LINHA = 1 OR LINHA = 2 AND VND = 'V2-RUI'", {"c10/2", "C01/1", "C02/1"}},
      {"DATA >= #2026-03-01# AND DATA < #02-04-2026#", {"c10/2", "C02/10"}},
      {"DATA > '2026-03-01'", {"C02/10", "C02/1"}},
      {"[Nome Longo] = 'nC01'", {"C01/1"}},
      {"CLIENTEAUX = 'C''02'", {}},
  };
  for (const auto& c : cases) {
    auto rs = lines();
    rs->setFilter(c.criteria);
    EXPECT_EQ(visible(*rs), c.rows) << c.criteria;
    EXPECT_EQ(rs->recordCount(), static_cast<std::int32_t>(c.rows.size())) << c.criteria;
  }
}

TEST(RecordsetFilter, BadCriteriaFailAndLeaveTheViewAsItWas) {
  const char* bad[] = {"NAOHA = 1",  "LINHA =",       "LINHA = 'abc'",      "DATA = 'not a date'", "LINHA == 1",
                       "(LINHA = 1", "LINHA = 1 AND", "VND LIKE 3",         "VND = 'unclosed",     "DATA = #2026-99#",
                       "= 1",        "LINHA 1",       "LINHA = 1 LINHA = 2"};
  for (const char* criteria : bad) {
    auto rs = lines();
    rs->setFilter("LINHA = 1");
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { rs->setFilter(criteria); }, &description), sqlerr::InvalidArgument) << criteria;
    EXPECT_NE(description.find(criteria), std::string::npos) << description;
    EXPECT_EQ(rs->filter(), "LINHA = 1") << criteria;
    EXPECT_EQ(rs->recordCount(), 2) << criteria;
  }
}

TEST(RecordsetFilter, AnEmptyFilterShowsEveryRowAgain) {
  auto rs = lines();
  rs->setFilter("LINHA = 1");
  rs->setFilter("  ");
  EXPECT_EQ(rs->recordCount(), 5);
  EXPECT_EQ(rs->filter(), "");
}

TEST(RecordsetFilter, PendingRowsShowOnlyWhatChanged) {
  auto rs = lines();
  rs->setAbsolutePosition(3);
  rs->setValue("LINHA", L(7));
  rs->update();
  rs->addNew();
  rs->setValue("CLIENTEAUX", Variant("NEW"));
  rs->setValue("LINHA", L(1));
  rs->update();
  rs->showPendingRows();
  EXPECT_EQ(visible(*rs), (Rows{"C02/7", "NEW/1"}));
}

TEST(RecordsetSort, OrdersByEachKeyInTurnKeepingTheOrderOfEqualRows) {
  struct Case {
    const char* order;
    Rows rows;
  } cases[] = {
      {"VND ASC, CLIENTEAUX ASC, LINHA ASC", {"C02/1", "C02/2", "C02/10", "C01/1", "c10/2"}},
      {"LINHA", {"C01/1", "C02/1", "c10/2", "C02/2", "C02/10"}},
      {"LINHA DESC", {"C02/10", "c10/2", "C02/2", "C01/1", "C02/1"}},
      {"[CLIENTEAUX] desc , LINHA", {"c10/2", "C02/1", "C02/2", "C02/10", "C01/1"}},
      {"DESCONTO", {"C02/10", "C02/2", "c10/2", "C02/1", "C01/1"}},
      {"DATA DESC", {"C02/1", "C02/10", "c10/2", "C01/1", "C02/2"}},
      {"C0", {"C02/2", "c10/2", "C01/1", "C02/1", "C02/10"}},
  };
  for (const auto& c : cases) {
    auto rs = lines();
    rs->setSort(c.order);
    EXPECT_EQ(visible(*rs), c.rows) << c.order;
  }
}

TEST(RecordsetSort, UnknownFieldsFailAndAnEmptySortRestoresTheOrderOfReading) {
  auto rs = lines();
  rs->setSort("LINHA");
  EXPECT_EQ(errorNumberOf([&] { rs->setSort("NAOHA ASC"); }), sqlerr::ItemNotFound);
  EXPECT_EQ(errorNumberOf([&] { rs->setSort("LINHA,,VND"); }), sqlerr::InvalidArgument);
  EXPECT_EQ(rs->sort(), "LINHA");
  rs->setSort("");
  EXPECT_EQ(visible(*rs), (Rows{"c10/2", "C02/10", "C02/2", "C01/1", "C02/1"}));
}

TEST(RecordsetSort, FilterAndSortTogether) {
  auto rs = lines();
  rs->setSort("LINHA DESC");
  rs->setFilter("VND LIKE 'V1*'");
  EXPECT_EQ(visible(*rs), (Rows{"C02/10", "C02/2", "C02/1"}));
  // Rows added later stay in sight at the end until the view is rebuilt.
  rs->addNew();
  rs->setValue("CLIENTEAUX", Variant("ZZ"));
  rs->setValue("LINHA", L(5));
  rs->setValue("VND", Variant("V9"));
  rs->update();
  EXPECT_EQ(visible(*rs), (Rows{"C02/10", "C02/2", "C02/1", "ZZ/5"}));
  rs->setFilter("");
  EXPECT_EQ(visible(*rs), (Rows{"C02/10", "ZZ/5", "c10/2", "C02/2", "C01/1", "C02/1"}));
}

}  // namespace
}  // namespace quill::sql

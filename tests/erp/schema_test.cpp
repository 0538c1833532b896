#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "erp/CompanySchema.h"
#include "erp/DemoCodes.h"
#include "erp/ExtensionTables.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"
#include "tests/erp/ErpTestSupport.h"

namespace quill::erp {
namespace {

using test::sqlText;

sql::Database openDemo() { return sql::Database(test::demoCompany().databaseFile(), sql::Database::Mode::ReadWrite); }

std::vector<std::string> userTables(sql::Database& db) {
  std::vector<std::string> tables;
  auto q = db.prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
  while (q.step()) tables.push_back(q.text(0));
  return tables;
}

struct ColumnInfo {
  std::string table, name, type;
  int pk;
};

std::vector<ColumnInfo> columns(sql::Database& db) {
  std::vector<ColumnInfo> result;
  for (const auto& table : userTables(db)) {
    auto q = db.prepare(fmt::format("SELECT name, type, pk FROM pragma_table_info('{}')", table));
    while (q.step()) result.push_back({table, q.text(0), q.text(1), static_cast<int>(q.integer(2))});
  }
  return result;
}

TEST(CompanySchema, EveryTableOfTheCompanyExistsAndHasAPrimaryKey) {
  auto db = openDemo();
  auto tables = userTables(db);
  for (auto name : CompanySchema::tableNames())
    EXPECT_NE(std::find(tables.begin(), tables.end(), name), tables.end()) << name;
  for (auto name : {"U_QOR_PRECOS", "U_QOR_GRUPOSDESCONTO", "U_QOR_COMGRUPOS"})
    EXPECT_NE(std::find(tables.begin(), tables.end(), name), tables.end()) << name;
  // The commission table is made by the extension itself, never in advance.
  EXPECT_EQ(db.scalarInt("SELECT count(*) FROM sqlite_master WHERE name LIKE 'U_qor_ComMensais'"), 0);

  for (const auto& table : tables) {
    int keys = 0;
    for (const auto& c : columns(db))
      if (c.table == table && c.pk > 0) ++keys;
    EXPECT_GT(keys, 0) << table << " has no primary key";
  }
}

TEST(CompanySchema, PrimaryKeysOfTheExtensionTablesAndPrices) {
  auto db = openDemo();
  auto key = [&](const std::string& table) {
    std::vector<std::pair<int, std::string>> parts;
    for (const auto& c : columns(db))
      if (c.table == table && c.pk > 0) parts.emplace_back(c.pk, c.name);
    std::sort(parts.begin(), parts.end());
    std::string text;
    for (const auto& [order, name] : parts) text += (text.empty() ? "" : ",") + name;
    return text;
  };
  EXPECT_EQ(key("PRECOS"), "ARTIGO,MOEDA,LINPRC");
  EXPECT_EQ(key("U_QOR_PRECOS"), "ARTIGO");
  EXPECT_EQ(key("U_QOR_GRUPOSDESCONTO"), "CLIENTE,GRUPO");
  EXPECT_EQ(key("U_QOR_COMGRUPOS"), "VENDEDOR,GRUPO");
  EXPECT_EQ(key("DOCGCCAB"), "TPDOC,SERIE,NNUMDOC,ANO");
  EXPECT_EQ(key("DOCGCLIN"), "TPDOCUM,SERIE,NNUMDOC,ANO,NUMLIN");
}

// Codes are typed in any case and must find their rows, as on the original
// server; the same code in another case is the same key.
TEST(CompanySchema, CodesCompareWithoutRegardToCase) {
  struct Case {
    const char* table;
    const char* column;
    std::string code;
  };
  const std::vector<Case> cases = {
      {"ARTIGOS", "CODIGO", std::string(demo::kFixedPriceArticle)},
      {"U_ARTIGOS", "CODIGO", std::string(demo::kFixedPriceArticle)},
      {"CLIENTES", "CODIGO", std::string(demo::kQuotedCodeClient)},
      {"U_CLIENTES", "CODIGO", std::string(demo::kAllowanceClient)},
      {"VENDEDOR", "CODIGO", std::string(demo::kSeller)},
      {"GRUPOS", "COD", std::string(demo::kFeedGroup)},
      {"ZONAGEO", "ZONA", std::string(demo::kZone)},
      {"CARTEIRA", "CODIGO", std::string(demo::kActivePortfolio)},
      {"U_EXPEDIR", "CODIGO", std::string(demo::kAllowanceDispatch)},
      {"MOEDAS", "CODIGO", std::string(demo::kNationalCurrency)},
      {"RGIVA", "CODIGO", std::string(demo::kNationalVatRegime)},
      {"U_QOR_PRECOS", "ARTIGO", std::string(demo::kScheduledPriceArticle)},
      {"U_QOR_GRUPOSDESCONTO", "CLIENTE", std::string(demo::kGroupDiscountClient)},
      {"U_QOR_COMGRUPOS", "VENDEDOR", std::string(demo::kSeller)},
      {"DOCGCCAB", "TPDOC", std::string(demo::kInvoiceType)},
  };
  auto db = openDemo();
  for (const auto& c : cases) {
    std::string lower = c.code;
    for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    ASSERT_NE(lower, c.code);
    EXPECT_GT(db.scalarInt(fmt::format("SELECT count(*) FROM {} WHERE {} = {}", c.table, c.column, sqlText(lower))), 0)
        << c.table << "." << c.column << " = " << lower;
    EXPECT_GT(db.scalarInt(fmt::format("SELECT count(*) FROM {} WHERE {} >= {} AND {} <= {}", c.table, c.column,
                                       sqlText(lower), c.column, sqlText(lower))),
              0)
        << "range on " << c.table;
  }
  // Joins on codes typed in another case still match.
  db.exec("BEGIN");
  db.exec(
      fmt::format("UPDATE U_ARTIGOS SET CODIGO = lower(CODIGO) WHERE CODIGO = {}", sqlText(demo::kFixedPriceArticle)));
  EXPECT_EQ(db.scalarInt(fmt::format("SELECT U_ARTIGOS.PRECOFIXO FROM ARTIGOS LEFT OUTER JOIN U_ARTIGOS ON "
                                     "ARTIGOS.CODIGO = U_ARTIGOS.CODIGO WHERE ARTIGOS.CODIGO = {}",
                                     sqlText(demo::kFixedPriceArticle))),
            -1);
  // The same key in another case is a duplicate.
  EXPECT_THROW(
      db.exec(fmt::format("INSERT INTO PRECOS (ARTIGO, MOEDA, LINPRC) VALUES ('mil001', 'eur', {})", demo::kPriceLine)),
      AutomationError);
  EXPECT_THROW(db.exec("INSERT INTO CLIENTES (CODIGO) VALUES ('c00001')"), AutomationError);
  db.exec("ROLLBACK");
}

TEST(CompanySchema, DatesAreDeclaredDatetimeAndStoredAsIsoText) {
  auto db = openDemo();
  int dateColumns = 0;
  for (const auto& c : columns(db)) {
    if (c.type != "DATETIME") continue;
    ++dateColumns;
    auto bad =
        db.scalarInt(fmt::format("SELECT count(*) FROM {0} WHERE {1} IS NOT NULL AND {1} NOT GLOB "
                                 "'[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'",
                                 c.table, c.name));
    EXPECT_EQ(bad, 0) << c.table << "." << c.name;
  }
  EXPECT_GE(dateColumns, 7);
  for (const auto& [table, column] : std::vector<std::pair<std::string, std::string>>{
           {"PRECOS", "DATINIC"}, {"DOCGCCAB", "DATA"}, {"U_QOR_PRECOS", "DATAACTIVACAO"}, {"DOCGCLIN", "DATA"}}) {
    bool declared = false;
    for (const auto& c : columns(db))
      if (c.table == table && c.name == column) declared = c.type == "DATETIME";
    EXPECT_TRUE(declared) << table << "." << column;
  }
}

// Flags are -1 for true and 0 for false: statements test "ACTIVO = -1",
// "INACTIVO=0", "PRECOFIXO=-1".
TEST(CompanySchema, FlagsHoldMinusOneOrZero) {
  const std::vector<std::pair<const char*, const char*>> flags = {
      {"ARTIGOS", "INACTIVO"},    {"ARTIGOS", "ARTOUDES"},      {"CLIENTES", "INACTIVO"}, {"CARTEIRA", "ACTIVO"},
      {"U_ARTIGOS", "PRECOFIXO"}, {"U_EXPEDIR", "ABONOFRETES"}, {"DOCGCCAB", "EMPREP"},   {"PARAMETROS", "LIGACTB"},
      {"SERIES", "ASSINADA"},     {"SERIES", "CERTIFICADA"}};
  auto db = openDemo();
  for (auto [table, column] : flags) {
    EXPECT_EQ(db.scalarInt(fmt::format("SELECT count(*) FROM {0} WHERE {1} NOT IN (-1, 0)", table, column)), 0)
        << table << "." << column;
    EXPECT_GT(db.scalarInt(fmt::format("SELECT count(*) FROM {0} WHERE {1} = -1", table, column)), 0)
        << table << "." << column << " is never set";
  }
}

// Every lookup the extension makes by a key finds its rows through an index,
// not by reading the whole table.
TEST(CompanySchema, LookupPathsUseAnIndex) {
  struct Path {
    const char* what;
    std::string sql;
  };
  const std::vector<Path> paths = {
      {"article by code", "SELECT * FROM ARTIGOS WHERE CODIGO = 'X'"},
      {"article user fields", "SELECT * FROM U_ARTIGOS WHERE CODIGO = 'X'"},
      {"client by code", "SELECT * FROM CLIENTES WHERE CODIGO = 'X'"},
      {"client user fields", "SELECT * FROM U_CLIENTES WHERE CODIGO = 'X'"},
      {"seller by code", "SELECT * FROM VENDEDOR WHERE CODIGO = 'X'"},
      {"group by code", "SELECT * FROM GRUPOS WHERE COD = 'X'"},
      {"dispatch user fields", "SELECT * FROM U_EXPEDIR WHERE CODIGO = 'X'"},
      {"price by article, currency and line",
       "SELECT * FROM PRECOS WHERE ARTIGO = 'X' AND MOEDA = 'EUR' AND LINPRC = 1"},
      {"prices of a line", "SELECT * FROM PRECOS WHERE LINPRC = 1 AND MOEDA = 'EUR'"},
      {"group discount by client and group", "SELECT * FROM U_QOR_GRUPOSDESCONTO WHERE GRUPO = 'X' AND CLIENTE = 'Y'"},
      {"scheduled price by article", "SELECT * FROM U_QOR_PRECOS WHERE ARTIGO = 'X'"},
      {"commission rates of a seller", "SELECT * FROM U_QOR_COMGRUPOS WHERE VENDEDOR = 'X'"},
      {"document by key", "SELECT * FROM DOCGCCAB WHERE TPDOC = 'FT' AND SERIE = 1 AND NNUMDOC = 2 AND ANO = 2026"},
      {"lines of a document",
       "SELECT * FROM DOCGCLIN WHERE TPDOCUM = 'FT' AND SERIE = 1 AND NNUMDOC = 2 AND ANO = 2026"},
      {"lines by seller and date", "SELECT * FROM DOCGCLIN WHERE VENDEDOR = 'V01' AND DATA >= '2026-03-01'"},
      {"documents of a month",
       "SELECT * FROM DOCGCCAB WHERE ANO = 2026 AND DATA >= '2026-03-01' AND DATA < '2026-04-01'"},
      {"documents of a client", "SELECT * FROM DOCGCCAB WHERE TERCEIRO = 'X'"},
      {"clients of a seller", "SELECT * FROM CLIENTES WHERE VENDEDOR >= 'V01' AND VENDEDOR <= 'V02'"},
      {"articles of a group", "SELECT * FROM ARTIGOS WHERE GRUPO = 'X'"},
  };
  auto db = openDemo();
  for (const auto& p : paths) {
    auto plan = db.prepare("EXPLAIN QUERY PLAN " + p.sql);
    std::string text;
    while (plan.step()) text += plan.text(3) + "; ";
    EXPECT_NE(text.find("USING"), std::string::npos) << p.what << ": " << text;
  }
}

TEST(ExtensionTables, ScriptRunsTwiceOnAnEmptyDatabaseAndMatchesTheInstalledCopy) {
  test::TempFolder folder("erp-script");
  sql::Database db(folder / "empty.db", sql::Database::Mode::Create);
  ExtensionTables::install(db);
  db.exec("INSERT INTO U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('V1', 'G1', 2.5)");
  ExtensionTables::install(db);
  EXPECT_EQ(db.scalarInt("SELECT count(*) FROM U_QOR_COMGRUPOS"), 1);
  EXPECT_THROW(db.exec("INSERT INTO U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES ('v1', 'g1', 3)"),
               AutomationError);

  // The script distributors run is installed beside the binaries.
  char self[4096] = {};
  auto n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
  ASSERT_GT(n, 0);
  std::ifstream installed(std::filesystem::path(self).parent_path() / "quill_tables.sql");
  ASSERT_TRUE(installed) << "quill_tables.sql is not beside the binaries";
  std::stringstream text;
  text << installed.rdbuf();
  EXPECT_EQ(text.str(), ExtensionTables::script());
}

}  // namespace
}  // namespace quill::erp

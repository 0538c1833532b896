// Codes compare as on the original server — without regard to case, accented
// letters included, and to trailing blanks — the same way in statements,
// keys and indexes, in the recordset's own Filter and Sort, and in the
// ordering helper everything else uses.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "platform/sql/Recordset.h"
#include "platform/sql/ValueOrder.h"
#include "platform/vb/Conversions.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::createDatabase;
using testing::errorNumberOf;
using testing::TempFolder;

const std::string kCompany =
    std::string() + "CREATE TABLE ARTIGOS (CODIGO TEXT COLLATE " + kCodeCollation +
    " NOT NULL PRIMARY KEY, NOME TEXT);"
    "CREATE TABLE LINHAS (NUMLIN INTEGER PRIMARY KEY, ARTIGO TEXT COLLATE " +
    kCodeCollation +
    ", QUANT REAL);"
    "CREATE INDEX IX_LINHAS_ARTIGO ON LINHAS (ARTIGO);"
    "INSERT INTO ARTIGOS VALUES ('Pão1', 'Pão'), ('AÇÚCAR1', 'Açúcar'), ('V99  ', 'Vendedor'),"
    "  ('PAO1', 'Sem acento'), ('Œuf', 'Ovo'), ('ÿ1', 'Y');"
    "INSERT INTO LINHAS VALUES (1, 'pÃO1', 2), (2, 'açúcar1', 3), (3, 'v99', 4), (4, 'œUF', 5);";

class CodeCollation : public ::testing::Test {
 protected:
  TempFolder folder;
  std::filesystem::path file = folder.path() / "company.db";
  std::shared_ptr<Connection> db = createDatabase(file, kCompany);

  std::string nameOf(const std::string& code) {
    auto rs = db->query("SELECT NOME FROM ARTIGOS WHERE CODIGO = ?", {Variant(code)});
    return rs->recordCount() == 1 ? rs->value("NOME").stringValue() : "<" + std::to_string(rs->recordCount()) + ">";
  }
};

TEST_F(CodeCollation, ACodeFindsItsRowWhateverTheCaseOfItsLettersAndTrailingBlanks) {
  const struct {
    const char* typed;
    const char* name;
  } cases[] = {
      {"PÃO1", "Pão"},     {"pão1", "Pão"},      {"pÃo1   ", "Pão"},     {"açúcar1", "Açúcar"},
      {"V99", "Vendedor"}, {"v99 ", "Vendedor"}, {"PAO1", "Sem acento"}, {"pao1", "Sem acento"},
      {"œuf", "Ovo"},      {"Ÿ1", "Y"},          {" pão1", "<0>"},       {"PÃO", "<0>"},
  };
  for (const auto& c : cases) EXPECT_EQ(nameOf(c.typed), c.name) << c.typed;
  // Written into the statement, as the system writes its codes.
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE (ARTIGOS.CODIGO = 'PÃO1') ")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE CODIGO IN ('AÇÚCAR1', 'x', 'v99')")->recordCount(), 2);
  EXPECT_EQ(db->query("SELECT * FROM ARTIGOS WHERE CODIGO BETWEEN 'pão0' AND 'PÃO9'")->recordCount(), 1);
}

TEST_F(CodeCollation, JoinsKeysAndIndexesCompareTheSameWay) {
  auto joined =
      db->query("SELECT L.NUMLIN, A.NOME FROM LINHAS L INNER JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO ORDER BY L.NUMLIN");
  EXPECT_EQ(joined->recordCount(), 4);
  // The key refuses the same code in another case or with blanks after it.
  for (const char* same : {"PÃO1", "pão1  ", "açúcar1", "V99"})
    EXPECT_NE(errorNumberOf([&] { db->execute("INSERT INTO ARTIGOS VALUES (?, 'outro')", {Variant(same)}); }), 0)
        << same;
  EXPECT_EQ(db->execute("INSERT INTO ARTIGOS VALUES ('Pâo1', 'outro acento')"), 1);
  // Lookups by code use the index, and find what a scan finds.
  auto plan = db->query("EXPLAIN QUERY PLAN SELECT * FROM LINHAS WHERE ARTIGO = 'PÃO1'");
  EXPECT_NE(plan->value("detail").stringValue().find("IX_LINHAS_ARTIGO"), std::string::npos);
  EXPECT_EQ(db->query("SELECT * FROM LINHAS WHERE ARTIGO = 'PÃO1'")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT count(DISTINCT ARTIGO) AS N FROM (SELECT ARTIGO FROM LINHAS UNION ALL "
                      "SELECT CODIGO FROM ARTIGOS)")
                ->value("N"),
            Variant(std::int32_t{7}));
}

TEST_F(CodeCollation, TheDatabaseTheRecordsetAndTheOrderingHelperAgree) {
  auto sorted = db->query("SELECT CODIGO FROM ARTIGOS ORDER BY CODIGO");
  std::vector<std::string> byDatabase;
  for (sorted->moveFirst(); !sorted->eof(); sorted->moveNext())
    byDatabase.push_back(sorted->value("CODIGO").stringValue());
  std::vector<std::string> byHelper = byDatabase;
  std::stable_sort(byHelper.begin(), byHelper.end(),
                   [](const std::string& a, const std::string& b) { return compareTextNoCase(a, b) < 0; });
  EXPECT_EQ(byHelper, byDatabase);

  auto rs = db->query("SELECT * FROM ARTIGOS");
  rs->setSort("CODIGO DESC");
  std::vector<std::string> byRecordset;
  for (rs->moveFirst(); !rs->eof(); rs->moveNext()) byRecordset.push_back(rs->value("CODIGO").stringValue());
  EXPECT_EQ(byRecordset, std::vector<std::string>(byDatabase.rbegin(), byDatabase.rend()));
  for (const char* criteria : {"CODIGO = 'pÃO1'", "CODIGO = 'v99'", "CODIGO LIKE 'pã*'", "NOME LIKE '*ÚCAR'"}) {
    rs->setFilter(criteria);
    EXPECT_EQ(rs->recordCount(), 1) << criteria;
  }

  // Each pair of codes compares as the database compares it.
  const std::vector<std::string> codes = {"Pão1", "PÃO1", "pao1", "V99", "v99  ", "Œuf", "œuf", "ÿ1", "Ÿ1", "Z", "a"};
  for (const auto& a : codes)
    for (const auto& b : codes) {
      auto sql = db->query(std::string("SELECT (? = ? COLLATE ") + kCodeCollation + ") AS EQ, (? < ? COLLATE " +
                               kCodeCollation + ") AS LT",
                           {Variant(a), Variant(b), Variant(a), Variant(b)});
      const int order = compareTextNoCase(a, b);
      EXPECT_EQ(vb::CDbl(sql->value("EQ")) != 0, order == 0) << a << " / " << b;
      EXPECT_EQ(vb::CDbl(sql->value("LT")) != 0, order < 0) << a << " / " << b;
    }
}

TEST_F(CodeCollation, TSqlTextColumnsTakeTheCodeCollationUnlessTheyAskForAnother) {
  db->execute(
      "CREATE TABLE [dbo].[U_T]([A] [nvarchar](6) COLLATE Latin1_General_CI_AS NOT NULL, [B] [nvarchar](6) NULL,"
      " [C] [int] NULL, [D] [nvarchar](6) COLLATE Latin1_General_BIN NULL) ON [PRIMARY]");
  db->execute("INSERT INTO U_T (A, B, C, D) VALUES ('Ção', 'Ção', 1, 'Ção')");
  EXPECT_EQ(db->query("SELECT * FROM U_T WHERE A = 'çÃO'")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT * FROM U_T WHERE B = 'çÃO '")->recordCount(), 1);
  EXPECT_EQ(db->query("SELECT * FROM U_T WHERE D = 'çÃO'")->recordCount(), 0);
  EXPECT_EQ(db->query("SELECT * FROM U_T WHERE D = 'Ção'")->recordCount(), 1);
}

// The plain sqlite3 shell does not know the collation: it still reads every
// row and compares codes when told how, but it refuses to compare them by
// another rule or to change a table keyed by them. With the collation's
// extension loaded (".load libquill_collation") it does all, as Quill does.
TEST_F(CodeCollation, AToolWithoutTheCollationReadsTheRowsButChangesNoCodesUnlessItLoadsIt) {
  db->close();
  sqlite3* plain = nullptr;
  ASSERT_EQ(sqlite3_open_v2(file.c_str(), &plain, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  // The first column of every row, or the error.
  auto run = [&](const char* sql) {
    char* error = nullptr;
    std::string out;
    int rc = sqlite3_exec(
        plain, sql,
        [](void* o, int, char** values, char**) {
          auto& text = *static_cast<std::string*>(o);
          text += (text.empty() ? "" : ",") + std::string(values[0] ? values[0] : "NULL");
          return 0;
        },
        &out, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    return rc == SQLITE_OK ? out : message;
  };
  EXPECT_EQ(run("SELECT count(NOME) FROM ARTIGOS"), "6");
  // Counting rows reads the key's index, which needs the collation.
  EXPECT_EQ(run("SELECT count(*) FROM ARTIGOS"), "no such collation sequence: QUILL_CI_AS");
  EXPECT_EQ(run("SELECT NOME FROM ARTIGOS WHERE CODIGO COLLATE NOCASE = 'pão1'"), "Pão");
  EXPECT_EQ(run("SELECT * FROM ARTIGOS WHERE CODIGO = 'Pão1'"), "no such collation sequence: QUILL_CI_AS");
  EXPECT_EQ(run("INSERT INTO ARTIGOS VALUES ('pão1', 'duplicado')"), "no such collation sequence: QUILL_CI_AS");

  ASSERT_EQ(sqlite3_enable_load_extension(plain, 1), SQLITE_OK);
  char* error = nullptr;
  ASSERT_EQ(sqlite3_load_extension(plain, QUILL_COLLATION_EXTENSION, nullptr, &error), SQLITE_OK) << error;
  EXPECT_EQ(run("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'pÃO1 '"), "Pão");
  EXPECT_EQ(run("INSERT INTO ARTIGOS VALUES ('pão1', 'duplicado')"), "UNIQUE constraint failed: ARTIGOS.CODIGO");
  EXPECT_EQ(run("INSERT INTO ARTIGOS VALUES ('Pãozinho', 'novo')"), "");
  EXPECT_EQ(run("PRAGMA integrity_check"), "ok");
  sqlite3_close(plain);
}

}  // namespace
}  // namespace quill::sql

// The server backend saves round trips where the embedded database has none
// to save: a committed savepoint is released together with the next one,
// and an insert of one row answers the number the server gave it. Each
// behaviour runs on both backends and must come out the same.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sql/Recordset.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill::sql {
namespace {

using testing::Backend;
using testing::BackendTest;

const char* kTables = R"(
CREATE TABLE [dbo].[U_qor_ComMensais](
  [Id] [int] IDENTITY(1,1) NOT NULL,
  [Vendedor] [nvarchar](10) COLLATE Latin1_General_CI_AS NULL,
  CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED ([Id] ASC)
) ON [PRIMARY];
CREATE TABLE [dbo].[U_QOR_MARCAS](
  [CODIGO] [nvarchar](10) COLLATE Latin1_General_CI_AS NOT NULL,
  CONSTRAINT [PK_U_QOR_MARCAS] PRIMARY KEY CLUSTERED ([CODIGO] ASC)
) ON [PRIMARY]
)";

class Writes : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    if (db) db->execute(kTables);
  }

  std::string marks() {
    std::string out;
    auto rs = db->query("SELECT CODIGO FROM U_QOR_MARCAS ORDER BY CODIGO");
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) out += rs->value("CODIGO").stringValue();
    return out;
  }
};

// Steps of transactions: "B" begins one (nested in the open ones), "C"
// commits the innermost, "R" rolls it back (its guard goes uncommitted),
// "+X" writes the row X.
struct Steps {
  const char* name;
  const char* steps;
  const char* kept;  // the rows in the table at the end
};

const Steps kSteps[] = {
    {"savepoints one after another", "B B +A C B +B R B +C C C", "AC"},
    {"a committed savepoint goes with the transaction's rollback", "B B +A C R", ""},
    {"a committed inner savepoint goes with its rolled-back parent", "B B B +A C R B +B C C", "B"},
    {"released at two depths, then a new savepoint", "B B B +A C C B +B C C", "AB"},
    {"writes between savepoints", "B +A B +B C +C B +D R C", "ABC"},
    {"a rollback right after a commit at the same depth", "B B +A C B R +B C", "AB"},
    {"three deep, each committed", "B B +A B +B B +C C C C C", "ABC"},
    {"a savepoint a rollback ended is not released again", "B B B +A C R B B +B C C C", "B"},
};

TEST_P(Writes, NestedTransactionsKeepExactlyWhatTheirLevelsCommitted) {
  for (const auto& c : kSteps) {
    db->execute("DELETE FROM U_QOR_MARCAS");
    std::vector<std::unique_ptr<Transaction>> open;
    std::istringstream in(c.steps);
    for (std::string step; in >> step;) {
      if (step == "B") {
        open.push_back(std::make_unique<Transaction>(*db));
      } else if (step == "C") {
        open.back()->commit();
        open.pop_back();
      } else if (step == "R") {
        open.pop_back();
      } else {
        db->execute("INSERT U_QOR_MARCAS (CODIGO) VALUES ('" + step.substr(1) + "')");
      }
    }
    ASSERT_TRUE(open.empty()) << c.name;
    EXPECT_EQ(marks(), c.kept) << c.name;
  }
}

TEST_P(Writes, TheNumberOfANewRowComesBackHoweverTheInsertIsWritten) {
  auto idOf = [&](const std::string& vendedor) {
    auto rs = db->query("SELECT MAX(Id) FROM U_qor_ComMensais WHERE Vendedor = ?", {Variant(vendedor)});
    return vb::CLng(rs->value(std::size_t{0}));
  };
  struct Insert {
    const char* statement;
    const char* lastRow;  // the seller of the row whose number comes back
  };
  const Insert inserts[] = {
      {"INSERT U_qor_ComMensais (Vendedor) VALUES ('V1')", "V1"},
      {"INSERT INTO U_qor_ComMensais (Vendedor) VALUES ('O''Neil');", "O'Neil"},
      {"INSERT INTO [dbo].[U_qor_ComMensais] ([Vendedor]) VALUES ('V2'), ('V3')", "V3"},
      {"INSERT U_qor_ComMensais (Vendedor) SELECT 'V4'", "V4"},
      {"INSERT U_qor_ComMensais (Vendedor) VALUES ('V1')", "V1"},  // a text seen before
  };
  for (const auto& insert : inserts) {
    db->execute(insert.statement);
    EXPECT_EQ(db->lastInsertId(), idOf(insert.lastRow)) << insert.statement;
  }

  // A row of defaults, inside a transaction.
  Transaction transaction(*db);
  db->execute("INSERT INTO U_qor_ComMensais DEFAULT VALUES");
  auto newest = db->query("SELECT MAX(Id) FROM U_qor_ComMensais");
  EXPECT_EQ(db->lastInsertId(), vb::CLng(newest->value(std::size_t{0})));
  transaction.commit();

  // A query of an insert's text answers no columns, as on the embedded database.
  EXPECT_EQ(db->query("INSERT U_qor_ComMensais (Vendedor) VALUES ('V1')")->fieldCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(, Writes, ::testing::Values(Backend::Embedded, Backend::Server), testing::backendName);

}  // namespace
}  // namespace quill::sql

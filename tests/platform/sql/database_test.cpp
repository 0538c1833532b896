// The raw tier: database files, statements that finalize themselves, the
// transaction guard on a bare database.

#include "platform/sql/Database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>

#include "platform/sql/SqlError.h"
#include "platform/sql/Statement.h"
#include "platform/sql/Transaction.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill::sql {
namespace {

using testing::errorNumberOf;
using testing::TempFolder;

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.exec("CREATE TABLE T (K INTEGER PRIMARY KEY, V TEXT NOT NULL); INSERT INTO T VALUES (1, 'um'), (2, 'dois');");
  }
  // Statements the database still holds: none once every Statement is gone.
  int liveStatements() const {
    int count = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(db.handle(), nullptr); s; s = sqlite3_next_stmt(db.handle(), s)) ++count;
    return count;
  }
  std::int64_t rows(const char* where = "1") {
    return db.scalarInt(std::string("SELECT count(*) FROM T WHERE ") + where);
  }

  TempFolder folder;
  std::filesystem::path file = folder.path() / "raw.db";
  Database db{file, Database::Mode::Create};
};

TEST_F(DatabaseTest, NoStatementOutlivesAnErrorBetweenPreparingAndFinishing) {
  struct Case {
    const char* what;
    std::function<void()> run;
    std::int32_t number;
  };
  const Case cases[] = {
      {"unknown table", [&] { db.prepare("SELECT * FROM MISSING"); }, sqlerr::NoTable},
      {"syntax", [&] { db.prepare("SELEC 1"); }, sqlerr::ErrorsInCommand},
      {"a second statement fails after a first one is prepared",
       [&] {
         Statement first = db.prepare("SELECT V FROM T ORDER BY K");
         ASSERT_TRUE(first.step());
         db.prepare("SELECT * FROM MISSING");
       },
       sqlerr::NoTable},
      {"a step breaks a rule", [&] { db.prepare("INSERT INTO T VALUES (1, 'outro')").run(); },
       sqlerr::IntegrityViolation},
      {"a bound value breaks a rule", [&] { db.prepare("INSERT INTO T VALUES (?1, ?2)").bind(1, 3).bindNull(2).run(); },
       sqlerr::IntegrityViolation},
      {"an error of the caller's own while rows are read",
       [&] {
         Statement reading = db.prepare("SELECT V FROM T");
         while (reading.step()) throw AutomationError(5, "test", "caller failed");
       },
       5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(errorNumberOf(c.run), c.number) << c.what;
    EXPECT_EQ(liveStatements(), 0) << c.what;
  }
  EXPECT_EQ(rows(), 2);
}

TEST_F(DatabaseTest, StatementsBindReadAndRunAgain) {
  Statement insert = db.prepare("INSERT INTO T (K, V) VALUES (?1, ?2)");
  insert.bindAll(3, "três").run();
  insert.bindAll(4, std::string("quatro")).run();
  Statement read = db.prepare("SELECT V, K * 1.5, NULL FROM T WHERE K >= ?1 ORDER BY K");
  read.bind(1, 3);
  ASSERT_TRUE(read.step());
  EXPECT_EQ(read.text(0), "três");
  EXPECT_DOUBLE_EQ(read.real(1), 4.5);
  EXPECT_FALSE(read.optionalText(2));
  ASSERT_TRUE(read.step());
  EXPECT_EQ(read.integer(1), 6);
  EXPECT_FALSE(read.step());
  EXPECT_EQ(db.scalarInt("SELECT max(K) FROM T"), 4);
  EXPECT_EQ(db.lastInsertId(), 4);
}

TEST_F(DatabaseTest, TheTransactionGuardRollsBackUnlessCommittedAndNests) {
  try {
    Transaction transaction(db);
    db.exec("INSERT INTO T VALUES (10, 'dez')");
    db.exec("INSERT INTO T VALUES (1, 'repetida')");
    transaction.commit();
  } catch (const AutomationError&) {
  }
  EXPECT_EQ(rows("K = 10"), 0);
  {
    Transaction outer(db);
    db.exec("INSERT INTO T VALUES (11, 'onze')");
    {
      Transaction inner(db);
      db.exec("INSERT INTO T VALUES (12, 'doze')");
    }
    outer.commit();
  }
  Database reopened(file, Database::Mode::ReadOnly);
  EXPECT_EQ(reopened.scalarInt("SELECT count(*) FROM T WHERE K IN (11, 12)"), 1);
}

TEST_F(DatabaseTest, OpeningSaysWhyAFileCannotServe) {
  std::ofstream(folder.path() / "text.db")
      << "this is not a database, only some text that is long enough to be a header";
  struct Case {
    std::filesystem::path file;
    Database::Mode mode;
    const char* expected;
  };
  const Case cases[] = {
      {folder.path() / "missing.db", Database::Mode::ReadOnly, "does not exist"},
      {folder.path() / "missing.db", Database::Mode::ReadWrite, "does not exist"},
      {folder.path() / "text.db", Database::Mode::ReadWrite, "not a database"},
  };
  for (const auto& c : cases) {
    std::string description;
    EXPECT_NE(errorNumberOf([&] { Database(c.file, c.mode); }, &description), 0) << c.file;
    EXPECT_NE(description.find(c.expected), std::string::npos) << description;
    EXPECT_NE(description.find(c.file.filename().string()), std::string::npos) << description;
  }
  Database readOnly(file, Database::Mode::ReadOnly);
  EXPECT_NE(errorNumberOf([&] { readOnly.exec("DELETE FROM T"); }), 0);
  db.close();
  EXPECT_EQ(errorNumberOf([&] { db.exec("SELECT 1"); }), sqlerr::ObjectClosed);
}

}  // namespace
}  // namespace quill::sql

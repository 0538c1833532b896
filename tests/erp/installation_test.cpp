#include "erp/Installation.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <fstream>

#include "erp/CompanyDatabase.h"
#include "erp/DemoCodes.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Database.h"
#include "tests/erp/ErpTestSupport.h"

namespace quill::erp {
namespace {

namespace fs = std::filesystem;

TEST(Installation, FindsTheCompanyByCodeWithoutRegardToCaseOrSurroundingBlanks) {
  auto installation = Installation::open(test::demoInstallationFolder());
  for (std::string code : {"DEMO", "demo", "Demo", " DEMO ", "\tdemo"}) {
    auto company = installation.findCompany(code);
    ASSERT_TRUE(company) << "[" << code << "]";
    EXPECT_EQ(company->code, demo::kCompanyCode);
    EXPECT_EQ(company->databaseName, demo::kDatabaseName);
    EXPECT_EQ(company->databaseFile(), test::demoCompany().databaseFile());
    EXPECT_TRUE(fs::is_regular_file(company->databaseFile()));
  }
  for (std::string code : {"", " ", "DEM", "DEMO2", "DE MO", "'DEMO'", "DEMO' OR '1'='1"})
    EXPECT_FALSE(installation.findCompany(code)) << "[" << code << "]";
}

TEST(Installation, LoginNeedsAKnownUserAndTheExactPassword) {
  struct Case {
    std::string login, password;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {std::string(demo::kLogin), std::string(demo::kPassword), true},
      {"QUILL", std::string(demo::kPassword), true},  // logins ignore case
      {std::string(demo::kLogin), "QUILL", false},    // passwords do not
      {std::string(demo::kLogin), "", false},
      {std::string(demo::kLogin), "quill ", false},
      {"nobody", std::string(demo::kPassword), false},
      {"", "", false},
      {"quill' --", "", false},
  };
  auto installation = Installation::open(test::demoInstallationFolder());
  for (const auto& c : cases)
    EXPECT_EQ(installation.checkLogin(c.login, c.password), c.accepted) << c.login << " / " << c.password;
}

TEST(Installation, OpeningWhatIsNotAnInstallationFailsWithAClearError) {
  test::TempFolder folder("erp-bad-install");
  fs::create_directories(folder / "empty");
  fs::create_directories(folder / "garbage");
  std::ofstream(folder / "garbage" / "ERP.db") << "this is not a database, just some text that is long enough";
  fs::create_directories(folder / "other");
  { sql::Database(folder / "other" / "ERP.db", sql::Database::Mode::Create).exec("CREATE TABLE X (A)"); }

  struct Case {
    fs::path path;
    const char* expected;  // part of the description
  };
  const std::vector<Case> cases = {
      {folder / "missing", "não existe"},      {folder / "empty", "ERP.db"}, {folder / "garbage", "não pode ser lido"},
      {folder / "other", "não pode ser lido"}, {"", "não existe"},
  };
  for (const auto& c : cases) {
    try {
      Installation::open(c.path);
      ADD_FAILURE() << c.path << " opened";
    } catch (const AutomationError& e) {
      EXPECT_NE(e.description().find(c.expected), std::string::npos) << e.description();
    }
  }
  EXPECT_FALSE(Installation::exists(folder / "empty"));
}

TEST(Installation, CreatesAnEmptyCompanyWithItsParametersAndRefusesASecondOne) {
  test::TempFolder folder("erp-new-company");
  auto installation = Installation::create(folder / "erp");
  NewCompany setup;
  setup.code = "ACME";
  setup.name = "Acme, Lda.";
  setup.databaseName = "ACMEDB";
  setup.linkedToAccounting = true;
  auto company = installation.createCompany(setup);

  EXPECT_EQ(company.databaseFile(), folder / "erp" / "dados" / "ACMEDB.db");
  ASSERT_TRUE(installation.findCompany("acme"));
  auto db = company.databaseFile();
  EXPECT_EQ(test::scalar(db,
                         "SELECT count(*) FROM PARAMETROS WHERE MOEDANAC = 'EUR' AND RGIVANAC = 'CONT' AND "
                         "LIGACTB = -1"),
            1);
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM RGIVA WHERE CODIGO = 'CONT' AND TX3 = 23"), 1);
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM ARTIGOS"), 0);
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM U_QOR_PRECOS"), 0);
  EXPECT_EQ(test::scalar(db, "SELECT count(*) FROM sqlite_master WHERE name = 'IX_DOCGCLIN_VENDEDOR'"), 1);

  auto before = test::databaseDigest(db);
  setup.name = "Outra";
  EXPECT_THROW(installation.createCompany(setup), AutomationError);
  setup.code = "OTHER";  // a new code on the same database file
  EXPECT_THROW(installation.createCompany(setup), AutomationError);
  EXPECT_EQ(test::databaseDigest(db), before);
  EXPECT_FALSE(installation.findCompany("OTHER"));
}

TEST(Installation, RefusesDatabaseNamesThatAreNotPlainFileNames) {
  test::TempFolder folder("erp-bad-name");
  auto installation = Installation::create(folder.path());
  int n = 0;
  for (std::string name : {"", ".", "..", "../escape", "a/b", "a\\b", "C:x", " lead", "trail "}) {
    NewCompany setup;
    setup.code = fmt::format("C{}", ++n);
    setup.databaseName = name;
    EXPECT_THROW(installation.createCompany(setup), AutomationError) << "[" << name << "]";
    EXPECT_FALSE(installation.findCompany(setup.code));
  }
  EXPECT_FALSE(fs::exists(folder.path().parent_path() / "escape.db"));
  EXPECT_TRUE(fs::is_empty(installation.dataFolder()));
}

TEST(Installation, AMovedInstallationStillFindsItsCompanies) {
  test::TempFolder folder("erp-moved");
  {
    auto installation = Installation::create(folder / "first");
    NewCompany setup;
    setup.code = "MOVE";
    setup.databaseName = "MOVEDB";
    installation.createCompany(setup);
    // A company kept outside the installation keeps its absolute folder; one
    // kept in the installation folder itself moves with it.
    installation.registerCompany({"FAR", "Longe", folder / "elsewhere", "FARDB"});
    installation.registerCompany({"HERE", "Aqui", folder / "first", "HEREDB"});
  }
  fs::copy(folder / "first", folder / "second", fs::copy_options::recursive);
  fs::remove_all(folder / "first");
  auto moved = Installation::open(folder / "second");
  auto company = moved.findCompany("MOVE");
  ASSERT_TRUE(company);
  EXPECT_EQ(company->databaseFile(), folder / "second" / "dados" / "MOVEDB.db");
  EXPECT_TRUE(fs::is_regular_file(company->databaseFile()));
  auto far = moved.findCompany("far");
  ASSERT_TRUE(far);
  EXPECT_EQ(far->dataFolder, folder / "elsewhere");
  EXPECT_EQ(moved.findCompany("HERE")->dataFolder, folder / "second");
  EXPECT_EQ(moved.companies().size(), 3u);
}

// A registry written before companies could be on a server has no columns
// for the server: its companies read as files, and registering a company on
// a server adds them.
TEST(Installation, ARegistryWithoutServerColumnsReadsAndTakesACompanyOnAServer) {
  test::TempFolder folder("erp-old-registry");
  fs::create_directories(folder / "dados");
  {
    sql::Database db(folder / "ERP.db", sql::Database::Mode::Create);
    db.exec(
        "CREATE TABLE EMPRESAS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, NOME TEXT, PASTADADOS TEXT, "
        "BASEDADOS TEXT NOT NULL); CREATE TABLE UTILIZADORES (LOGIN TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, "
        "NOME TEXT, PASSWORD TEXT NOT NULL, INACTIVO INTEGER NOT NULL DEFAULT 0); "
        "INSERT INTO EMPRESAS VALUES ('OLD', 'Antiga', 'dados', 'OLDDB')");
  }
  auto installation = Installation::open(folder.path());
  auto old = installation.findCompany("old");
  ASSERT_TRUE(old);
  EXPECT_FALSE(old->onServer());
  EXPECT_EQ(old->databaseFile(), folder / "dados" / "OLDDB.db");

  CompanyEntry remote{"SRV", "No servidor", folder / "dados", "quill_srv", "db.example:5433", "quill", "it's"};
  installation.registerCompany(remote);
  EXPECT_EQ(installation.findCompany("srv"), remote);
  EXPECT_EQ(remote.dataSource(), "db.example:5433");
  EXPECT_EQ(describeCompanyDatabase(remote), "db.example:5433/quill_srv");
  EXPECT_EQ(installation.findCompany("OLD"), old);
  EXPECT_EQ(installation.companies().size(), 2u);
}

}  // namespace
}  // namespace quill::erp

#include "extension/components/DataAccess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/sql/Transaction.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/BackendTestSupport.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill {
namespace {

using sql::Recordset;
using sql::RowState;
using sql::testing::createDatabase;
using sql::testing::errorNumberOf;
using sql::testing::TempFolder;

const char* kCompany =
    "CREATE TABLE ARTIGOS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, NOME TEXT, PVPSIVA REAL, "
    "  INACTIVO INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE U_ARTIGOS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, PRECOFIXO INTEGER);"
    "CREATE TABLE CLIENTES (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, NOME TEXT);"
    "CREATE TABLE U_QOR_PRECOS (ARTIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, DATAACTIVACAO DATETIME, "
    "  PVP1SIVA REAL CHECK (PVP1SIVA >= 0), PVP1CIVA REAL, DATAACTUALIZACAO DATETIME, HPVP1SIVA REAL);"
    "CREATE TABLE U_QOR_GRUPOSDESCONTO (CLIENTE TEXT COLLATE NOCASE NOT NULL, GRUPO TEXT COLLATE NOCASE NOT NULL, "
    "  DESCONTO REAL, CONSTRAINT PK_GD PRIMARY KEY (CLIENTE, GRUPO));"
    "CREATE TABLE SEMCHAVE (A TEXT);"
    "INSERT INTO ARTIGOS VALUES ('A1', 'Milho', 10, 0), ('A2', 'Trigo', 20, 0), ('A3', 'Cevada', 30, -1);"
    "INSERT INTO U_ARTIGOS VALUES ('A1', 0), ('A2', -1);"
    "INSERT INTO U_QOR_PRECOS VALUES ('A1', '2026-01-01 00:00:00', 10, 12.3, '2026-01-01 00:00:00', 9),"
    "  ('A2', '2026-02-01 00:00:00', 20, 24.6, '2026-02-01 00:00:00', 19);"
    "INSERT INTO U_QOR_GRUPOSDESCONTO VALUES ('C1', 'G1', 1.5), ('C1', 'G2', 0.5);"
    "INSERT INTO SEMCHAVE VALUES ('x');";

std::string connectionString(const std::filesystem::path& folder, std::string_view database = "EMPRESA") {
  return "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + folder.string() +
         ";Initial Catalog=" + std::string(database) + ";User Id=sa;Password=segredo; ";
}

class DataAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    createDatabase(folder.path() / "EMPRESA.db", kCompany)->close();
    ASSERT_TRUE(data.OpenConnection(connectionString(folder.path()))) << data.lastError();
  }

  // What another user sees: a connection of its own, opened afresh.
  std::shared_ptr<Recordset> reread(const std::string& sql) {
    DataAccess other;
    EXPECT_TRUE(other.OpenConnection(connectionString(folder.path()))) << other.lastError();
    return other.OpenRecordset(sql);
  }

  TempFolder folder;
  DataAccess data;
};

TEST_F(DataAccessTest, OpensTheDatabaseNamedByTheConnectionStringsTheExtensionBuilds) {
  const std::string server = folder.path().string();
  const std::string good[] = {
      connectionString(folder.path()),
      "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + server +
          ";Initial Catalog=EMPRESA;Integrated Security=SSPI;",
      "  provider = MSDataShape ;DATA SOURCE= " + server + " ;initial catalog=empresa",
      "Data Source=\"" + server + "\";Initial Catalog='EMPRESA';Password=\"a;b\"\"c\";;",
  };
  for (const auto& text : good) {
    DataAccess d;
    EXPECT_TRUE(d.OpenConnection(text)) << text << ": " << d.lastError();
    EXPECT_TRUE(d.lastError().empty());
    EXPECT_EQ(d.OpenRecordset("SELECT * FROM ARTIGOS")->recordCount(), 3);
  }
}

TEST_F(DataAccessTest, AnythingElseAnswersFalseWithAReason) {
  std::ofstream(folder.path() / "ESTRAGADA.db")
      << "not a database at all, just some words in a file that is big enough";
  std::filesystem::create_directories(folder.path() / "sub");
  std::ofstream(folder.path() / "VAZIA.db");  // 0 bytes: SQLite would open it as an empty database
  createDatabase(folder.path() / "AGENDA.db", "CREATE TABLE CONTACTOS (NOME TEXT); INSERT INTO CONTACTOS VALUES ('x');")
      ->close();
  const std::string server = folder.path().string();
  struct Case {
    std::string text;
    const char* reason;
  } cases[] = {
      {"", "names no server"},
      {"garbage", "no \"=\""},
      {"Data Source=" + server + ";Initial Catalog", "no \"=\""},
      {"=x;Data Source=" + server, "no name"},
      {"Data Source=\"" + server + ";Initial Catalog=EMPRESA", "unclosed quote"},
      {"Initial Catalog=EMPRESA", "names no server"},
      {"Data Source=" + server, "names no database"},
      {"Data Source=SRVSQL01.invalid;Initial Catalog=EMPRESA", "cannot be reached"},
      {"Data Source=" + server + "/nowhere;Initial Catalog=EMPRESA", "not a folder"},
      {"Data Source=" + server + ";Initial Catalog=OUTRA", "does not exist"},
      {"Data Source=" + server + ";Initial Catalog=ESTRAGADA", "not a database"},
      {"Data Source=" + server + ";Initial Catalog=VAZIA",
       "is not a company database: it has no table ARTIGOS, CLIENTES"},
      {"Data Source=" + server + ";Initial Catalog=AGENDA", "is not a company database"},
      {"Data Source=" + server + "/sub;Initial Catalog=../EMPRESA", "not valid"},
      {"Data Source=" + server + ";Initial Catalog=A;Initial Catalog=B", "twice"},
  };
  for (const auto& c : cases) {
    DataAccess d;
    EXPECT_FALSE(d.OpenConnection(c.text)) << c.text;
    EXPECT_NE(d.lastError().find(c.reason), std::string::npos) << c.text << " -> " << d.lastError();
    EXPECT_EQ(errorNumberOf([&] { d.OpenRecordset("SELECT 1"); }), sql::sqlerr::ObjectClosed) << c.text;
  }
  // Refusing a file changes nothing in it.
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "VAZIA.db"), 0u);
}

TEST_F(DataAccessTest, SavingWritesAddedChangedAndDeletedRowsToTheirTable) {
  auto rs = data.OpenRecordset("SELECT * FROM U_QOR_PRECOS ORDER BY ARTIGO");
  rs->setValue("PVP1SIVA", Variant(11.5));
  rs->setValue("DATAACTUALIZACAO", Variant("07-12-2026"));  // the text the price window writes
  rs->update();
  rs->moveNext();
  rs->deleteCurrent();
  rs->addNew();
  rs->setValue("ARTIGO", Variant("A3"));
  rs->setValue("DATAACTIVACAO", Variant(vb::makeDate(2026, 5, 1, 9, 30, 0)));
  rs->setValue("PVP1SIVA", Variant("30,5"));  // text of the regional form
  rs->update();
  data.SaveRecordset(*rs);

  EXPECT_FALSE(rs->hasPendingChanges());
  rs->moveFirst();
  EXPECT_EQ(rs->value("DATAACTUALIZACAO"), Variant(vb::makeDate(2026, 12, 7)));  // now as stored
  EXPECT_EQ(rs->recordCount(), 2);

  auto saved = reread("SELECT * FROM U_QOR_PRECOS ORDER BY ARTIGO");
  ASSERT_EQ(saved->recordCount(), 2);
  EXPECT_EQ(saved->value("ARTIGO"), Variant("A1"));
  EXPECT_EQ(saved->value("PVP1SIVA"), Variant(11.5));
  EXPECT_EQ(saved->value("PVP1CIVA"), Variant(12.3));  // not written, unchanged
  EXPECT_EQ(saved->value("DATAACTUALIZACAO"), Variant(vb::makeDate(2026, 12, 7)));
  saved->moveNext();
  EXPECT_EQ(saved->value("ARTIGO"), Variant("A3"));
  EXPECT_EQ(saved->value("PVP1SIVA"), Variant(30.5));
  EXPECT_EQ(saved->value("DATAACTIVACAO"), Variant(vb::makeDate(2026, 5, 1, 9, 30, 0)));
  EXPECT_TRUE(saved->value("PVP1CIVA").isNull());
  EXPECT_EQ(reread("SELECT DATAACTIVACAO FROM U_QOR_PRECOS WHERE DATAACTIVACAO = '2026-05-01 09:30:00'")->recordCount(),
            1);
}

TEST_F(DataAccessTest, AJoinWritesOnlyTheTableWhoseColumnsChanged) {
  auto rs = data.OpenRecordset(
      "SELECT       * FROM         ARTIGOS LEFT OUTER JOIN                 U_ARTIGOS ON ARTIGOS.CODIGO = "
      "U_ARTIGOS.CODIGO WHERE        (ARTIGOS.CODIGO = 'a1') ");
  // Another user renames the article meanwhile; our save must not undo it.
  data.Execute("UPDATE ARTIGOS SET NOME = 'Milho amarelo' WHERE CODIGO = 'A1'");
  rs->setValue("PRECOFIXO", Variant(std::int32_t{-1}));
  rs->update();
  data.SaveRecordset(*rs);
  auto saved = reread(
      "SELECT * FROM ARTIGOS LEFT JOIN U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO "
      "WHERE ARTIGOS.CODIGO = 'A1'");
  EXPECT_EQ(saved->value("NOME"), Variant("Milho amarelo"));
  EXPECT_EQ(saved->value("PRECOFIXO"), Variant(std::int32_t{-1}));
}

TEST_F(DataAccessTest, AnAliasOfAColumnIsWrittenOnlyWhenItIsTheFieldThatChanged) {
  const char* query =
      "SELECT U_QOR_PRECOS.ARTIGO, U_QOR_PRECOS.PVP1SIVA, U_QOR_PRECOS.PVP1SIVA AS PVP1SIVANEW, "
      "U_QOR_PRECOS.HPVP1SIVA FROM U_QOR_PRECOS INNER JOIN ARTIGOS ON U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO "
      "WHERE U_QOR_PRECOS.ARTIGO = 'A1'";
  auto rs = data.OpenRecordset(query);
  rs->setValue("HPVP1SIVA", rs->value("PVP1SIVA"));
  rs->setValue("PVP1SIVA", Variant(15.0));
  rs->update();
  data.SaveRecordset(*rs);
  auto saved = reread(query);
  EXPECT_EQ(saved->value("PVP1SIVA"), Variant(15.0));
  EXPECT_EQ(saved->value("HPVP1SIVA"), Variant(10.0));

  // Both fields written with different values: nothing is saved.
  rs = data.OpenRecordset(query);
  rs->setValue("PVP1SIVA", Variant(16.0));
  rs->setValue("PVP1SIVANEW", Variant(17.0));
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::InvalidArgument);
  EXPECT_EQ(reread(query)->value("PVP1SIVA"), Variant(15.0));
}

TEST_F(DataAccessTest, AFailureInTheMiddleOfASaveWritesNothing) {
  auto rs = data.OpenRecordset("SELECT * FROM U_QOR_PRECOS ORDER BY ARTIGO");
  rs->setValue("PVP1SIVA", Variant(99.0));
  rs->moveNext();
  rs->setValue("PVP1SIVA", Variant(-1.0));  // refused by the table
  rs->update();
  rs->addNew();
  rs->setValue("ARTIGO", Variant("A9"));
  rs->update();
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::IntegrityViolation);
  EXPECT_TRUE(rs->hasPendingChanges());
  auto saved = reread("SELECT * FROM U_QOR_PRECOS ORDER BY ARTIGO");
  EXPECT_EQ(saved->recordCount(), 2);
  EXPECT_EQ(saved->value("PVP1SIVA"), Variant(10.0));
  // Corrected, the same recordset saves.
  rs->moveFirst();
  rs->moveNext();
  rs->setValue("PVP1SIVA", Variant(21.0));
  data.SaveRecordset(*rs);
  EXPECT_EQ(reread("SELECT * FROM U_QOR_PRECOS")->recordCount(), 3);
}

TEST_F(DataAccessTest, ASaveWhileAnotherUserWritesWaitsThenFailsKeepingTheChanges) {
  auto rs = data.OpenRecordset("SELECT * FROM U_QOR_PRECOS ORDER BY ARTIGO");
  rs->setValue("PVP1SIVA", Variant(55.0));
  rs->update();
  data.GetConnection()->setBusyTimeout(std::chrono::milliseconds(200));
  auto other = sql::Connection::open(folder.path() / "EMPRESA.db");
  {
    sql::Transaction writing(*other);
    other->execute("UPDATE ARTIGOS SET NOME = 'Outro' WHERE CODIGO = 'A3'");
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }, &description), sql::sqlerr::Failed);
    EXPECT_NE(description.find("in use by another user"), std::string::npos) << description;
    EXPECT_TRUE(rs->hasPendingChanges());
    writing.commit();
  }
  data.SaveRecordset(*rs);  // the same changes, once the other user is done
  EXPECT_EQ(reread("SELECT PVP1SIVA FROM U_QOR_PRECOS WHERE ARTIGO = 'A1'")->value(0), Variant(55.0));
  EXPECT_EQ(reread("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'A3'")->value(0), Variant("Outro"));
}

TEST_F(DataAccessTest, RowsThatCannotBeLocatedOrKeyedAreRefused) {
  auto rs = data.OpenRecordset("SELECT * FROM U_QOR_PRECOS WHERE ARTIGO = 'A1'");
  data.Execute("DELETE FROM U_QOR_PRECOS WHERE ARTIGO = 'A1'");
  rs->setValue("PVP1SIVA", Variant(1.0));
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::RowNotFound);

  rs = data.OpenRecordset("SELECT PVP1SIVA FROM U_QOR_PRECOS");  // no key among the fields
  rs->setValue("PVP1SIVA", Variant(1.0));
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::IllegalOperation);

  rs = data.OpenRecordset("SELECT * FROM SEMCHAVE");
  rs->setValue("A", Variant("y"));
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::IllegalOperation);

  rs = data.OpenRecordset("SELECT * FROM ARTIGOS LEFT JOIN U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO");
  rs->deleteCurrent();
  EXPECT_EQ(errorNumberOf([&] { data.SaveRecordset(*rs); }), sql::sqlerr::IllegalOperation);
  EXPECT_EQ(reread("SELECT * FROM ARTIGOS")->recordCount(), 3);
}

TEST_F(DataAccessTest, AnUpdatableRecordsetWritesEachRowAtItsOwnUpdate) {
  data.Execute(
      " CREATE TABLE [dbo].[U_qor_ComMensais]([Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
      "[Mes] [smallint] NULL,[Ano] [smallint] NULL,[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL,"
      "[Comissao] [money] NULL,[ValorBase] [money] NULL,[Id] [int] IDENTITY(1,1) NOT NULL,"
      "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED ( [ID] Asc ) ) ON [PRIMARY]");
  for (int i = 0; i < 2; ++i) {
    auto rs = data.OpenUpdatable("Select * from U_qor_ComMensais where Id=-10");
    EXPECT_EQ(rs->recordCount(), 0);
    rs->addNew();
    rs->setValue("Vendedor", Variant(i == 0 ? "V01" : "V02"));
    rs->setValue("Ano", Variant("2026"));  // the year field's text
    rs->setValue("Mes", Variant(std::int32_t{3}));
    rs->setValue("Grupo", Variant("G1"));
    rs->setValue("Comissao", Variant(2.5));
    rs->setValue("ValorBase", Variant(-120.0));
    rs->update();
    EXPECT_EQ(rs->value("Id"), Variant(std::int32_t{i + 1}));
    EXPECT_EQ(rs->rowState(), RowState::Unchanged);
  }
  auto saved = reread("Select * from U_qor_ComMensais where Ano=2026 and Mes=3 ORDER BY Id");
  ASSERT_EQ(saved->recordCount(), 2);
  EXPECT_EQ(saved->value("Ano"), Variant(std::int16_t{2026}));
  EXPECT_EQ(saved->value("ValorBase"), Variant(-120.0));

  // A refused row stays being edited, so it can be corrected or cancelled.
  auto rs = data.OpenUpdatable("Select * from U_qor_ComMensais where Id=-10");
  rs->addNew();
  rs->setValue("Ano", Variant("dois mil"));
  EXPECT_EQ(errorNumberOf([&] { rs->update(); }), sql::sqlerr::WrongValueType);
  EXPECT_EQ(rs->editMode(), sql::EditMode::Add);
  rs->cancelUpdate();
  EXPECT_EQ(rs->recordCount(), 0);
  data.CloseConnection();
  rs->addNew();
  rs->setValue("Ano", Variant(std::int32_t{2026}));
  EXPECT_EQ(errorNumberOf([&] { rs->update(); }), sql::sqlerr::ObjectClosed);
}

TEST_F(DataAccessTest, CodesWithQuotesDoNotChangeStatementsWhenQuoted) {
  const std::string typed = "C1' OR 'a'='a";
  auto rs =
      data.OpenRecordset("SELECT     * FROM       U_QOR_GRUPOSDESCONTO WHERE      U_QOR_GRUPOSDESCONTO.CLIENTE ='" +
                         sql::sqlQuote(typed) + "' ORDER BY   GRUPO ");
  EXPECT_EQ(rs->recordCount(), 0);
  data.Execute("DELETE  FROM U_QOR_GRUPOSDESCONTO WHERE (CLIENTE = '" + sql::sqlQuote(typed) + "')");
  EXPECT_EQ(reread("SELECT * FROM U_QOR_GRUPOSDESCONTO")->recordCount(), 2);
}

TEST_F(DataAccessTest, TheLateBoundShapesFillTheirByReferenceArguments) {
  auto component = std::make_shared<DataAccess>();
  DispatchPtr d = component;
  EXPECT_EQ(vb::CInt(late::call(d, "OpenConnection", {Variant(connectionString(folder.path()))})), -1);
  EXPECT_EQ(vb::CInt(late::call(d, "OpenConnection", {Variant("Data Source=nowhere")})), 0);
  EXPECT_EQ(vb::CInt(late::call(d, "OpenConnection", {Variant(connectionString(folder.path()))})), -1);

  std::vector<Variant> open{Variant(""), Variant("SELECT * FROM ARTIGOS ORDER BY CODIGO"), Variant(), Variant(true),
                            Variant(false)};
  late::callRef(d, "OpenRecordset", open);
  DispatchPtr rs = requireObject(open[2]);
  EXPECT_EQ(late::get(rs, "RecordCount"), Variant(std::int32_t{3}));
  late::let(requireObject(late::get(rs, "Fields", {Variant("NOME")})), "Value", Variant("Milho novo"));
  late::call(rs, "Update");
  late::call(d, "SaveRecordset", {Variant(""), Variant(rs)});

  late::call(d, "Execute", {Variant(""), Variant("Delete U_QOR_GRUPOSDESCONTO where CLIENTE='C1' AND GRUPO='G2'")});

  std::vector<Variant> updatable{Variant("SELECT * FROM U_QOR_GRUPOSDESCONTO WHERE 1=0"), Variant(),
                                 Variant(std::int32_t{3}), Variant(std::int32_t{-1})};
  late::callRef(d, "OpenUpdatable", updatable);
  DispatchPtr adding = requireObject(updatable[1]);
  late::call(adding, "AddNew");
  Variant cliente[] = {Variant("CLIENTE"), Variant("C2")};
  adding->invoke("", CallKind::PropertyPut, cliente);
  Variant grupo[] = {Variant("GRUPO"), Variant("G1")};
  adding->invoke("", CallKind::PropertyPut, grupo);
  late::call(adding, "Update");

  std::vector<Variant> get{Variant()};
  late::callRef(d, "GetConnection", get);
  DispatchPtr connection = requireObject(get[0]);
  EXPECT_EQ(late::get(connection, "State"), Variant(std::int32_t{1}));
  DispatchPtr counted =
      requireObject(late::call(connection, "Execute", {Variant("SELECT * FROM U_QOR_GRUPOSDESCONTO")}));
  EXPECT_EQ(late::get(counted, "RecordCount"), Variant(std::int32_t{2}));
  EXPECT_EQ(reread("SELECT NOME FROM ARTIGOS WHERE CODIGO = 'A1'")->value("NOME"), Variant("Milho novo"));

  EXPECT_EQ(errorNumberOf([&] {
              late::call(d, "SaveRecordset", {Variant(""), Variant(connection)});
            }),
            vberr::TypeMismatch);
  late::call(d, "CloseConnection");
  EXPECT_EQ(late::get(connection, "State"), Variant(std::int32_t{0}));
  EXPECT_EQ(errorNumberOf([&] {
              late::call(d, "Execute", {Variant(""), Variant("SELECT 1")});
            }),
            sql::sqlerr::ObjectClosed);
  late::call(d, "CloseConnection");  // again: nothing happens
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// "Data Source" naming a server reaches the company database there, with
// the user and password of the string; a refusal is an answer, not a fault.
TEST(DataAccessOnServer, ADataSourceNamingAServerOpensItsDatabaseWithTheStringsLogin) {
  sql::testing::BackendDatabase company(sql::testing::Backend::Server);
  if (!company.available()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  company.connection()->execute(
      "CREATE TABLE U_QOR_GRUPOSDESCONTO (CLIENTE TEXT COLLATE NOCASE NOT NULL, GRUPO TEXT COLLATE NOCASE NOT NULL, "
      "DESCONTO REAL, CONSTRAINT PK_GD PRIMARY KEY (CLIENTE, GRUPO));"
      "INSERT INTO U_QOR_GRUPOSDESCONTO VALUES ('C1', 'G1', 1.5)");
  const auto& server = company.address();
  auto text = [&](const std::string& password) {
    return "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + server.host + ":" +
           std::to_string(server.port) + ";Initial Catalog=" + server.database + ";User ID=" + server.user +
           ";Password=" + password;
  };
  DataAccess data;
  ASSERT_TRUE(data.OpenConnection(text(server.password))) << data.lastError();
  auto rs = data.OpenRecordset("SELECT CLIENTE, GRUPO, DESCONTO FROM U_QOR_GRUPOSDESCONTO WHERE CLIENTE = 'c1'");
  ASSERT_EQ(rs->recordCount(), 1);
  rs->setValue("DESCONTO", Variant(2.0));
  rs->update();
  data.SaveRecordset(*rs);
  EXPECT_EQ(vb::CDbl(company.another()->query("SELECT DESCONTO FROM U_QOR_GRUPOSDESCONTO")->value("DESCONTO")), 2.0);

  DataAccess refused;
  EXPECT_FALSE(refused.OpenConnection(text("wrong")));
  EXPECT_NE(refused.lastError().find("refused the login"), std::string::npos) << refused.lastError();
}

}  // namespace
}  // namespace quill

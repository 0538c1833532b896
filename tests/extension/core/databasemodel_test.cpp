#include "extension/core/DatabaseModel.h"

#include <gtest/gtest.h>

#include "extension/components/DataAccess.h"
#include "platform/sql/Command.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill {
namespace {

using sql::Command;
using sql::DataType;
using sql::testing::createDatabase;
using sql::testing::errorNumberOf;
using sql::testing::TempFolder;

const char* kCompany =
    "CREATE TABLE CLIENTES (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, NOME TEXT, VENDEDOR TEXT COLLATE NOCASE);"
    "CREATE TABLE GRUPOS (COD TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, DESCR TEXT);"
    "CREATE TABLE ARTIGOS (CODIGO TEXT COLLATE NOCASE NOT NULL PRIMARY KEY, GRUPO TEXT);"
    "CREATE TABLE U_QOR_GRUPOSDESCONTO (CLIENTE TEXT COLLATE NOCASE NOT NULL, GRUPO TEXT COLLATE NOCASE NOT NULL,"
    "  DESCONTO REAL, PRIMARY KEY (CLIENTE, GRUPO));"
    "INSERT INTO CLIENTES VALUES ('C001', 'Quinta do Vale', 'V1'), ('C002', 'Aviário Sol', 'V2'),"
    "  ('C003', 'Sem descontos', 'V1');"
    "INSERT INTO GRUPOS VALUES ('RAC', 'Rações'), ('CER', 'Cereais'), ('ADU', '  '), ('SEM', 'Sementes');"
    "INSERT INTO U_QOR_GRUPOSDESCONTO VALUES ('C001', 'rac', 1.5), ('c001', 'CER', 0.25), ('C001', 'SEM', 0),"
    "  ('C001', 'OLD', 3), ('C002', 'RAC', 2);";

class DescontosGrupoCliente : public ::testing::Test {
 protected:
  void SetUp() override { DatabaseModel::registerOn(*db); }

  // The call the discounts report makes, one client at a time.
  std::shared_ptr<sql::Recordset> call(const char* client, const char* seller) {
    Command command(db, "qor_VTO_DescontosGrupoCliente", Command::Kind::StoredProcedure);
    command.append(Command::createParameter("@CLIINICIAL", DataType::VarChar, 15, Variant(client)));
    command.append(Command::createParameter("@CLIFINAL", DataType::VarChar, 15, Variant(client)));
    command.append(Command::createParameter("@VNDINICIAL", DataType::VarChar, 6, Variant(seller)));
    command.append(Command::createParameter("@VNDFINAL", DataType::VarChar, 6, Variant(seller)));
    return command.execute();
  }

  std::vector<std::string> names(const sql::Recordset& rs) {
    std::vector<std::string> out;
    for (const auto& f : rs.fields()) out.push_back(f.name);
    return out;
  }

  TempFolder folder;
  std::shared_ptr<sql::Connection> db = createDatabase(folder.path() / "EMPRESA.db", kCompany);
};

TEST_F(DescontosGrupoCliente, AnswersOneRowWithAColumnPerGroupNamedByItsLabel) {
  auto rs = call("C001", "V1");
  ASSERT_EQ(rs->recordCount(), 1);
  EXPECT_EQ(names(*rs), (std::vector<std::string>{"CLCOD", "ADU", "CER-Cereais", "RAC-Rações", "SEM-Sementes", "OLD"}));
  EXPECT_EQ(rs->value("CLCOD"), Variant("C001"));
  EXPECT_TRUE(rs->value("ADU").isNull());
  EXPECT_EQ(rs->value("CER-Cereais"), Variant(0.25));
  EXPECT_EQ(rs->value("RAC-Rações"), Variant(1.5));
  EXPECT_TRUE(rs->value("SEM-Sementes").isNull());  // a stored 0 is no discount
  EXPECT_EQ(rs->value("OLD"), Variant(3.0));        // a group GRUPOS no longer has
  EXPECT_EQ(rs->field(1).type, DataType::Double);
}

TEST_F(DescontosGrupoCliente, CodesMatchWithoutRegardToCaseAndOutsideTheRangesThereIsNoRow) {
  EXPECT_EQ(call("c002", "v2")->value("RAC-Rações"), Variant(2.0));
  EXPECT_EQ(call("C002", "V1")->recordCount(), 0);  // another seller's client
  auto none = call("C999", "V1");
  EXPECT_EQ(none->recordCount(), 0);
  EXPECT_EQ(none->fieldCount(), 5u);  // the shape stays
  auto plain = call("C003", "V1");
  ASSERT_EQ(plain->recordCount(), 1);
  for (std::size_t i = 1; i < plain->fieldCount(); ++i) EXPECT_TRUE(plain->value(i).isNull()) << i;
}

TEST_F(DescontosGrupoCliente, AGroupCodeWithAccentsInAnotherCaseIsTheSameGroup) {
  db->execute("INSERT INTO GRUPOS VALUES ('PÃO', 'Pães')");
  db->execute("INSERT INTO U_QOR_GRUPOSDESCONTO VALUES ('C003', 'pão  ', 4)");
  auto rs = call("C003", "V1");
  ASSERT_EQ(rs->recordCount(), 1);
  EXPECT_EQ(rs->fieldCount(), 6u) << "no column of its own";
  EXPECT_EQ(rs->value("PÃO-Pães"), Variant(4.0));
}

TEST_F(DescontosGrupoCliente, ARangeOfClientsGivesARowForEachInCodeOrder) {
  sql::ProcedureArguments arguments;
  arguments.set("@cliinicial", Variant("C000"));
  arguments.set("@CLIFINAL", Variant("C999"));
  arguments.set("@VNDINICIAL", Variant(""));
  arguments.set("@VNDFINAL", Variant("ZZZZZZ"));
  auto rs = db->callProcedure("QOR_VTO_DESCONTOSGRUPOCLIENTE", arguments);
  ASSERT_EQ(rs->recordCount(), 3);
  rs->moveLast();
  EXPECT_EQ(rs->value("CLCOD"), Variant("C003"));
  sql::ProcedureArguments partial;
  partial.set("@CLIINICIAL", Variant("C001"));
  EXPECT_EQ(errorNumberOf([&] { db->callProcedure("qor_VTO_DescontosGrupoCliente", partial); }),
            sql::sqlerr::ErrorsInCommand);
}

TEST_F(DescontosGrupoCliente, IsReachableThroughTheDataAccessConnection) {
  db->close();
  DataAccess data;
  data.setConnectionSetup(&registerDatabaseModel);
  ASSERT_TRUE(data.OpenConnection("Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + folder.path().string() +
                                  ";Initial Catalog=EMPRESA;Integrated Security=SSPI;"));
  db = data.GetConnection();
  EXPECT_EQ(call("C001", "V1")->recordCount(), 1);
}

}  // namespace
}  // namespace quill

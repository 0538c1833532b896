// Every statement the system sends to the company database, as its routines
// build them, run through DataAccess against the demo company.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <tuple>

#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "extension/components/DataAccess.h"
#include "extension/core/DatabaseModel.h"
#include "platform/sql/Command.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlQuote.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/sql/SqlTestSupport.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using sql::testing::errorNumberOf;
using sql::testing::TempFolder;

std::string s(std::string_view v) { return std::string(v); }
std::string q(std::string_view code) { return sql::sqlQuote(code); }

const std::string kIvaCase =
    "CASE WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1 WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3 "
    "WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 END AS IVA";

std::string scheduledPricesSelect() {
  std::string prices;
  for (int n = 1; n <= 3; ++n)
    for (const char* vat : {"SIVA", "CIVA"})
      prices += fmt::format(", U_QOR_PRECOS.PVP{0}{1}, U_QOR_PRECOS.PVP{0}{1} AS PVP{0}{1}NEW", n, vat);
  return "SELECT U_QOR_PRECOS.ARTIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, ARTIGOS.GRUPO AS GRUPO, " + kIvaCase +
         ", U_QOR_PRECOS.DATAACTIVACAO" + prices +
         ", U_QOR_PRECOS.DATAACTUALIZACAO, U_QOR_PRECOS.HPVP1SIVA, U_QOR_PRECOS.HPVP1CIVA, U_QOR_PRECOS.HPVP2SIVA, "
         "U_QOR_PRECOS.HPVP2CIVA, U_QOR_PRECOS.HPVP3SIVA, U_QOR_PRECOS.HPVP3CIVA FROM U_QOR_PRECOS INNER JOIN "
         "ARTIGOS ON U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN RGIVA ON RGIVA.CODIGO='" +
         q(demo::kNationalVatRegime) + "' WHERE (ARTIGOS.ARTOUDES=0) AND (ARTIGOS.INACTIVO=0)";
}

std::string queryScheduledPrices(std::string_view from, std::string_view to, std::string_view grpFrom = "",
                                 std::string_view grpTo = "") {
  std::string sql =
      scheduledPricesSelect() + " AND (ARTIGOS.CODIGO >='" + q(from) + "') AND (ARTIGOS.CODIGO <='" + q(to) + "')";
  if (!grpFrom.empty() || !grpTo.empty())
    sql += " AND (ARTIGOS.GRUPO >='" + q(grpFrom) + "') AND (ARTIGOS.GRUPO <='" + q(grpTo) + "')";
  return sql + " ORDER BY ARTIGOS.CODIGO";
}

std::string linePrices(bool byStartDate) {
  std::string sql =
      "SELECT CLIENTES.VENDEDOR, VENDEDOR.NOME AS VENDNOME, CLIENTES.TPPRECO AS LINPRC, LINPRC.DESCR AS LINDESCR, "
      "PRECOS.ARTIGO AS CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, " +
      kIvaCase +
      ", PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVP AS PVPNEW, PRECOS.PVPIVA, PRECOS.PVPIVA AS PVPIVANEW, PRECOS.DATINIC "
      "AS DATINICORI, PRECOS.BUTHIST AS PVPORI, PRECOS.BASECIVA AS PVPIVAORI FROM CLIENTES INNER JOIN VENDEDOR ON "
      "CLIENTES.VENDEDOR = VENDEDOR.CODIGO INNER JOIN PRECOS ON CLIENTES.TPPRECO = PRECOS.LINPRC LEFT OUTER JOIN "
      "ARTIGOS ON PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN RGIVA ON RGIVA.CODIGO='CONT' LEFT OUTER JOIN "
      "U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO LEFT OUTER JOIN LINPRC ON LINPRC.LINHA = PRECOS.LINPRC WHERE "
      "(PRECOS.MOEDA ='EUR') AND (PRECOS.LINPRC >=0) AND (PRECOS.LINPRC <=99) AND (ARTIGOS.ARTOUDES = 0) AND "
      "(ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO >=' ') AND (ARTIGOS.CODIGO <='ZZZZZZZZZZZZZZZ') AND "
      "(U_ARTIGOS.PRECOFIXO=-1) AND ";
  if (byStartDate)
    sql +=
        "((CLIENTES.VENDEDOR >= 'V01') AND (CLIENTES.VENDEDOR <= 'V99')) AND ((PRECOS.DATINIC >= '2025-01-01') "
        "AND (PRECOS.DATINIC <= '2026-12-31')) ";
  else
    sql += "(CLIENTES.VENDEDOR >= 'V01') AND (CLIENTES.VENDEDOR <= 'V99') ";
  return sql + "ORDER BY CLIENTES.VENDEDOR, PRECOS.LINPRC, PRECOS.ARTIGO";
}

std::string commissionBases(int year, int month) {
  return "Select Sum((Abs(DOCGCCAB.TpTerc - DOCGCCAB.SINALCT) * 2 - 1) * 1 * DOCGCLIN.Quant) as Peso, "
         "DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao"
         " FROM         DOCGCCAB INNER JOIN"
         " DOCGCLIN ON DOCGCCAB.NNUMDOC = DOCGCLIN.NNUMDOC AND DOCGCCAB.TPDOC = DOCGCLIN.TPDOCUM AND DOCGCCAB.SERIE = "
         "DOCGCLIN.SERIE AND"
         " DOCGCCAB.ANO = DOCGCLIN.ANO INNER JOIN"
         " ARTIGOS ON DOCGCLIN.ARTIGO = ARTIGOS.CODIGO INNER JOIN"
         " U_qor_ComGrupos ON DOCGCLIN.VENDEDOR = U_qor_ComGrupos.Vendedor AND ARTIGOS.GRUPO = U_qor_ComGrupos.Grupo"
         " WHERE     (DOCGCCAB.ANO = " +
         std::to_string(year) + ")  AND month(DocGcCab.Data)=" + std::to_string(month) +
         " and (DOCGCLIN.ARTIGO > '') and "
         " NVIAS<>-1 and (TPTERC = 2) AND (AREAG = 4) AND (DocGcCab.TPOPER = 2) AND (NATCONTA = 1) "
         " GROUP BY DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao";
}

std::string clientsWithDiscounts(const std::string& vi, const std::string& vf, const std::string& ci,
                                 const std::string& cf) {
  std::string cells;
  for (int c = 0; c <= 9; ++c) cells += fmt::format("          ,CL.NOME    AS C{} ", c);
  return "SELECT  distinct CL.VENDEDOR,  VD.NOME AS VND           ,GD.CLIENTE           ,CL.NOME           "
         ",UCL.DSCVALPORKG AS DESCCAB           ,CL.DESCCAB AS TIPOLINHA          ,CL.DESCCAB AS LINHA" +
         cells +
         "          ,GD.CLIENTE AS CLIENTEAUX           ,CL.NOME    AS NOMEAUX FROM      [U_QOR_GRUPOSDESCONTO] AS GD "
         "              LEFT OUTER JOIN CLIENTES AS CL                   ON CL.CODIGO = GD.CLIENTE "
         "              LEFT OUTER JOIN GRUPOS AS GR                   ON GR.COD = GD.GRUPO "
         "              LEFT OUTER JOIN VENDEDOR AS VD                   ON VD.CODIGO = CL.VENDEDOR "
         "              LEFT OUTER JOIN U_CLIENTES AS UCL                   ON UCL.CODIGO = CL.CODIGO "
         "WHERE     GD.DESCONTO <>0           AND GD.CLIENTE >='" +
         ci + "' AND GD.CLIENTE<='" + cf + "'           AND CL.VENDEDOR >='" + vi + "' AND CL.VENDEDOR <='" + vf +
         "' ORDER BY  CL.VENDEDOR, GD.CLIENTE ";
}

// One demo company for all the tests of this file; each test works on its
// own copy of the database file.
class Statements : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    erpFolder_ = new TempFolder;
    company_ = new erp::CompanyEntry(erp::DemoCompany::create(erpFolder_->path(), erp::DemoOptions{}));
  }
  static void TearDownTestSuite() {
    delete company_;
    delete erpFolder_;
  }

  void SetUp() override {
    std::filesystem::copy_file(company_->databaseFile(), folder.path() / "QUILLDEMO.db");
    data.setConnectionSetup(&registerDatabaseModel);
    ASSERT_TRUE(
        data.OpenConnection("Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + folder.path().string() +
                            ";Initial Catalog=QUILLDEMO;User Id=quill;Password=quill; "))
        << data.lastError();
  }

  static inline TempFolder* erpFolder_ = nullptr;
  static inline erp::CompanyEntry* company_ = nullptr;
  TempFolder folder;
  DataAccess data;
};

struct Query {
  const char* routine;
  std::string sql;
  int minRows;  // at least this many rows in the demo company
};

TEST_F(Statements, EveryQueryOfTheSystemRunsOnTheDemoCompany) {
  const std::string art = s(demo::kFixedPriceArticle), cli = s(demo::kPriceLineClient);
  const std::vector<Query> queries = {
      // Sales-line pricing.
      {"article record",
       "SELECT       * FROM         ARTIGOS LEFT OUTER JOIN                 U_ARTIGOS ON ARTIGOS.CODIGO = "
       "U_ARTIGOS.CODIGO WHERE        (ARTIGOS.CODIGO = '" +
           q(art) + "') ",
       1},
      {"client record",
       "SELECT       * FROM         CLIENTES LEFT OUTER JOIN                 U_CLIENTES ON CLIENTES.CODIGO = "
       "U_CLIENTES.CODIGO WHERE        (CLIENTES.CODIGO = '" +
           q(cli) + "') ",
       1},
      {"quoted client record",
       "SELECT       * FROM         CLIENTES LEFT OUTER JOIN                 U_CLIENTES ON CLIENTES.CODIGO = "
       "U_CLIENTES.CODIGO WHERE        (CLIENTES.CODIGO = '" +
           q(demo::kQuotedCodeClient) + "') ",
       1},
      {"price-line prices",
       "SELECT       * FROM         PRECOS WHERE        (ARTIGO ='" + q(art) +
           "') AND (MOEDA = 'EUR') AND (LINPRC =1) ",
       1},
      {"group discount",
       "SELECT       * FROM         U_QOR_GRUPOSDESCONTO WHERE        (GRUPO ='" + q(demo::kFeedGroup) +
           "') AND (CLIENTE = '" + q(demo::kGroupDiscountClient) + "')",
       1},
      {"scheduled retail prices",
       "SELECT  * FROM      U_QOR_PRECOS WHERE     (ARTIGO ='" + q(demo::kScheduledPriceArticle) + "') ", 1},
      // Document hooks and the bridge.
      {"client", "SELECT       * FROM         CLIENTES WHERE        (CODIGO ='" + q(cli) + "') ", 1},
      {"price at the document date",
       "SELECT       * FROM         PRECOS WHERE        (ARTIGO ='" + q(art) +
           "') AND (MOEDA = 'EUR') AND (LINPRC =1) "
           "AND (DATINIC <= CONVERT(DATETIME, '" +
           s(demo::kDocumentDate) + "', 102))",
       1},
      {"price starting on the document date",
       "SELECT       * FROM         PRECOS WHERE        (ARTIGO ='" + q(art) +
           "') AND (MOEDA = 'EUR') AND (LINPRC =1) "
           "AND (DATINIC <= CONVERT(DATETIME, '" +
           s(demo::kPastPriceStart) + "', 102))",
       1},
      {"dispatch code",
       "SELECT       * FROM         U_EXPEDIR WHERE        (CODIGO ='" + q(demo::kAllowanceDispatch) + "') ", 1},
      {"client user fields",
       "SELECT       * FROM         U_CLIENTES WHERE        (CODIGO ='" + q(demo::kAllowanceClient) + "') ", 1},
      {"article", "SELECT       * FROM         ARTIGOS WHERE        (ARTIGOS.CODIGO = '" + q(art) + "') ", 1},
      {"price exists",
       "SELECT       ARTIGO, MOEDA, LINPRC FROM         PRECOS WHERE        (ARTIGO = '" + q(art) +
           "') AND (MOEDA = 'EUR') AND (LINPRC =1 ) ",
       1},
      // Scheduled retail prices.
      {"scheduled prices", queryScheduledPrices(" ", "ZZZZZZZZZZZZZZZ"), 10},
      {"scheduled prices of groups", queryScheduledPrices(" ", "ZZZZZZZZZZZZZZZ", demo::kCerealGroup, demo::kFeedGroup),
       1},
      {"scheduled prices by activation",
       scheduledPricesSelect() +
           " AND ((ARTIGOS.CODIGO >=' ') AND (ARTIGOS.CODIGO <='ZZZZZZZZZZZZZZZ')) AND "
           "((U_QOR_PRECOS.DATAACTIVACAO >='2025-01-01') AND (U_QOR_PRECOS.DATAACTIVACAO <='2026-12-31')) ORDER BY "
           "ARTIGOS.CODIGO",
       1},
      {"article lookup",
       "SELECT       CODIGO as Código, NOME as Nome FROM         ARTIGOS ORDER BY     ARTIGOS.CODIGO ", 10},
      {"group lookup", "SELECT       COD as Código, DESCR as Nome FROM         GRUPOS ORDER BY     GRUPOS.COD ", 4},
      {"find group", "SELECT       * FROM         GRUPOS WHERE        (GRUPOS.COD = '" + q(demo::kFeedGroup) + "') ",
       1},
      // Price-line prices, criteria and editor.
      {"line prices", linePrices(false), 1},
      {"line prices by start date", linePrices(true), 1},
      {"sellers", "SELECT       * FROM         VENDEDOR ORDER BY     CODIGO ", 2},
      {"price lines", "SELECT       * FROM         LINPRC ORDER BY     LINHA ", 2},
      {"fixed-price articles",
       "SELECT ARTIGOS.CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, " + kIvaCase +
           ", PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVPIVA, PRECOS.DATINIC AS DATINICORI, PRECOS.PVP AS PVPORI, "
           "PRECOS.PVPIVA AS PVPIVAORI FROM ARTIGOS LEFT OUTER JOIN PRECOS ON ARTIGOS.CODIGO = PRECOS.ARTIGO AND "
           "'EUR' = PRECOS.MOEDA AND PRECOS.LINPRC >=1 AND PRECOS.LINPRC <=2 LEFT OUTER JOIN U_ARTIGOS ON "
           "ARTIGOS.CODIGO = U_ARTIGOS.CODIGO INNER JOIN RGIVA ON 'CONT' = RGIVA.CODIGO WHERE (ARTIGOS.ARTOUDES = 0) "
           "AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( U_ARTIGOS.PRECOFIXO=-1) ORDER BY "
           "ARTIGOS.CODIGO",
       1},
      {"find seller",
       "SELECT       * FROM         VENDEDOR WHERE        (VENDEDOR.CODIGO = '" + q(demo::kSeller) + "') ", 1},
      {"find seller unbracketed",
       "SELECT       * FROM         VENDEDOR WHERE        CODIGO ='" + q(demo::kSeller) + "'", 1},
      {"find price line", "SELECT       * FROM         LINPRC WHERE        (LINHA=1 )", 1},
      {"find article ordered",
       "SELECT       * FROM         ARTIGOS WHERE        (ARTIGOS.CODIGO = '" + q(art) + "') ORDER BY ARTIGOS.CODIGO",
       1},
      {"all articles ordered", "SELECT       * FROM         ARTIGOS ORDER BY ARTIGOS.CODIGO", 10},
      {"articles of a line",
       "SELECT       ARTIGOS.CODIGO,              ARTIGOS.NOME,              ARTIGOS.IVA AS TAXA,              CASE "
       "                WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1                 WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 "
       "                WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3                 WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 "
       "             END AS IVA,              PRECOS.DATINIC,              PRECOS.PVP,              PRECOS.PVPIVA, "
       "             PRECOS.DATINIC AS DATINICORI,              PRECOS.PVP AS PVPORI,              PRECOS.PVPIVA AS "
       "PVPIVAORI FROM         ARTIGOS                 LEFT OUTER JOIN                     PRECOS ON ARTIGOS.CODIGO = "
       "PRECOS.ARTIGO AND                            'EUR' = PRECOS.MOEDA AND                             1 = "
       "PRECOS.LINPRC                 LEFT OUTER JOIN                     U_ARTIGOS ON ARTIGOS.CODIGO = "
       "U_ARTIGOS.CODIGO                 INNER JOIN                     RGIVA  ON 'CONT' = RGIVA.CODIGO WHERE "
       "       (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( "
       "U_ARTIGOS.PRECOFIXO=-1) ORDER BY     ARTIGOS.CODIGO ",
       1},
      {"price-line lookup",
       "SELECT       LINHA as Linha, DESCR as Descrição FROM         LINPRC ORDER BY     LINPRC.LINHA", 2},
      // Discounts and commissions editors.
      {"active clients",
       "SELECT       CODIGO, NOME FROM         CLIENTES WHERE        INACTIVO=0 ORDER BY     CLIENTES.CODIGO ", 10},
      {"one client",
       "SELECT       CODIGO, NOME, INACTIVO FROM         CLIENTES WHERE        CLIENTES.CODIGO='" + q(cli) + "'", 1},
      {"groups with the client's discount",
       "SELECT     GRUPOS.COD, GRUPOS.DESCR, U_QOR_GRUPOSDESCONTO.DESCONTO FROM       GRUPOS LEFT OUTER JOIN "
       "           U_QOR_GRUPOSDESCONTO ON GRUPOS.COD = U_QOR_GRUPOSDESCONTO.GRUPO AND '" +
           q(demo::kGroupDiscountClient) + "' = U_QOR_GRUPOSDESCONTO.CLIENTE ORDER BY   GRUPOS.COD ",
       4},
      {"client's discounts",
       "SELECT     * FROM       U_QOR_GRUPOSDESCONTO WHERE      U_QOR_GRUPOSDESCONTO.CLIENTE ='" +
           q(demo::kGroupDiscountClient) + "' ORDER BY   GRUPO ",
       2},
      {"sellers list", "SELECT       CODIGO, NOME FROM         VENDEDOR ORDER BY     VENDEDOR.CODIGO ", 2},
      {"groups with the seller's rate",
       "SELECT       GRUPOS.COD, GRUPOS.DESCR, U_QOR_COMGRUPOS.COMISSAO FROM         GRUPOS LEFT OUTER JOIN "
       "             U_QOR_COMGRUPOS ON GRUPOS.COD = U_QOR_COMGRUPOS.GRUPO AND '" +
           q(demo::kSeller) + "' = U_QOR_COMGRUPOS.VENDEDOR ORDER BY     GRUPOS.COD ",
       4},
      {"seller's rates",
       "SELECT     * FROM       U_QOR_COMGRUPOS WHERE      U_QOR_COMGRUPOS.VENDEDOR='" + q(demo::kSeller) +
           "' ORDER BY   GRUPO ",
       2},
      // Report criteria lookups and defaults.
      {"seller lookup",
       "SELECT       CODIGO as Código, NOME as Nome FROM         VENDEDOR ORDER BY     VENDEDOR.CODIGO ", 2},
      {"active client lookup",
       "SELECT       CODIGO as Código, NOME as Nome FROM         CLIENTES WHERE        INACTIVO=0 ORDER BY     "
       "CLIENTES.CODIGO ",
       10},
      {"client lookup",
       "SELECT       CODIGO as Código, NOME as Nome FROM         CLIENTES ORDER BY     CLIENTES.CODIGO ", 10},
      {"zone lookup", "SELECT       Zona as Código, DESCR as Nome FROM         ZONAGEO ORDER BY     ZONA ", 1},
      {"portfolio lookup",
       "SELECT       CODIGO as Código, DESCRI as Nome FROM         CARTEIRA WHERE        ACTIVO = -1 ORDER BY     "
       "CARTEIRA.CODIGO ",
       1},
      {"clients by code", "SELECT       CODIGO, NOME FROM         CLIENTES ORDER BY     CODIGO ", 10},
      {"zones", "SELECT       * FROM         ZONAGEO ORDER BY     ZONA ", 1},
      {"portfolios", "SELECT       * FROM         CARTEIRA WHERE        ACTIVO = -1 ORDER BY     CODIGO ", 1},
      {"client name", "SELECT       CODIGO, NOME FROM         CLIENTES WHERE        CLIENTES.CODIGO='" + q(cli) + "'",
       1},
      {"zone name", "SELECT       * FROM         ZONAGEO WHERE        ZONA ='" + q(demo::kZone) + "'", 1},
      {"portfolio name",
       "SELECT       * FROM         CARTEIRA WHERE        CODIGO = '" + q(demo::kActivePortfolio) + "'", 1},
      {"articles by code", "SELECT       * FROM         ARTIGOS ORDER BY ARTIGOS.CODIGO", 10},
      {"article name ordered",
       "SELECT       * FROM         ARTIGOS WHERE        (ARTIGOS.CODIGO = '" + q(art) + "') ORDER BY ARTIGOS.CODIGO",
       1},
      {"all clients", "SELECT       * FROM         CLIENTES ORDER BY     CODIGO ", 10},
      {"client by code", "SELECT       * FROM         CLIENTES WHERE        (CLIENTES.CODIGO = '" + q(cli) + "') ", 1},
      // Client/group discounts report.
      {"clients with discounts", clientsWithDiscounts("", "ZZZZZZ", "", "ZZZZZZZZZZZZZZZ"), 3},
      {"lines to add", clientsWithDiscounts("-1", "-1", "-1", "-1"), 0},
  };
  for (const auto& query : queries) {
    try {
      auto rs = data.OpenRecordset(query.sql);
      EXPECT_GE(rs->recordCount(), query.minRows) << query.routine << "\n" << query.sql;
    } catch (const AutomationError& e) {
      ADD_FAILURE() << query.routine << ": " << e.number() << " " << e.description() << "\n" << query.sql;
    }
  }
}

TEST_F(Statements, TheMonthlyCommissionStatementsCreateComputeAndReplaceAMonth) {
  const char* probe = "select Vendedor from  U_qor_ComMensais";
  const std::int32_t missing = errorNumberOf([&] { data.OpenRecordset(probe); });
  ASSERT_TRUE(missing == sql::sqlerr::NoTable || missing == sql::sqlerr::ErrorsInCommand);
  data.Execute(std::string(" CREATE TABLE [dbo].[U_qor_ComMensais](") +
               "[Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," + "[Mes] [smallint] NULL," +
               "[Ano] [smallint] NULL," + "[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," +
               "[Comissao] [money] NULL," + "[ValorBase] [money] NULL," + "[Id] [int] IDENTITY(1,1) NOT NULL," +
               "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED" + " (" + " [ID] Asc" + " )" +
               " ) ON [PRIMARY]");
  EXPECT_EQ(data.OpenRecordset(probe)->recordCount(), 0);

  for (int round = 0; round < 2; ++round) {
    auto bases = data.OpenRecordset(commissionBases(demo::kDocumentYear, 3));
    ASSERT_GT(bases->recordCount(), 0);
    data.Execute("Delete U_qor_ComMensais where Ano=" + std::to_string(demo::kDocumentYear) + "  AND Mes=3");
    for (bases->moveFirst(); !bases->eof(); bases->moveNext()) {
      auto row = data.OpenUpdatable("Select * from U_qor_ComMensais where Id=-10");
      row->addNew();
      row->setValue("Vendedor", bases->value("VENDEDOR"));
      row->setValue("Ano", Variant(std::to_string(demo::kDocumentYear)));
      row->setValue("Mes", Variant(std::int16_t{3}));
      row->setValue("Grupo", bases->value("Grupo"));
      row->setValue("Comissao", bases->value("Comissao"));
      row->setValue("ValorBase", bases->value("Peso"));
      row->update();
    }
    auto stored = data.OpenRecordset("Select * from U_qor_ComMensais where Ano=" + std::to_string(demo::kDocumentYear) +
                                     " and Mes=3");
    EXPECT_EQ(stored->recordCount(), bases->recordCount()) << round;
  }
}

TEST_F(Statements, SavingAScheduledPriceWritesOnlyItsOwnTable) {
  const std::string article = s(demo::kScheduledPriceArticle);
  data.Execute(
      "INSERT U_QOR_PRECOS ([ARTIGO], [DATAACTIVACAO], [PVP1SIVA], [PVP1CIVA], [PVP2SIVA], [PVP2CIVA], [PVP3SIVA], "
      "[PVP3CIVA], [DATAACTUALIZACAO], [HPVP1SIVA], [HPVP1CIVA], [HPVP2SIVA], [HPVP2CIVA], [HPVP3SIVA], [HPVP3CIVA]) "
      "SELECT [CODIGO], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], [PVP3_COM_IVA], "
      "GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], [PVP3_COM_IVA] FROM ARTIGOS WHERE "
      "NOT EXISTS (SELECT * FROM U_QOR_PRECOS WHERE U_QOR_PRECOS.ARTIGO=ARTIGOS.CODIGO)");
  const auto articles = data.OpenRecordset("SELECT * FROM ARTIGOS")->recordCount();
  EXPECT_EQ(data.OpenRecordset("SELECT * FROM U_QOR_PRECOS")->recordCount(), articles);

  auto rs = data.OpenRecordset(queryScheduledPrices(article, article));
  ASSERT_EQ(rs->recordCount(), 1);
  const Variant oldPrice = rs->value("PVP1SIVA");
  const Variant name = rs->value("NOME");
  for (const char* level : {"PVP1SIVA", "PVP1CIVA", "PVP2SIVA", "PVP2CIVA", "PVP3SIVA", "PVP3CIVA"})
    rs->setValue(std::string("H") + level, rs->value(level));
  rs->setValue("DATAACTUALIZACAO", Variant("16-03-2026"));
  rs->setValue("PVP1SIVA", Variant(99.5));
  rs->update();
  data.SaveRecordset(*rs);

  auto saved = data.OpenRecordset(queryScheduledPrices(article, article));
  EXPECT_EQ(saved->value("PVP1SIVA"), Variant(99.5));
  EXPECT_EQ(saved->value("PVP1SIVANEW"), Variant(99.5));
  EXPECT_EQ(saved->value("HPVP1SIVA"), oldPrice);
  EXPECT_EQ(saved->value("NOME"), name);
  EXPECT_EQ(saved->value("DATAACTUALIZACAO"), Variant(vb::makeDate(2026, 3, 16)));
}

TEST_F(Statements, TheDiscountEditorKeepsOneRowPerClientAndGroup) {
  const std::string client = s(demo::kGroupDiscountClient);
  const std::string stored = "SELECT     * FROM       U_QOR_GRUPOSDESCONTO WHERE      U_QOR_GRUPOSDESCONTO.CLIENTE ='" +
                             q(client) + "' ORDER BY   GRUPO ";
  auto rs = data.OpenRecordset(stored);
  const auto before = rs->recordCount();
  for (auto [group, discount] : {std::pair{demo::kFeedGroup, 0.02}, std::pair{demo::kPetFoodGroup, 0.03}}) {
    rs->setFilter("GRUPO='" + q(group) + "'");
    if (rs->recordCount() == 0) {
      rs->addNew();
      rs->setValue("CLIENTE", Variant(client));
      rs->setValue("GRUPO", Variant(s(group)));
    }
    rs->setValue("DESCONTO", Variant(discount));
    rs->update();
    rs->setFilter("");
  }
  data.SaveRecordset(*rs);
  auto saved = data.OpenRecordset(stored);
  EXPECT_EQ(saved->recordCount(), before + 1);
  saved->setFilter("GRUPO='" + q(demo::kFeedGroup) + "'");
  EXPECT_EQ(saved->value("DESCONTO"), Variant(0.02));
  saved->setFilter("GRUPO='" + q(demo::kPetFoodGroup) + "'");
  EXPECT_EQ(saved->value("DESCONTO"), Variant(0.03));
}

TEST_F(Statements, TheDiscountsReportBuildsItsLinesFromTheProcedure) {
  auto working = data.OpenRecordset(clientsWithDiscounts("", "ZZZZZZ", "", "ZZZZZZZZZZZZZZZ"));
  auto added = data.OpenRecordset(clientsWithDiscounts("-1", "-1", "-1", "-1"));
  bool sixGroups = false;
  for (working->moveFirst(); !working->eof(); working->moveNext()) {
    sql::Command command(data.GetConnection(), "qor_VTO_DescontosGrupoCliente", sql::Command::Kind::StoredProcedure);
    for (auto [name, field, size] : {std::tuple{"@CLIINICIAL", "CLIENTE", 15}, std::tuple{"@CLIFINAL", "CLIENTE", 15},
                                     std::tuple{"@VNDINICIAL", "VENDEDOR", 6}, std::tuple{"@VNDFINAL", "VENDEDOR", 6}})
      command.append(sql::Command::createParameter(name, sql::DataType::VarChar, size, working->value(field)));
    auto groups = command.execute();
    ASSERT_EQ(groups->recordCount(), 1) << working->value("CLIENTE").debugString();
    std::vector<std::pair<std::string, double>> discounts;
    for (std::size_t i = 1; i < groups->fieldCount(); ++i)
      if (!groups->value(i).isNull()) discounts.emplace_back(groups->field(i).name, groups->value(i).doubleValue());
    EXPECT_FALSE(discounts.empty());
    if (working->value("CLIENTE") == Variant(s(demo::kSixGroupsClient))) sixGroups = discounts.size() == 6;
    // The client's row becomes its first name line; a discount line follows.
    working->setValue("TIPOLINHA", Variant(std::int32_t{1}));
    working->setValue("LINHA", Variant(std::int32_t{1}));
    working->setValue("C0", Variant(discounts[0].first));
    working->update();
    added->addNew();
    added->setValue("VND", working->value("VND"));
    added->setValue("CLIENTEAUX", working->value("CLIENTEAUX"));
    added->setValue("CLIENTE", Variant(""));
    added->setValue("TIPOLINHA", Variant(std::int32_t{2}));
    added->setValue("LINHA", Variant(std::int32_t{2}));
    added->setValue("C0", Variant(discounts[0].second));  // a number in a text column
    added->update();
  }
  EXPECT_TRUE(sixGroups);
  for (added->moveFirst(); !added->eof(); added->moveNext()) {
    working->addNew();
    for (const char* field : {"VND", "CLIENTEAUX", "CLIENTE", "TIPOLINHA", "LINHA", "C0"})
      working->setValue(field, added->value(field));
    working->update();
  }
  working->setSort("VND ASC, CLIENTEAUX ASC, LINHA ASC");
  working->moveFirst();
  EXPECT_EQ(working->value("LINHA"), Variant(std::int32_t{1}));
  EXPECT_TRUE(working->value("C0").isString());
  working->moveNext();
  EXPECT_EQ(working->value("LINHA"), Variant(std::int32_t{2}));
  EXPECT_EQ(working->value("C0").type(), VarType::Double);
}

}  // namespace
}  // namespace quill

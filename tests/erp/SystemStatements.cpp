#include "tests/erp/SystemStatements.h"

#include <string_view>

#include "erp/DemoCodes.h"

namespace quill::erp::test {

namespace {

using namespace demo;
using Expect = SystemStatement::Expect;
using std::string;
using std::to_string;

// A code as it goes between single quotes: a quote inside is doubled.
string c(std::string_view code) {
  string text;
  for (char ch : code) {
    if (ch == '\'') text += '\'';
    text += ch;
  }
  return text;
}

const string eur = c(kNationalCurrency);
const string regime = c(kNationalVatRegime);

// ---- Sales-line pricing and sales-document hooks -------------------------

string articleRecord(std::string_view article) {
  return string("SELECT       * ") + "FROM         ARTIGOS LEFT OUTER JOIN" +
         "                 U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO " + "WHERE        (ARTIGOS.CODIGO = '" +
         c(article) + "') ";
}

string clientRecord(std::string_view client) {
  return string("SELECT       * ") + "FROM         CLIENTES LEFT OUTER JOIN" +
         "                 U_CLIENTES ON CLIENTES.CODIGO = U_CLIENTES.CODIGO " + "WHERE        (CLIENTES.CODIGO = '" +
         c(client) + "') ";
}

string priceLinePrices(std::string_view article, int line) {
  return string("SELECT       * ") + "FROM         PRECOS " + "WHERE        (ARTIGO ='" + c(article) +
         "') AND (MOEDA = '" + eur + "') AND (LINPRC =" + to_string(line) + ") ";
}

string groupDiscount(std::string_view group, std::string_view client) {
  return string("SELECT       * ") + "FROM         U_QOR_GRUPOSDESCONTO " + "WHERE        (GRUPO ='" + c(group) +
         "') AND (CLIENTE = '" + c(client) + "')";
}

string scheduledPrice(std::string_view article) {
  return string("SELECT  * ") + "FROM      U_QOR_PRECOS " + "WHERE     (ARTIGO ='" + c(article) + "') ";
}

string client(std::string_view code) {
  return string("SELECT       * ") + "FROM         CLIENTES " + "WHERE        (CODIGO ='" + c(code) + "') ";
}

string priceOnDate(std::string_view article, int line, std::string_view date) {
  return string("SELECT       * ") + "FROM         PRECOS " + "WHERE        (ARTIGO ='" + c(article) +
         "') AND (MOEDA = '" + eur + "') AND (LINPRC =" + to_string(line) +
         ") AND (DATINIC <= CONVERT(DATETIME, '" + string(date) + "', 102))";
}

string dispatch(std::string_view code) {
  return string("SELECT       * ") + "FROM         U_EXPEDIR " + "WHERE        (CODIGO ='" + c(code) + "') ";
}

string clientFields(std::string_view code) {
  return string("SELECT       * ") + "FROM         U_CLIENTES " + "WHERE        (CODIGO ='" + c(code) + "') ";
}

// ---- Bridge ----------------------------------------------------------------

string allowanceArticle(std::string_view article) {
  return string("SELECT       * ") + "FROM         ARTIGOS " + "WHERE        (ARTIGOS.CODIGO = '" + c(article) + "') ";
}

string priceExists(std::string_view article, std::string_view currency, int line) {
  return string("SELECT       ARTIGO, MOEDA, LINPRC ") + "FROM         PRECOS " + "WHERE        (ARTIGO = '" +
         c(article) + "') AND (MOEDA = '" + c(currency) + "') AND (LINPRC =" + to_string(line) + " ) ";
}

string priceRemoval(std::string_view article, std::string_view currency, int line) {
  return string("DELETE  ") + "FROM         PRECOS " + "WHERE        (ARTIGO = '" + c(article) + "') AND (MOEDA = '" +
         c(currency) + "') AND (LINPRC =" + to_string(line) + " ) ";
}

// ---- Scheduled retail prices -------------------------------------------------

const string kVatRate =
    "CASE WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1 WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3 "
    "WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 END AS IVA";

string scheduledPricesHead() {
  return "SELECT U_QOR_PRECOS.ARTIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, ARTIGOS.GRUPO AS GRUPO, " + kVatRate +
         ", U_QOR_PRECOS.DATAACTIVACAO, U_QOR_PRECOS.PVP1SIVA, U_QOR_PRECOS.PVP1SIVA AS PVP1SIVANEW, "
         "U_QOR_PRECOS.PVP1CIVA, U_QOR_PRECOS.PVP1CIVA AS PVP1CIVANEW, U_QOR_PRECOS.PVP2SIVA, U_QOR_PRECOS.PVP2SIVA AS "
         "PVP2SIVANEW, U_QOR_PRECOS.PVP2CIVA, U_QOR_PRECOS.PVP2CIVA AS PVP2CIVANEW, U_QOR_PRECOS.PVP3SIVA, "
         "U_QOR_PRECOS.PVP3SIVA AS PVP3SIVANEW, U_QOR_PRECOS.PVP3CIVA, U_QOR_PRECOS.PVP3CIVA AS PVP3CIVANEW, "
         "U_QOR_PRECOS.DATAACTUALIZACAO, U_QOR_PRECOS.HPVP1SIVA, U_QOR_PRECOS.HPVP1CIVA, U_QOR_PRECOS.HPVP2SIVA, "
         "U_QOR_PRECOS.HPVP2CIVA, U_QOR_PRECOS.HPVP3SIVA, U_QOR_PRECOS.HPVP3CIVA FROM U_QOR_PRECOS INNER JOIN ARTIGOS "
         "ON U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN RGIVA ON RGIVA.CODIGO='" +
         regime + "' WHERE (ARTIGOS.ARTOUDES=0) AND (ARTIGOS.INACTIVO=0)";
}

string queryScheduledPrices(std::string_view artFrom, std::string_view artTo, std::string_view grpFrom,
                            std::string_view grpTo) {
  string sql = scheduledPricesHead() + " AND (ARTIGOS.CODIGO >='" + c(artFrom) + "') AND (ARTIGOS.CODIGO <='" +
               c(artTo) + "')";
  if (!grpFrom.empty() || !grpTo.empty())
    sql += " AND (ARTIGOS.GRUPO >='" + c(grpFrom) + "') AND (ARTIGOS.GRUPO <='" + c(grpTo) + "')";
  return sql + " ORDER BY ARTIGOS.CODIGO";
}

string queryScheduledPricesByActivation(std::string_view artFrom, std::string_view artTo, std::string_view dateFrom,
                                        std::string_view dateTo) {
  return scheduledPricesHead() + " AND ((ARTIGOS.CODIGO >='" + c(artFrom) + "') AND (ARTIGOS.CODIGO <='" + c(artTo) +
         "')) AND ((U_QOR_PRECOS.DATAACTIVACAO >='" + string(dateFrom) + "') AND (U_QOR_PRECOS.DATAACTIVACAO <='" +
         string(dateTo) + "')) ORDER BY ARTIGOS.CODIGO";
}

string findGroup(std::string_view code) {
  return string("SELECT       * ") + "FROM         GRUPOS " + "WHERE        (GRUPOS.COD = '" + c(code) + "') ";
}

// ---- Price-line price changes and criteria ----------------------------------

string linePricesHead() {
  return "SELECT CLIENTES.VENDEDOR, VENDEDOR.NOME AS VENDNOME, CLIENTES.TPPRECO AS LINPRC, LINPRC.DESCR AS LINDESCR, "
         "PRECOS.ARTIGO AS CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, " +
         kVatRate +
         ", PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVP AS PVPNEW, PRECOS.PVPIVA, PRECOS.PVPIVA AS PVPIVANEW, "
         "PRECOS.DATINIC AS DATINICORI, PRECOS.BUTHIST AS PVPORI, PRECOS.BASECIVA AS PVPIVAORI FROM CLIENTES INNER "
         "JOIN VENDEDOR ON CLIENTES.VENDEDOR = VENDEDOR.CODIGO INNER JOIN PRECOS ON CLIENTES.TPPRECO = PRECOS.LINPRC "
         "LEFT OUTER JOIN ARTIGOS ON PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN RGIVA ON RGIVA.CODIGO='" +
         regime +
         "' LEFT OUTER JOIN U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO LEFT OUTER JOIN LINPRC ON LINPRC.LINHA = "
         "PRECOS.LINPRC";
}

string linePricesRanges(int lineFrom, int lineTo, std::string_view artFrom, std::string_view artTo) {
  return " WHERE (PRECOS.MOEDA ='" + eur + "') AND (PRECOS.LINPRC >=" + to_string(lineFrom) +
         ") AND (PRECOS.LINPRC <=" + to_string(lineTo) +
         ") AND (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO >='" + c(artFrom) +
         "') AND (ARTIGOS.CODIGO <='" + c(artTo) + "') AND (U_ARTIGOS.PRECOFIXO=-1)";
}

const string kLinePricesOrder = " ORDER BY CLIENTES.VENDEDOR, PRECOS.LINPRC, PRECOS.ARTIGO";

string queryLinePrices(std::string_view sellerFrom, std::string_view sellerTo, int lineFrom, int lineTo,
                       std::string_view artFrom, std::string_view artTo) {
  return linePricesHead() + linePricesRanges(lineFrom, lineTo, artFrom, artTo) + " AND (CLIENTES.VENDEDOR >= '" +
         c(sellerFrom) + "') AND (CLIENTES.VENDEDOR <= '" + c(sellerTo) + "')" + kLinePricesOrder;
}

string queryLinePricesByStartDate(std::string_view sellerFrom, std::string_view sellerTo, int lineFrom, int lineTo,
                                  std::string_view artFrom, std::string_view artTo, std::string_view dateFrom,
                                  std::string_view dateTo) {
  return linePricesHead() + linePricesRanges(lineFrom, lineTo, artFrom, artTo) + " AND ((CLIENTES.VENDEDOR >= '" +
         c(sellerFrom) + "') AND (CLIENTES.VENDEDOR <= '" + c(sellerTo) + "')) AND ((PRECOS.DATINIC >= '" +
         string(dateFrom) + "') AND (PRECOS.DATINIC <= '" + string(dateTo) + "'))" + kLinePricesOrder;
}

string queryFixedPriceArticles(int lineFrom, int lineTo) {
  return "SELECT ARTIGOS.CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, " + kVatRate +
         ", PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVPIVA, PRECOS.DATINIC AS DATINICORI, PRECOS.PVP AS PVPORI, "
         "PRECOS.PVPIVA AS PVPIVAORI FROM ARTIGOS LEFT OUTER JOIN PRECOS ON ARTIGOS.CODIGO = PRECOS.ARTIGO AND '" +
         eur + "' = PRECOS.MOEDA AND PRECOS.LINPRC >=" + to_string(lineFrom) +
         " AND PRECOS.LINPRC <=" + to_string(lineTo) +
         " LEFT OUTER JOIN U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO INNER JOIN RGIVA ON '" + regime +
         "' = RGIVA.CODIGO WHERE (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( "
         "U_ARTIGOS.PRECOFIXO=-1) ORDER BY ARTIGOS.CODIGO";
}

string findSellerParenthesised(std::string_view code) {
  return string("SELECT       * ") + "FROM         VENDEDOR " + "WHERE        (VENDEDOR.CODIGO = '" + c(code) + "') ";
}

string findSeller(std::string_view code) {
  return string("SELECT       * ") + "FROM         VENDEDOR " + "WHERE        CODIGO ='" + c(code) + "'";
}

string findPriceLine(int line) {
  return string("SELECT       * ") + "FROM         LINPRC " + "WHERE        (LINHA=" + to_string(line) + " )";
}

string findArticleOrdered(std::string_view code) {
  string sql = string("SELECT       * ") + "FROM         ARTIGOS ";
  if (!code.empty()) sql += "WHERE        (ARTIGOS.CODIGO = '" + c(code) + "') ";
  return sql + "ORDER BY ARTIGOS.CODIGO";
}

// ---- Price-line editor -------------------------------------------------------

string getLinhasPrecos(int line) {
  return string("SELECT       ARTIGOS.CODIGO, ") + "             ARTIGOS.NOME, " + "             ARTIGOS.IVA AS TAXA, " +
         "             CASE " + "                WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1 " +
         "                WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 " + "                WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3 " +
         "                WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 " + "             END AS IVA, " +
         "             PRECOS.DATINIC, " + "             PRECOS.PVP, " + "             PRECOS.PVPIVA, " +
         "             PRECOS.DATINIC AS DATINICORI, " + "             PRECOS.PVP AS PVPORI, " +
         "             PRECOS.PVPIVA AS PVPIVAORI " + "FROM         ARTIGOS " + "                LEFT OUTER JOIN " +
         "                    PRECOS ON ARTIGOS.CODIGO = PRECOS.ARTIGO AND " + "                           '" + eur +
         "' = PRECOS.MOEDA AND " + "                            " + to_string(line) + " = PRECOS.LINPRC " +
         "                LEFT OUTER JOIN " + "                    U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO " +
         "                INNER JOIN " + "                    RGIVA  ON '" + regime + "' = RGIVA.CODIGO " +
         "WHERE        (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( "
         "U_ARTIGOS.PRECOFIXO=-1) " +
         "ORDER BY     ARTIGOS.CODIGO ";
}

// ---- Discount and commission editors ------------------------------------------

string oneClient(std::string_view code) {
  return string("SELECT       CODIGO, NOME, INACTIVO ") + "FROM         CLIENTES " + "WHERE        CLIENTES.CODIGO='" +
         c(code) + "'";
}

string groupsWithClientDiscount(std::string_view code) {
  return string("SELECT     GRUPOS.COD, GRUPOS.DESCR, U_QOR_GRUPOSDESCONTO.DESCONTO ") +
         "FROM       GRUPOS LEFT OUTER JOIN " +
         "           U_QOR_GRUPOSDESCONTO ON GRUPOS.COD = U_QOR_GRUPOSDESCONTO.GRUPO AND '" + c(code) +
         "' = U_QOR_GRUPOSDESCONTO.CLIENTE " + "ORDER BY   GRUPOS.COD ";
}

string clientDiscounts(std::string_view code) {
  return string("SELECT     * ") + "FROM       U_QOR_GRUPOSDESCONTO " +
         "WHERE      U_QOR_GRUPOSDESCONTO.CLIENTE ='" + c(code) + "' " + "ORDER BY   GRUPO ";
}

string groupsWithSellerRate(std::string_view code) {
  return string("SELECT       GRUPOS.COD, GRUPOS.DESCR, U_QOR_COMGRUPOS.COMISSAO ") +
         "FROM         GRUPOS LEFT OUTER JOIN " +
         "             U_QOR_COMGRUPOS ON GRUPOS.COD = U_QOR_COMGRUPOS.GRUPO AND '" + c(code) +
         "' = U_QOR_COMGRUPOS.VENDEDOR " + "ORDER BY     GRUPOS.COD ";
}

string sellerRates(std::string_view code) {
  return string("SELECT     * ") + "FROM       U_QOR_COMGRUPOS " + "WHERE      U_QOR_COMGRUPOS.VENDEDOR='" + c(code) +
         "' " + "ORDER BY   GRUPO ";
}

// ---- Monthly commissions ---------------------------------------------------------

string monthComputed(const string& year, int month) {
  return "Select * from U_qor_ComMensais where Ano=" + year + " and Mes=" + to_string(month);
}

string commissionBases(const string& year, int month) {
  return string(
             "Select Sum((Abs(DOCGCCAB.TpTerc - DOCGCCAB.SINALCT) * 2 - 1) * 1 * DOCGCLIN.Quant) as Peso, "
             "DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao") +
         " FROM         DOCGCCAB INNER JOIN" +
         " DOCGCLIN ON DOCGCCAB.NNUMDOC = DOCGCLIN.NNUMDOC AND DOCGCCAB.TPDOC = DOCGCLIN.TPDOCUM AND DOCGCCAB.SERIE = "
         "DOCGCLIN.SERIE AND" +
         " DOCGCCAB.ANO = DOCGCLIN.ANO INNER JOIN" + " ARTIGOS ON DOCGCLIN.ARTIGO = ARTIGOS.CODIGO INNER JOIN" +
         " U_qor_ComGrupos ON DOCGCLIN.VENDEDOR = U_qor_ComGrupos.Vendedor AND ARTIGOS.GRUPO = U_qor_ComGrupos.Grupo" +
         " WHERE     (DOCGCCAB.ANO = " + year + ")  AND month(DocGcCab.Data)=" + to_string(month) +
         " and (DOCGCLIN.ARTIGO > '') and " +
         " NVIAS<>-1 and (TPTERC = 2) AND (AREAG = 4) AND (DocGcCab.TPOPER = 2) AND (NATCONTA = 1) " +
         " GROUP BY DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao";
}

string clearMonth(const string& year, int month) {
  return "Delete U_qor_ComMensais where Ano=" + year + "  AND Mes=" + to_string(month);
}

// ---- Criteria forms and the discounts report ---------------------------------------

string clientsWithDiscounts(std::string_view vi, std::string_view vf, std::string_view ci, std::string_view cf) {
  string sql = string("SELECT  distinct CL.VENDEDOR,  VD.NOME AS VND ") + "          ,GD.CLIENTE " +
               "          ,CL.NOME " + "          ,UCL.DSCVALPORKG AS DESCCAB " +
               "          ,CL.DESCCAB AS TIPOLINHA" + "          ,CL.DESCCAB AS LINHA";
  for (int i = 0; i <= 9; ++i) sql += "          ,CL.NOME    AS C" + to_string(i) + " ";
  return sql + "          ,GD.CLIENTE AS CLIENTEAUX " + "          ,CL.NOME    AS NOMEAUX " +
         "FROM      [U_QOR_GRUPOSDESCONTO] AS GD " + "              LEFT OUTER JOIN CLIENTES AS CL " +
         "                  ON CL.CODIGO = GD.CLIENTE " + "              LEFT OUTER JOIN GRUPOS AS GR " +
         "                  ON GR.COD = GD.GRUPO " + "              LEFT OUTER JOIN VENDEDOR AS VD " +
         "                  ON VD.CODIGO = CL.VENDEDOR " + "              LEFT OUTER JOIN U_CLIENTES AS UCL " +
         "                  ON UCL.CODIGO = CL.CODIGO " + "WHERE     GD.DESCONTO <>0 " +
         "          AND GD.CLIENTE >='" + c(ci) + "' AND GD.CLIENTE<='" + c(cf) + "' " +
         "          AND CL.VENDEDOR >='" + c(vi) + "' AND CL.VENDEDOR <='" + c(vf) + "' " +
         "ORDER BY  CL.VENDEDOR, GD.CLIENTE ";
}

string lookup(const char* columns, const char* from, const char* where, const char* order) {
  return string("SELECT       ") + columns + "FROM         " + from + where + "ORDER BY     " + order;
}

std::vector<SystemStatement> build() {
  const string year = to_string(kDocumentYear);
  const string everyArticleFrom = " ";
  const string everyArticleTo = "ZZZZZZZZZZZZZZZ";
  std::vector<SystemStatement> s = {
      // Sales-line pricing
      {"article record", articleRecord(kFixedPriceArticle), Expect::Rows},
      {"article record of an article typed in lower case", articleRecord("mil001"), Expect::Rows},
      {"article record of an unknown article", articleRecord(kUnknownArticle), Expect::NoRows},
      {"client record", clientRecord(kAllRulesClient), Expect::Rows},
      {"client record of a code with a quote", clientRecord(kQuotedCodeClient), Expect::Rows},
      {"client record of a client without user fields", clientRecord(kClientWithoutUserFields), Expect::Rows},
      {"price-line prices", priceLinePrices(kFixedPriceArticle, kPriceLine), Expect::Rows},
      {"price-line prices of an article without prices", priceLinePrices(kFixedPriceArticleWithoutPrice, kPriceLine),
       Expect::NoRows},
      {"group discount", groupDiscount(kFeedGroup, kGroupDiscountClient), Expect::Rows},
      {"group discount of a client without one", groupDiscount(kFeedGroup, kRetailClient), Expect::NoRows},
      {"scheduled retail prices", scheduledPrice(kScheduledPriceArticle), Expect::Rows},
      {"scheduled retail prices of an article without", scheduledPrice(kOrdinaryArticle), Expect::NoRows},

      // Sales-document hooks
      {"VendasTemLinhaPrecos client", client(kPriceLineClient), Expect::Rows},
      {"VendasTemLinhaPrecos price on the document date", priceOnDate(kFixedPriceArticle, kPriceLine, kDocumentDate),
       Expect::Rows},
      {"VendasTemLinhaPrecos price starting on the document date",
       priceOnDate(kFixedPriceArticle, kPriceLine, kPastPriceStart), Expect::Rows},
      {"VendasTemLinhaPrecos price starting after the document date",
       priceOnDate(kFuturePriceArticle, kPriceLine, kDocumentDate), Expect::NoRows},
      {"VendasAbonoFrete dispatch code", dispatch(kAllowanceDispatch), Expect::Rows},
      {"VendasAbonoFrete dispatch code without user fields", dispatch(kDispatchWithoutUserFields), Expect::NoRows},
      {"VendasAbonoFrete client user fields", clientFields(kAllowanceClient), Expect::Rows},
      {"VendasAbonoFrete client without user fields", clientFields(kClientWithoutUserFields), Expect::NoRows},

      // Bridge
      {"AbonoDeFrete article of a line", allowanceArticle(kGroupDiscountArticle), Expect::Rows},
      {"AbonoDeFrete article of a line in lower case", allowanceArticle("rav001"), Expect::Rows},
      {"AlteraPreco price exists", priceExists(kFixedPriceArticle, kNationalCurrency, kPriceLine), Expect::Rows},
      {"AlteraPreco price does not exist", priceExists(kFixedPriceArticleWithoutPrice, kNationalCurrency, kPriceLine),
       Expect::NoRows},
      {"AlteraPreco price removal", priceRemoval(kFixedPriceArticle, kNationalCurrency, kSecondPriceLine), Expect::Runs},

      // Scheduled retail prices
      {"SeedScheduledPrices", seedScheduledPricesStatement(), Expect::Runs},
      {"QueryScheduledPrices default ranges", queryScheduledPrices(everyArticleFrom, everyArticleTo, "", ""),
       Expect::Rows},
      {"QueryScheduledPrices one article",
       queryScheduledPrices(kScheduledPriceArticle, kScheduledPriceArticle, "", ""), Expect::Rows},
      {"QueryScheduledPrices with a group range",
       queryScheduledPrices(everyArticleFrom, everyArticleTo, kPetFoodGroup, kPetFoodGroup), Expect::Rows},
      {"QueryScheduledPrices with an empty upper group bound",
       queryScheduledPrices(everyArticleFrom, everyArticleTo, kPetFoodGroup, ""), Expect::NoRows},
      {"QueryScheduledPricesByActivation",
       queryScheduledPricesByActivation(everyArticleFrom, everyArticleTo, "2026-01-01", "2026-12-31"), Expect::Rows},
      {"FindArticle", articleRecord(kScheduledPriceArticle), Expect::Rows},
      {"FindGroup", findGroup(kPetFoodGroup), Expect::Rows},
      {"FindGroup unknown", findGroup("NENHUM"), Expect::NoRows},
      {"PickArticle", lookup("CODIGO as Código, NOME as Nome ", "ARTIGOS ", "", "ARTIGOS.CODIGO "), Expect::Rows},
      {"PickGroup", lookup("COD as Código, DESCR as Nome ", "GRUPOS ", "", "GRUPOS.COD "), Expect::Rows},

      // Price-line price changes and their criteria
      {"QueryLinePrices", queryLinePrices(kSeller, kSellerWithoutRates, kPriceLine, kSecondPriceLine,
                                          everyArticleFrom, everyArticleTo),
       Expect::Rows},
      {"QueryLinePrices of a line without a LINPRC row",
       queryLinePrices(kSeller, kSeller, kUndefinedPriceLine, kUndefinedPriceLine, everyArticleFrom, everyArticleTo),
       Expect::Rows},
      {"QueryLinePricesByStartDate",
       queryLinePricesByStartDate(kSeller, kSellerWithoutRates, kPriceLine, kSecondPriceLine, everyArticleFrom,
                                  everyArticleTo, kPastPriceStart, "2025-12-31"),
       Expect::Rows},
      {"QuerySellers", string("SELECT       * ") + "FROM         VENDEDOR " + "ORDER BY     CODIGO ", Expect::Rows},
      {"QueryPriceLines", string("SELECT       * ") + "FROM         LINPRC " + "ORDER BY     LINHA ", Expect::Rows},
      {"QueryFixedPriceArticles", queryFixedPriceArticles(kPriceLine, kSecondPriceLine), Expect::Rows},
      {"FindSeller", findSellerParenthesised(kSeller), Expect::Rows},
      {"FindPriceLine", findPriceLine(kPriceLine), Expect::Rows},
      {"FindPriceLine unknown", findPriceLine(kUnknownPriceLine), Expect::NoRows},
      {"criteria FindSeller", findSeller(kSeller), Expect::Rows},
      {"criteria FindArticle", findArticleOrdered(kFixedPriceArticle), Expect::Rows},
      {"criteria FindArticle of an empty code", findArticleOrdered(""), Expect::Rows},
      {"PickSeller", lookup("CODIGO as Código, NOME as Nome ", "VENDEDOR ", "", "VENDEDOR.CODIGO "), Expect::Rows},
      {"PickPriceLine",
       string("SELECT       LINHA as Linha, DESCR as Descrição ") + "FROM         LINPRC " + "ORDER BY     LINPRC.LINHA",
       Expect::Rows},

      // Price-line editor
      {"price lines", string("SELECT       * ") + "FROM         LINPRC " + "ORDER BY     LINHA ", Expect::Rows},
      {"one price line", findPriceLine(kSecondPriceLine), Expect::Rows},
      {"GetLinhasPrecos", getLinhasPrecos(kPriceLine), Expect::Rows},
      {"GetLinhasPrecos of an undefined line", getLinhasPrecos(kUnknownPriceLine), Expect::Rows},

      // Client/group discount editor
      {"active clients",
       string("SELECT       CODIGO, NOME ") + "FROM         CLIENTES " + "WHERE        INACTIVO=0 " +
           "ORDER BY     CLIENTES.CODIGO ",
       Expect::Rows},
      {"one client", oneClient(kGroupDiscountClient), Expect::Rows},
      {"one client with a quote", oneClient(kQuotedCodeClient), Expect::Rows},
      {"groups with the client's discount", groupsWithClientDiscount(kGroupDiscountClient), Expect::Rows},
      {"the client's stored discounts", clientDiscounts(kSixGroupsClient), Expect::Rows},
      {"the stored discounts of a client without", clientDiscounts(kRetailClient), Expect::NoRows},
      {"client lookup", lookup("CODIGO as Código, NOME as Nome ", "CLIENTES ", "WHERE        INACTIVO=0 ",
                               "CLIENTES.CODIGO "),
       Expect::Rows},

      // Commission rates
      {"sellers", string("SELECT       CODIGO, NOME ") + "FROM         VENDEDOR " + "ORDER BY     VENDEDOR.CODIGO ",
       Expect::Rows},
      {"groups with the seller's rate", groupsWithSellerRate(kSeller), Expect::Rows},
      {"the seller's stored rates", sellerRates(kSeller), Expect::Rows},
      {"the stored rates of a seller without", sellerRates(kSellerWithoutRates), Expect::NoRows},

      // Monthly commissions (the commission window has created its table and
      // computed March)
      {"existence probe", monthlyCommissionsProbe(), Expect::Rows},
      {"month already computed", monthComputed(year, 3), Expect::Rows},
      {"month not computed", monthComputed(year, 4), Expect::NoRows},
      {"commission bases", commissionBases(year, 3), Expect::Rows},
      {"commission bases of a month without sales", commissionBases(year, 12), Expect::NoRows},
      {"clear the month", clearMonth(year, 3), Expect::Runs},
      {"empty row set to add to", "Select * from U_qor_ComMensais where Id=-10", Expect::NoRows},

      // Report criteria
      {"lookup Clientes (active)", lookup("CODIGO as Código, NOME as Nome ", "CLIENTES ", "WHERE        INACTIVO=0 ",
                                          "CLIENTES.CODIGO "),
       Expect::Rows},
      {"lookup Clientes (all)", lookup("CODIGO as Código, NOME as Nome ", "CLIENTES ", "", "CLIENTES.CODIGO "),
       Expect::Rows},
      {"lookup Zonas", lookup("Zona as Código, DESCR as Nome ", "ZONAGEO ", "", "ZONA "), Expect::Rows},
      {"lookup Carteiras", lookup("CODIGO as Código, DESCRI as Nome ", "CARTEIRA ", "WHERE        ACTIVO = -1 ",
                                  "CARTEIRA.CODIGO "),
       Expect::Rows},
      {"lookup Linhas de Preços",
       string("SELECT       LINHA as Linha, DESCR as Descrição ") + "FROM         LINPRC " + "ORDER BY     LINPRC.LINHA",
       Expect::Rows},
      {"lookup Artigos", lookup("CODIGO as Código, NOME as Nome ", "ARTIGOS ", "", "ARTIGOS.CODIGO "), Expect::Rows},
      {"default clients", string("SELECT       CODIGO, NOME ") + "FROM         CLIENTES " + "ORDER BY     CODIGO ",
       Expect::Rows},
      {"default zones", string("SELECT       * ") + "FROM         ZONAGEO " + "ORDER BY     ZONA ", Expect::Rows},
      {"default portfolios",
       string("SELECT       * ") + "FROM         CARTEIRA " + "WHERE        ACTIVO = -1 " + "ORDER BY     CODIGO ",
       Expect::Rows},
      {"default articles", findArticleOrdered(""), Expect::Rows},
      {"default clients, every column", string("SELECT       * ") + "FROM         CLIENTES " + "ORDER BY     CODIGO ",
       Expect::Rows},
      {"validate client", string("SELECT       CODIGO, NOME ") + "FROM         CLIENTES " +
                              "WHERE        CLIENTES.CODIGO='" + c(kPriceLineClient) + "'",
       Expect::Rows},
      {"validate zone", string("SELECT       * ") + "FROM         ZONAGEO " + "WHERE        ZONA ='" + c(kZone) + "'",
       Expect::Rows},
      {"validate portfolio",
       string("SELECT       * ") + "FROM         CARTEIRA " + "WHERE        CODIGO = '" + c(kActivePortfolio) + "'",
       Expect::Rows},
      {"validate inactive portfolio",
       string("SELECT       * ") + "FROM         CARTEIRA " + "WHERE        CODIGO = '" + c(kInactivePortfolio) + "'",
       Expect::Rows},
      {"validate seller with parentheses", findSellerParenthesised(kNamesakeSeller2), Expect::Rows},
      {"validate client with parentheses",
       string("SELECT       * ") + "FROM         CLIENTES " + "WHERE        (CLIENTES.CODIGO = '" + c(kInactiveClient) +
           "') ",
       Expect::Rows},

      // Client/group discounts report
      {"clients with discounts", clientsWithDiscounts(kSeller, kSellerWithoutRates, kFiveGroupsClient, kSixGroupsClient),
       Expect::Rows},
      {"clients with discounts, only zero discounts",
       clientsWithDiscounts(kSeller, kSellerWithoutRates, kZeroDiscountsClient, kZeroDiscountsClient), Expect::NoRows},
      {"clients with discounts, the empty row set", clientsWithDiscounts("-1", "-1", "-1", "-1"), Expect::NoRows},
  };
  return s;
}

}  // namespace

const std::vector<SystemStatement>& systemStatements() {
  static const std::vector<SystemStatement> statements = build();
  return statements;
}

std::string createMonthlyCommissionsStatement() {
  return string(" CREATE TABLE [dbo].[U_qor_ComMensais](") +
         "[Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," + "[Mes] [smallint] NULL," +
         "[Ano] [smallint] NULL," + "[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," +
         "[Comissao] [money] NULL," + "[ValorBase] [money] NULL," + "[Id] [int] IDENTITY(1,1) NOT NULL," +
         "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED" + " (" + " [ID] Asc" + " )" + " ) ON [PRIMARY]";
}

std::string commissionBasesStatement(int year, int month) { return commissionBases(to_string(year), month); }

std::string monthlyCommissionsProbe() { return "select Vendedor from  U_qor_ComMensais"; }

std::string seedScheduledPricesStatement() {
  return "INSERT U_QOR_PRECOS ([ARTIGO], [DATAACTIVACAO], [PVP1SIVA], [PVP1CIVA], [PVP2SIVA], [PVP2CIVA], [PVP3SIVA], "
         "[PVP3CIVA], [DATAACTUALIZACAO], [HPVP1SIVA], [HPVP1CIVA], [HPVP2SIVA], [HPVP2CIVA], [HPVP3SIVA], "
         "[HPVP3CIVA]) SELECT [CODIGO], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], "
         "[PVP3_COM_IVA], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], [PVP3_COM_IVA] "
         "FROM ARTIGOS WHERE NOT EXISTS (SELECT * FROM U_QOR_PRECOS WHERE U_QOR_PRECOS.ARTIGO=ARTIGOS.CODIGO)";
}

}  // namespace quill::erp::test

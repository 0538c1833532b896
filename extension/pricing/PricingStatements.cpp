#include "extension/pricing/PricingStatements.h"

#include "platform/sql/SqlQuote.h"

namespace quill::precos {

namespace {

using sql::sqlQuote;

// The article's VAT rate in the regime: TX1 to TX4 by its VAT index.
const char* kTaxaIva =
    "CASE WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1 "
    "WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 "
    "WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3 "
    "WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 "
    "END AS IVA, ";

std::string scheduledPricesFrom(const std::string& regime) {
  return std::string("SELECT       U_QOR_PRECOS.ARTIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, ARTIGOS.GRUPO AS GRUPO, ") +
         kTaxaIva +
         "U_QOR_PRECOS.DATAACTIVACAO, "
         "U_QOR_PRECOS.PVP1SIVA, U_QOR_PRECOS.PVP1SIVA AS PVP1SIVANEW, "
         "U_QOR_PRECOS.PVP1CIVA, U_QOR_PRECOS.PVP1CIVA AS PVP1CIVANEW, "
         "U_QOR_PRECOS.PVP2SIVA, U_QOR_PRECOS.PVP2SIVA AS PVP2SIVANEW, "
         "U_QOR_PRECOS.PVP2CIVA, U_QOR_PRECOS.PVP2CIVA AS PVP2CIVANEW, "
         "U_QOR_PRECOS.PVP3SIVA, U_QOR_PRECOS.PVP3SIVA AS PVP3SIVANEW, "
         "U_QOR_PRECOS.PVP3CIVA, U_QOR_PRECOS.PVP3CIVA AS PVP3CIVANEW, "
         "U_QOR_PRECOS.DATAACTUALIZACAO, "
         "U_QOR_PRECOS.HPVP1SIVA, U_QOR_PRECOS.HPVP1CIVA, "
         "U_QOR_PRECOS.HPVP2SIVA, U_QOR_PRECOS.HPVP2CIVA, "
         "U_QOR_PRECOS.HPVP3SIVA, U_QOR_PRECOS.HPVP3CIVA "
         "FROM         U_QOR_PRECOS INNER JOIN "
         "             ARTIGOS ON U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN "
         "             RGIVA ON RGIVA.CODIGO='" +
         sqlQuote(regime) +
         "' "
         "WHERE        (ARTIGOS.ARTOUDES=0) AND (ARTIGOS.INACTIVO=0) ";
}

std::string linePricesFrom(std::int16_t lineFrom, std::int16_t lineTo, const std::string& artFrom,
                           const std::string& artTo, const std::string& currency, const std::string& regime) {
  return std::string(
             "SELECT       CLIENTES.VENDEDOR, VENDEDOR.NOME AS VENDNOME, CLIENTES.TPPRECO AS LINPRC, "
             "LINPRC.DESCR AS LINDESCR, PRECOS.ARTIGO AS CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, ") +
         kTaxaIva +
         "PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVP AS PVPNEW, PRECOS.PVPIVA, PRECOS.PVPIVA AS PVPIVANEW, "
         "PRECOS.DATINIC AS DATINICORI, PRECOS.BUTHIST AS PVPORI, PRECOS.BASECIVA AS PVPIVAORI "
         "FROM         CLIENTES INNER JOIN "
         "             VENDEDOR ON CLIENTES.VENDEDOR = VENDEDOR.CODIGO INNER JOIN "
         "             PRECOS ON CLIENTES.TPPRECO = PRECOS.LINPRC LEFT OUTER JOIN "
         "             ARTIGOS ON PRECOS.ARTIGO = ARTIGOS.CODIGO LEFT OUTER JOIN "
         "             RGIVA ON RGIVA.CODIGO='" +
         sqlQuote(regime) +
         "' LEFT OUTER JOIN "
         "             U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO LEFT OUTER JOIN "
         "             LINPRC ON LINPRC.LINHA = PRECOS.LINPRC "
         "WHERE        (PRECOS.MOEDA ='" +
         sqlQuote(currency) + "') AND (PRECOS.LINPRC >=" + std::to_string(lineFrom) +
         ") AND (PRECOS.LINPRC <=" + std::to_string(lineTo) +
         ") AND (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO >='" + sqlQuote(artFrom) +
         "') AND (ARTIGOS.CODIGO <='" + sqlQuote(artTo) + "') AND (U_ARTIGOS.PRECOFIXO=-1) AND ";
}

const char* kLinePricesOrder = "ORDER BY     CLIENTES.VENDEDOR, PRECOS.LINPRC, PRECOS.ARTIGO";

}  // namespace

std::string SeedScheduledPrices() {
  return "INSERT U_QOR_PRECOS ([ARTIGO], [DATAACTIVACAO], [PVP1SIVA], [PVP1CIVA], [PVP2SIVA], [PVP2CIVA], "
         "[PVP3SIVA], [PVP3CIVA], [DATAACTUALIZACAO], [HPVP1SIVA], [HPVP1CIVA], [HPVP2SIVA], [HPVP2CIVA], "
         "[HPVP3SIVA], [HPVP3CIVA]) "
         "SELECT [CODIGO], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], "
         "[PVP3_COM_IVA], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], "
         "[PVP3_COM_IVA] "
         "FROM ARTIGOS "
         "WHERE NOT EXISTS (SELECT * FROM U_QOR_PRECOS WHERE U_QOR_PRECOS.ARTIGO=ARTIGOS.CODIGO)";
}

std::string QueryScheduledPrices(const std::string& artFrom, const std::string& artTo, const std::string& grpFrom,
                                 const std::string& grpTo, const std::string& currency, const std::string& regime) {
  std::string sql = scheduledPricesFrom(regime) + "AND (ARTIGOS.CODIGO >='" + sqlQuote(artFrom) +
                    "') AND (ARTIGOS.CODIGO <='" + sqlQuote(artTo) + "') ";
  if (!grpFrom.empty() || !grpTo.empty())
    sql += "AND (ARTIGOS.GRUPO >='" + sqlQuote(grpFrom) + "') AND (ARTIGOS.GRUPO <='" + sqlQuote(grpTo) + "') ";
  return sql + "ORDER BY     ARTIGOS.CODIGO";
}

std::string QueryScheduledPricesByActivation(const std::string& artFrom, const std::string& artTo,
                                             const std::string& dateFrom, const std::string& dateTo,
                                             const std::string& currency, const std::string& regime) {
  return scheduledPricesFrom(regime) + "AND ((ARTIGOS.CODIGO >='" + sqlQuote(artFrom) + "') AND (ARTIGOS.CODIGO <='" +
         sqlQuote(artTo) + "')) AND ((U_QOR_PRECOS.DATAACTIVACAO >='" + sqlQuote(dateFrom) +
         "') AND (U_QOR_PRECOS.DATAACTIVACAO <='" + sqlQuote(dateTo) +
         "')) "
         "ORDER BY     ARTIGOS.CODIGO";
}

std::string QueryLinePrices(const std::string& sellerFrom, const std::string& sellerTo, std::int16_t lineFrom,
                            std::int16_t lineTo, const std::string& artFrom, const std::string& artTo,
                            const std::string& currency, const std::string& regime) {
  return linePricesFrom(lineFrom, lineTo, artFrom, artTo, currency, regime) + "(CLIENTES.VENDEDOR >= '" +
         sqlQuote(sellerFrom) + "') AND (CLIENTES.VENDEDOR <= '" + sqlQuote(sellerTo) + "') " + kLinePricesOrder;
}

std::string QueryLinePricesByStartDate(const std::string& sellerFrom, const std::string& sellerTo,
                                       std::int16_t lineFrom, std::int16_t lineTo, const std::string& artFrom,
                                       const std::string& artTo, const std::string& dateFrom, const std::string& dateTo,
                                       const std::string& currency, const std::string& regime) {
  return linePricesFrom(lineFrom, lineTo, artFrom, artTo, currency, regime) + "((CLIENTES.VENDEDOR >= '" +
         sqlQuote(sellerFrom) + "') AND (CLIENTES.VENDEDOR <= '" + sqlQuote(sellerTo) +
         "')) AND ((PRECOS.DATINIC >= '" + sqlQuote(dateFrom) + "') AND (PRECOS.DATINIC <= '" + sqlQuote(dateTo) +
         "')) " + kLinePricesOrder;
}

std::string QueryFixedPriceArticles(std::int16_t lineFrom, std::int16_t lineTo, const std::string& currency,
                                    const std::string& regime) {
  return std::string("SELECT       ARTIGOS.CODIGO, ARTIGOS.NOME, ARTIGOS.IVA AS TAXA, ") + kTaxaIva +
         "PRECOS.DATINIC, PRECOS.PVP, PRECOS.PVPIVA, PRECOS.DATINIC AS DATINICORI, PRECOS.PVP AS PVPORI, "
         "PRECOS.PVPIVA AS PVPIVAORI "
         "FROM         ARTIGOS LEFT OUTER JOIN "
         "             PRECOS ON ARTIGOS.CODIGO = PRECOS.ARTIGO AND '" +
         sqlQuote(currency) + "' = PRECOS.MOEDA AND PRECOS.LINPRC >=" + std::to_string(lineFrom) +
         " AND PRECOS.LINPRC <=" + std::to_string(lineTo) +
         " LEFT OUTER JOIN "
         "             U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO INNER JOIN "
         "             RGIVA ON '" +
         sqlQuote(regime) +
         "' = RGIVA.CODIGO "
         // clang-format off
         "WHERE        (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( U_ARTIGOS.PRECOFIXO=-1) "
         // clang-format on
         "ORDER BY     ARTIGOS.CODIGO";
}

}  // namespace quill::precos

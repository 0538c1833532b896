#include "extension/core/PricingQueries.h"

#include "extension/components/DataAccess.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/vb/OleDate.h"

namespace quill {

using sql::sqlQuote;

std::shared_ptr<sql::Recordset> PricingQueries::open(const std::string& statement) {
  try {
    DataAccess* dataAccess = dataAccess_();
    if (!dataAccess) return nullptr;
    auto rs = dataAccess->OpenRecordset(statement);
    return sql::noRows(rs.get()) ? nullptr : rs;
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::shared_ptr<sql::Recordset> PricingQueries::artigoRecordset(std::string_view codigo) {
  return open(std::string("SELECT       * ") + "FROM         ARTIGOS LEFT OUTER JOIN" +
              "                 U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO " + "WHERE        (ARTIGOS.CODIGO = '" +
              sqlQuote(codigo) + "') ");
}

std::optional<ArtigoRecord> PricingQueries::artigo(std::string_view codigo) {
  auto rs = artigoRecordset(codigo);
  if (!rs) return std::nullopt;
  try {
    ArtigoRecord a;
    a.codigo = sql::fieldText(*rs, "CODIGO");
    a.artOuDes = sql::fieldLong(*rs, "ARTOUDES");
    a.grupo = sql::fieldText(*rs, "GRUPO");
    a.unvnd = sql::fieldText(*rs, "UNVND");
    a.unemb = sql::fieldText(*rs, "UNEMB");
    a.factemb = sql::fieldDouble(*rs, "FACTEMB");
    a.untrans = sql::fieldText(*rs, "UNTRANS");
    a.facttra = sql::fieldDouble(*rs, "FACTTRA");
    a.pvpsiva = sql::fieldDouble(*rs, "PVPSIVA");
    a.pvalsiva = sql::fieldDouble(*rs, "PVALSIVA");
    a.pvp3SemIva = sql::fieldDouble(*rs, "PVP3_SEM_IVA");
    a.precoFixo = sql::fieldDouble(*rs, "PRECOFIXO") != 0;
    return a;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<ClienteRecord> PricingQueries::cliente(std::string_view codigo) {
  auto rs = open(std::string("SELECT       * ") + "FROM         CLIENTES LEFT OUTER JOIN" +
                 "                 U_CLIENTES ON CLIENTES.CODIGO = U_CLIENTES.CODIGO " +
                 "WHERE        (CLIENTES.CODIGO = '" + sqlQuote(codigo) + "') ");
  if (!rs) return std::nullopt;
  try {
    ClienteRecord c;
    c.codigo = sql::fieldText(*rs, "CODIGO");
    c.tppreco = sql::fieldLong(*rs, "TPPRECO");
    c.tppre = sql::fieldLong(*rs, "TPPRE");
    c.dscValPorKg = sql::fieldDouble(*rs, "DSCVALPORKG");
    c.descComp = sql::fieldText(*rs, "DESCCOMP");
    return c;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<PrecoDaLinha> PricingQueries::precoDaLinha(std::string_view artigo, std::string_view moeda,
                                                         std::int32_t linha) {
  auto rs =
      open(std::string("SELECT       * ") + "FROM         PRECOS " + "WHERE        (ARTIGO ='" + sqlQuote(artigo) +
           "') AND (MOEDA = '" + sqlQuote(moeda) + "') AND (LINPRC =" + std::to_string(linha) + ") ");
  if (!rs) return std::nullopt;
  try {
    return PrecoDaLinha{sql::fieldDate(*rs, "DATINIC").value_or(vb::kZeroDate), sql::fieldDouble(*rs, "PVP"),
                        sql::fieldDouble(*rs, "BUTHIST")};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<double> PricingQueries::descontoDoGrupo(std::string_view grupo, std::string_view cliente) {
  auto rs = open(std::string("SELECT       * ") + "FROM         U_QOR_GRUPOSDESCONTO " + "WHERE        (GRUPO ='" +
                 sqlQuote(grupo) + "') AND (CLIENTE = '" + sqlQuote(cliente) + "')");
  if (!rs) return std::nullopt;
  try {
    return sql::fieldDouble(*rs, "DESCONTO");
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<PrecoAgendado> PricingQueries::precoAgendado(std::string_view artigo) {
  auto rs =
      open(std::string("SELECT  * ") + "FROM      U_QOR_PRECOS " + "WHERE     (ARTIGO ='" + sqlQuote(artigo) + "') ");
  if (!rs) return std::nullopt;
  try {
    PrecoAgendado p;
    p.dataActivacao = sql::fieldDate(*rs, "DATAACTIVACAO").value_or(vb::kZeroDate);
    p.pvpSiva = {sql::fieldDouble(*rs, "PVP1SIVA"), sql::fieldDouble(*rs, "PVP2SIVA"),
                 sql::fieldDouble(*rs, "PVP3SIVA")};
    p.hpvpSiva = {sql::fieldDouble(*rs, "HPVP1SIVA"), sql::fieldDouble(*rs, "HPVP2SIVA"),
                  sql::fieldDouble(*rs, "HPVP3SIVA")};
    return p;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quill

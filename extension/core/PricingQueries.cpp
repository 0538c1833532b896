#include "extension/core/PricingQueries.h"

#include "extension/components/DataAccess.h"
#include "extension/core/RecordValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"

namespace quill {

using sql::sqlQuote;

std::shared_ptr<sql::Recordset> PricingQueries::open(const std::string& statement) {
  try {
    DataAccess* dataAccess = dataAccess_();
    if (!dataAccess) return nullptr;
    auto rs = dataAccess->OpenRecordset(statement);
    return noRows(rs.get()) ? nullptr : rs;
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::shared_ptr<sql::Recordset> PricingQueries::artigoRecordset(std::string_view codigo) {
  return open(std::string("SELECT       * ") + "FROM         ARTIGOS LEFT OUTER JOIN" +
              "                 U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO " +
              "WHERE        (ARTIGOS.CODIGO = '" + sqlQuote(codigo) + "') ");
}

std::optional<ArtigoRecord> PricingQueries::artigo(std::string_view codigo) {
  auto rs = artigoRecordset(codigo);
  if (!rs) return std::nullopt;
  try {
    ArtigoRecord a;
    a.codigo = textOf(*rs, "CODIGO");
    a.artOuDes = static_cast<std::int32_t>(numberOf(*rs, "ARTOUDES"));
    a.grupo = textOf(*rs, "GRUPO");
    a.unvnd = textOf(*rs, "UNVND");
    a.unemb = textOf(*rs, "UNEMB");
    a.factemb = numberOf(*rs, "FACTEMB");
    a.untrans = textOf(*rs, "UNTRANS");
    a.facttra = numberOf(*rs, "FACTTRA");
    a.pvpsiva = numberOf(*rs, "PVPSIVA");
    a.pvalsiva = numberOf(*rs, "PVALSIVA");
    a.pvp3SemIva = numberOf(*rs, "PVP3_SEM_IVA");
    a.precoFixo = numberOf(*rs, "PRECOFIXO") != 0;
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
    c.codigo = textOf(*rs, "CODIGO");
    c.tppreco = static_cast<std::int32_t>(numberOf(*rs, "TPPRECO"));
    c.tppre = static_cast<std::int32_t>(numberOf(*rs, "TPPRE"));
    c.dscValPorKg = numberOf(*rs, "DSCVALPORKG");
    c.descComp = textOf(*rs, "DESCCOMP");
    return c;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<PrecoDaLinha> PricingQueries::precoDaLinha(std::string_view artigo, std::string_view moeda,
                                                         std::int32_t linha) {
  auto rs = open(std::string("SELECT       * ") + "FROM         PRECOS " + "WHERE        (ARTIGO ='" +
                 sqlQuote(artigo) + "') AND (MOEDA = '" + sqlQuote(moeda) + "') AND (LINPRC =" +
                 std::to_string(linha) + ") ");
  if (!rs) return std::nullopt;
  try {
    return PrecoDaLinha{dateOf(*rs, "DATINIC"), numberOf(*rs, "PVP"), numberOf(*rs, "BUTHIST")};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<double> PricingQueries::descontoDoGrupo(std::string_view grupo, std::string_view cliente) {
  auto rs = open(std::string("SELECT       * ") + "FROM         U_QOR_GRUPOSDESCONTO " + "WHERE        (GRUPO ='" +
                 sqlQuote(grupo) + "') AND (CLIENTE = '" + sqlQuote(cliente) + "')");
  if (!rs) return std::nullopt;
  try {
    return numberOf(*rs, "DESCONTO");
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<PrecoAgendado> PricingQueries::precoAgendado(std::string_view artigo) {
  auto rs = open(std::string("SELECT  * ") + "FROM      U_QOR_PRECOS " + "WHERE     (ARTIGO ='" + sqlQuote(artigo) +
                 "') ");
  if (!rs) return std::nullopt;
  try {
    PrecoAgendado p;
    p.dataActivacao = dateOf(*rs, "DATAACTIVACAO");
    p.pvpSiva = {numberOf(*rs, "PVP1SIVA"), numberOf(*rs, "PVP2SIVA"), numberOf(*rs, "PVP3SIVA")};
    p.hpvpSiva = {numberOf(*rs, "HPVP1SIVA"), numberOf(*rs, "HPVP2SIVA"), numberOf(*rs, "HPVP3SIVA")};
    return p;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quill

#include "host/CompanyCatalog.h"

#include <fmt/format.h>

#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

std::string text(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? std::string() : vb::CStr(v);
}

double number(const sql::Recordset& rs, std::string_view field) {
  const Variant& v = rs.value(field);
  return v.isNull() || v.isEmpty() ? 0.0 : vb::CDbl(v);
}

int whole(const sql::Recordset& rs, std::string_view field) { return static_cast<int>(number(rs, field)); }

bool sameUnit(std::string_view a, std::string_view b) { return !a.empty() && vb::UCase(a) == vb::UCase(b); }

}  // namespace

bool ArticleRecord::sellsIn(std::string_view unit) const {
  return sameUnit(saleUnit, unit) || sameUnit(packingUnit, unit) || sameUnit(transportUnit, unit);
}

double ArticleRecord::unitFactor(std::string_view unit) const {
  double factor = 1.0;
  if (sameUnit(packingUnit, unit)) factor = packingFactor;
  if (sameUnit(transportUnit, unit)) factor = transportFactor;
  return factor == 0 ? 1.0 : factor;
}

std::string ArticleRecord::unitSpelling(std::string_view unit) const {
  for (const auto* u : {&saleUnit, &packingUnit, &transportUnit})
    if (sameUnit(*u, unit)) return *u;
  return std::string(unit);
}

CompanyCatalog::CompanyCatalog(std::shared_ptr<sql::Connection> connection) : connection_(std::move(connection)) {}

std::optional<ClientRecord> CompanyCatalog::client(std::string_view code) const {
  auto rs = connection_->query(
      "SELECT CODIGO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, PRAZOPAG, TPPRE, INACTIVO FROM CLIENTES WHERE CODIGO = ?",
      {std::string(vb::Trim(code))});
  if (rs->eof()) return std::nullopt;
  ClientRecord c;
  c.code = text(*rs, "CODIGO");
  c.name = text(*rs, "NOME");
  c.currency = text(*rs, "MOEDA");
  c.dispatch = text(*rs, "EXPEDICAO");
  c.seller = text(*rs, "VENDEDOR");
  c.zone = text(*rs, "ZONA");
  c.paymentDays = whole(*rs, "PRAZOPAG");
  c.retailPriceType = whole(*rs, "TPPRE");
  c.inactive = number(*rs, "INACTIVO") != 0;
  return c;
}

std::optional<ArticleRecord> CompanyCatalog::article(std::string_view code) const {
  auto rs = connection_->query(
      "SELECT CODIGO, NOME, UNVND, UNEMB, FACTEMB, UNTRANS, FACTTRA, PVPSIVA, PVALSIVA, PVP3_SEM_IVA, IVA, ARTOUDES "
      "FROM ARTIGOS WHERE CODIGO = ?",
      {std::string(vb::Trim(code))});
  if (rs->eof()) return std::nullopt;
  ArticleRecord a;
  a.code = text(*rs, "CODIGO");
  a.name = text(*rs, "NOME");
  a.saleUnit = text(*rs, "UNVND");
  a.packingUnit = text(*rs, "UNEMB");
  a.packingFactor = number(*rs, "FACTEMB");
  a.transportUnit = text(*rs, "UNTRANS");
  a.transportFactor = number(*rs, "FACTTRA");
  a.retail = {number(*rs, "PVPSIVA"), number(*rs, "PVALSIVA"), number(*rs, "PVP3_SEM_IVA")};
  a.vatIndex = whole(*rs, "IVA");
  a.descriptionOnly = number(*rs, "ARTOUDES") != 0;
  return a;
}

namespace {
DocumentTypeRecord typeFrom(const sql::Recordset& rs) {
  DocumentTypeRecord t;
  t.code = text(rs, "CODIGO");
  t.description = text(rs, "DESCR");
  t.classification = {whole(rs, "AREAG"),    whole(rs, "TPTERC"),   whole(rs, "TPOPER"),
                      whole(rs, "NATCONTA"), whole(rs, "TIPIFSTK"), whole(rs, "SINALCT")};
  return t;
}
constexpr const char* kTypeColumns =
    "SELECT CODIGO, DESCR, AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT FROM TIPOSDOC ";
}  // namespace

std::optional<DocumentTypeRecord> CompanyCatalog::documentType(std::string_view code) const {
  auto rs = connection_->query(std::string(kTypeColumns) + "WHERE CODIGO = ?", {std::string(vb::Trim(code))});
  if (rs->eof()) return std::nullopt;
  return typeFrom(*rs);
}

std::vector<DocumentTypeRecord> CompanyCatalog::salesDocumentTypes() const {
  std::vector<DocumentTypeRecord> types;
  auto rs = connection_->query(std::string(kTypeColumns) + "WHERE AREAG = 4 AND TPTERC = 2 ORDER BY CODIGO");
  for (; !rs->eof(); rs->moveNext()) types.push_back(typeFrom(*rs));
  return types;
}

std::vector<int> CompanyCatalog::series(std::string_view documentType) const {
  std::vector<int> list;
  auto rs = connection_->query("SELECT SERIE FROM SERIES WHERE TPDOC = ? ORDER BY SERIE", {std::string(documentType)});
  for (; !rs->eof(); rs->moveNext()) list.push_back(whole(*rs, "SERIE"));
  return list;
}

bool CompanyCatalog::seriesExists(std::string_view documentType, int series) const {
  auto rs = connection_->query("SELECT SERIE FROM SERIES WHERE TPDOC = ? AND SERIE = ?",
                               {std::string(documentType), std::int32_t{series}});
  return !rs->eof();
}

std::optional<std::string> CompanyCatalog::code(std::string_view table, std::string_view column,
                                                std::string_view value) const {
  auto rs = connection_->query(fmt::format("SELECT {0} FROM {1} WHERE {0} = ?", column, table),
                               {std::string(vb::Trim(value))});
  if (rs->eof()) return std::nullopt;
  return text(*rs, column);
}

std::optional<std::string> CompanyCatalog::dispatch(std::string_view value) const {
  return code("EXPEDIR", "CODIGO", value);
}

std::vector<std::string> CompanyCatalog::dispatchCodes() const {
  std::vector<std::string> list;
  auto rs = connection_->query("SELECT CODIGO FROM EXPEDIR ORDER BY CODIGO");
  for (; !rs->eof(); rs->moveNext()) list.push_back(text(*rs, "CODIGO"));
  return list;
}

std::optional<std::string> CompanyCatalog::currency(std::string_view value) const {
  return code("MOEDAS", "CODIGO", value);
}

std::optional<std::string> CompanyCatalog::unit(std::string_view value) const {
  return code("UNIDADES", "CODIGO", value);
}

std::string CompanyCatalog::nationalCurrency() const {
  auto rs = connection_->query("SELECT MOEDANAC FROM PARAMETROS");
  return rs->eof() ? std::string() : text(*rs, "MOEDANAC");
}

double CompanyCatalog::vatRate(int vatIndex) const {
  if (vatIndex < 1 || vatIndex > 4) return 0;
  auto rs = connection_->query(fmt::format(
      "SELECT RGIVA.TX{} AS TAXA FROM PARAMETROS INNER JOIN RGIVA ON RGIVA.CODIGO = PARAMETROS.RGIVANAC", vatIndex));
  return rs->eof() ? 0.0 : number(*rs, "TAXA");
}

double CompanyCatalog::defaultPrice(const ArticleRecord& article, const ClientRecord& client,
                                    std::string_view unit) const {
  int type = client.retailPriceType >= 0 && client.retailPriceType <= 2 ? client.retailPriceType : 0;
  return article.retail[static_cast<std::size_t>(type)] * article.unitFactor(unit);
}

}  // namespace quill::host

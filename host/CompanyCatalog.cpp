#include "host/CompanyCatalog.h"

#include <fmt/format.h>

#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

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

std::string SeriesRecord::caption() const {
  return description.empty() ? std::to_string(number) : fmt::format("{} - {}", number, description);
}

CompanyCatalog::CompanyCatalog(std::shared_ptr<sql::Connection> connection) : connection_(std::move(connection)) {}

std::optional<ClientRecord> CompanyCatalog::client(std::string_view code) const {
  auto rs = connection_->query(
      "SELECT CODIGO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, PRAZOPAG, TPPRE, INACTIVO FROM CLIENTES WHERE CODIGO = ?",
      {std::string(vb::Trim(code))});
  if (rs->eof()) return std::nullopt;
  ClientRecord c;
  c.code = sql::fieldText(*rs, "CODIGO");
  c.name = sql::fieldText(*rs, "NOME");
  c.currency = sql::fieldText(*rs, "MOEDA");
  c.dispatch = sql::fieldText(*rs, "EXPEDICAO");
  c.seller = sql::fieldText(*rs, "VENDEDOR");
  c.zone = sql::fieldText(*rs, "ZONA");
  c.paymentDays = sql::fieldLong(*rs, "PRAZOPAG");
  c.retailPriceType = sql::fieldLong(*rs, "TPPRE");
  c.inactive = sql::fieldDouble(*rs, "INACTIVO") != 0;
  return c;
}

std::optional<ArticleRecord> CompanyCatalog::article(std::string_view code) const {
  auto rs = connection_->query(
      "SELECT CODIGO, NOME, UNVND, UNEMB, FACTEMB, UNTRANS, FACTTRA, PVPSIVA, PVALSIVA, PVP3_SEM_IVA, IVA, ARTOUDES "
      "FROM ARTIGOS WHERE CODIGO = ?",
      {std::string(vb::Trim(code))});
  if (rs->eof()) return std::nullopt;
  ArticleRecord a;
  a.code = sql::fieldText(*rs, "CODIGO");
  a.name = sql::fieldText(*rs, "NOME");
  a.saleUnit = sql::fieldText(*rs, "UNVND");
  a.packingUnit = sql::fieldText(*rs, "UNEMB");
  a.packingFactor = sql::fieldDouble(*rs, "FACTEMB");
  a.transportUnit = sql::fieldText(*rs, "UNTRANS");
  a.transportFactor = sql::fieldDouble(*rs, "FACTTRA");
  a.retail = {sql::fieldDouble(*rs, "PVPSIVA"), sql::fieldDouble(*rs, "PVALSIVA"),
              sql::fieldDouble(*rs, "PVP3_SEM_IVA")};
  a.vatIndex = sql::fieldLong(*rs, "IVA");
  a.descriptionOnly = sql::fieldDouble(*rs, "ARTOUDES") != 0;
  return a;
}

namespace {
DocumentTypeRecord typeFrom(const sql::Recordset& rs) {
  DocumentTypeRecord t;
  t.code = sql::fieldText(rs, "CODIGO");
  t.description = sql::fieldText(rs, "DESCR");
  t.classification = {sql::fieldLong(rs, "AREAG"),    sql::fieldLong(rs, "TPTERC"),   sql::fieldLong(rs, "TPOPER"),
                      sql::fieldLong(rs, "NATCONTA"), sql::fieldLong(rs, "TIPIFSTK"), sql::fieldLong(rs, "SINALCT")};
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

std::vector<SeriesRecord> CompanyCatalog::seriesList(std::string_view documentType) const {
  std::vector<SeriesRecord> list;
  auto rs =
      connection_->query("SELECT SERIE, DESCR FROM SERIES WHERE TPDOC = ? ORDER BY SERIE", {std::string(documentType)});
  for (; !rs->eof(); rs->moveNext()) list.push_back({sql::fieldLong(*rs, "SERIE"), sql::fieldText(*rs, "DESCR")});
  return list;
}

std::vector<int> CompanyCatalog::series(std::string_view documentType) const {
  std::vector<int> list;
  for (const auto& s : seriesList(documentType)) list.push_back(s.number);
  return list;
}

std::shared_ptr<sql::Recordset> CompanyCatalog::clientList() const {
  return connection_->query("SELECT CODIGO AS Código, NOME AS Nome FROM CLIENTES WHERE INACTIVO = 0 ORDER BY CODIGO");
}

std::shared_ptr<sql::Recordset> CompanyCatalog::articleList() const {
  return connection_->query("SELECT CODIGO AS Código, NOME AS Nome FROM ARTIGOS WHERE INACTIVO = 0 ORDER BY CODIGO");
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
  return sql::fieldText(*rs, column);
}

std::optional<std::string> CompanyCatalog::dispatch(std::string_view value) const {
  return code("EXPEDIR", "CODIGO", value);
}

std::vector<std::string> CompanyCatalog::dispatchCodes() const {
  std::vector<std::string> list;
  auto rs = connection_->query("SELECT CODIGO FROM EXPEDIR ORDER BY CODIGO");
  for (; !rs->eof(); rs->moveNext()) list.push_back(sql::fieldText(*rs, "CODIGO"));
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
  return rs->eof() ? std::string() : sql::fieldText(*rs, "MOEDANAC");
}

double CompanyCatalog::vatRate(int vatIndex) const {
  if (vatIndex < 1 || vatIndex > 4) return 0;
  auto rs = connection_->query(fmt::format(
      "SELECT RGIVA.TX{} AS TAXA FROM PARAMETROS INNER JOIN RGIVA ON RGIVA.CODIGO = PARAMETROS.RGIVANAC", vatIndex));
  return rs->eof() ? 0.0 : sql::fieldDouble(*rs, "TAXA");
}

double CompanyCatalog::defaultPrice(const ArticleRecord& article, const ClientRecord& client,
                                    std::string_view unit) const {
  int type = client.retailPriceType >= 0 && client.retailPriceType <= 2 ? client.retailPriceType : 0;
  return article.retail[static_cast<std::size_t>(type)] * article.unitFactor(unit);
}

}  // namespace quill::host

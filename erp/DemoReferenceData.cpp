#include "erp/DemoReferenceData.h"

#include <fmt/format.h>

#include "erp/DemoCodes.h"
#include "erp/DemoModel.h"
#include "erp/DemoNames.h"
#include "erp/DemoRandom.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"

namespace quill::erp {

namespace {

struct Named {
  const char* code;
  const char* name;
};

void writeParameters(sql::Database& db, const DemoModel& model) {
  db.prepare(
        "INSERT INTO PARAMETROS (CODIGO, NOMEEMP, NCONTRIB, MORADA, LOCALIDADE, CODPOSTAL, MOEDANAC, RGIVANAC, "
        "LIGACTB) VALUES (1, ?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
      .bindAll(model.options.companyName, "509812340", "Zona Industrial de Taveiro, Lote 12", "Coimbra", "3045-504",
               demo::kNationalCurrency, demo::kNationalVatRegime, demo::kLinkedToAccounting ? -1 : 0)
      .run();

  auto currency =
      db.prepare("INSERT INTO MOEDAS (CODIGO, DESCR, SIMBOLO, CASASDEC, CAMBIO) VALUES (?1, ?2, ?3, 2, ?4)");
  currency.bindAll(demo::kNationalCurrency, "Euro", "€", 1.0).run();
  currency.bindAll(demo::kOtherCurrency, "Dólar dos Estados Unidos", "$", 1.08).run();

  auto regime = db.prepare("INSERT INTO RGIVA (CODIGO, DESCR, TX1, TX2, TX3, TX4) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  regime
      .bindAll(demo::kNationalVatRegime, "Continente", demo::kNationalVatRates[0], demo::kNationalVatRates[1],
               demo::kNationalVatRates[2], demo::kNationalVatRates[3])
      .run();
  regime.bindAll(demo::kOtherVatRegime, "Região Autónoma da Madeira", 5.0, 12.0, 22.0, 0.0).run();
  regime.bindAll("RAA", "Região Autónoma dos Açores", 4.0, 9.0, 16.0, 0.0).run();

  auto unit = db.prepare("INSERT INTO UNIDADES (CODIGO, DESCR) VALUES (?1, ?2)");
  for (auto [code, name] : {Named{"KG", "Quilograma"}, Named{"SC", "Saco"}, Named{"PAL", "Palete"},
                            Named{"BB", "Big bag"}, Named{"TON", "Tonelada"}, Named{"UN", "Unidade"}})
    unit.bindAll(code, name).run();
}

void writeGroups(sql::Database& db, DemoModel& model) {
  auto insert = db.prepare("INSERT INTO GRUPOS (COD, DESCR) VALUES (?1, ?2)");
  for (const auto& group : DemoNames::groups()) {
    insert.bindAll(group.code, group.name).run();
    model.groups.emplace_back(group.code);
  }
}

void writeZonesAndPortfolios(sql::Database& db, DemoModel& model) {
  auto zone = db.prepare("INSERT INTO ZONAGEO (ZONA, DESCR) VALUES (?1, ?2)");
  for (auto [code, name] :
       {Named{"NORTE", "Norte"}, Named{"CENTRO", "Centro"}, Named{"LISBOA", "Lisboa e Vale do Tejo"},
        Named{"ALENT", "Alentejo"}, Named{"ALGARV", "Algarve"}, Named{"ILHAS", "Regiões Autónomas"}}) {
    zone.bindAll(code, name).run();
    model.zones.emplace_back(code);
  }
  auto portfolio = db.prepare("INSERT INTO CARTEIRA (CODIGO, DESCRI, ACTIVO) VALUES (?1, ?2, ?3)");
  portfolio.bindAll(demo::kActivePortfolio, "Agropecuária", -1).run();
  portfolio.bindAll("RETAL", "Retalho alimentar", -1).run();
  portfolio.bindAll("INDUS", "Indústria", -1).run();
  portfolio.bindAll(demo::kInactivePortfolio, "Carteira antiga", 0).run();
  model.portfolios = {std::string(demo::kActivePortfolio), "RETAL", "INDUS", std::string(demo::kInactivePortfolio)};
}

void writeSellers(sql::Database& db, DemoModel& model, DemoRandom& random) {
  model.sellers = {
      {std::string(demo::kSeller), "António Ferreira", "CENTRO"},
      {"V02", "Maria Santos", "ALENT"},
      {"V03", "José Oliveira", "NORTE"},
      {"V04", "Ana Rodrigues", "CENTRO"},
      {std::string(demo::kNamesakeSeller1), "Manuel Costa", "LISBOA"},
      {std::string(demo::kNamesakeSeller2), "Manuel Costa", "ALGARV"},
      {std::string(demo::kSellerWithoutRates), "Escritório", "CENTRO"},
  };
  for (int i = 1; i <= model.scale.generatedSellers; ++i)
    model.sellers.push_back({fmt::format("VG{:04d}", i), DemoNames::personName(random), random.pick(model.zones)});
  auto insert = db.prepare("INSERT INTO VENDEDOR (CODIGO, NOME, ZONA) VALUES (?1, ?2, ?3)");
  for (const auto& seller : model.sellers) insert.bindAll(seller.code, seller.name, seller.zone).run();
}

void writePriceLines(sql::Database& db, DemoModel& model) {
  static const char* const names[] = {"Revenda",    "Grossistas", "Cooperativas", "Grandes Superfícies",
                                      "Exportação", "Indústria",  "Agentes",      "Promocional"};
  auto insert = db.prepare("INSERT INTO LINPRC (LINHA, DESCR) VALUES (?1, ?2)");
  for (int line = 1; line <= model.scale.priceLines; ++line) {
    insert.bindAll(line, line <= 8 ? names[line - 1] : fmt::format("Linha {}", line).c_str()).run();
    model.priceLines.push_back(line);
  }
}

void writeDocumentTypes(sql::Database& db) {
  auto type = db.prepare(
      "INSERT INTO TIPOSDOC (CODIGO, DESCR, AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  type.bindAll(demo::kInvoiceType, "Fatura", 4, 2, 2, 1, 2, 1).run();
  type.bindAll(demo::kCreditNoteType, "Nota de Crédito", 4, 2, 2, 1, 1, 2).run();
  type.bindAll(demo::kOrderType, "Encomenda de Cliente", 4, 2, 1, 0, 0, 0).run();

  auto series =
      db.prepare("INSERT INTO SERIES (TPDOC, SERIE, DESCR, ASSINADA, CERTIFICADA) VALUES (?1, ?2, ?3, ?4, ?5)");
  for (auto type : {demo::kInvoiceType, demo::kCreditNoteType, demo::kOrderType}) {
    series.bindAll(type, demo::kUnsignedSeriesZero, "Série interna", 0, 0).run();
    series.bindAll(type, demo::kSignedSeries, "Série certificada", -1, -1).run();
    series.bindAll(type, demo::kUnsignedSeries, "Série manual", 0, 0).run();
  }
}

void writeDispatchCodes(sql::Database& db) {
  auto dispatch = db.prepare("INSERT INTO EXPEDIR (CODIGO, DESCR) VALUES (?1, ?2)");
  dispatch.bindAll(demo::kAllowanceDispatch, "Levantado pelo cliente").run();
  dispatch.bindAll(demo::kNoAllowanceDispatch, "Transporte próprio").run();
  dispatch.bindAll("TRANSP", "Transportadora").run();
  dispatch.bindAll(demo::kDispatchWithoutUserFields, "Correio expresso").run();
  auto fields = db.prepare("INSERT INTO U_EXPEDIR (CODIGO, ABONOFRETES) VALUES (?1, ?2)");
  fields.bindAll(demo::kAllowanceDispatch, -1).run();
  fields.bindAll(demo::kNoAllowanceDispatch, 0).run();
  fields.bindAll("TRANSP", 0).run();
}

}  // namespace

void DemoReferenceData::write(sql::Database& db, DemoModel& model, DemoRandom& random) {
  writeParameters(db, model);
  writeGroups(db, model);
  writeZonesAndPortfolios(db, model);
  writeSellers(db, model, random);
  writePriceLines(db, model);
  writeDocumentTypes(db);
  writeDispatchCodes(db);
}

}  // namespace quill::erp

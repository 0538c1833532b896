#include "erp/DemoCustomers.h"

#include <fmt/format.h>

#include <algorithm>

#include "erp/DemoCodes.h"
#include "erp/DemoModel.h"
#include "erp/DemoNames.h"
#include "erp/DemoRandom.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"

namespace quill::erp {

namespace {

using Discounts = std::vector<std::pair<std::string, double>>;

DemoClient known(std::string_view code, const char* name, const char* seller, const char* zone, const char* town) {
  DemoClient c;
  c.code = std::string(code);
  c.name = name;
  c.seller = seller;
  c.zone = zone;
  c.town = town;
  c.portfolio = std::string(demo::kActivePortfolio);
  c.dispatch = std::string(demo::kNoAllowanceDispatch);
  c.perKgDiscount = 0.0;
  return c;
}

// The rows of DemoCodes.h, with exactly the properties promised there.
void addKnownClients(DemoModel& model) {
  auto& list = model.clients;

  auto c = known(demo::kPriceLineClient, "Aviário Quinta do Freixo, Lda.", "V01", "CENTRO", "Soure");
  c.priceLine = demo::kPriceLine;
  c.perKgDiscount.reset();
  list.push_back(c);

  c = known(demo::kSecondPriceLineClient, "Cooperativa Agrícola de Montemor, CRL", "V02", "ALENT", "Montemor-o-Novo");
  c.priceLine = demo::kSecondPriceLine;
  list.push_back(c);

  c = known(demo::kGroupDiscountClient, "Pecuária Vale de Santarém, Lda.", "V01", "LISBOA", "Santarém");
  c.groupDiscounts = {{std::string(demo::kFeedGroup), demo::kGroupDiscount}, {std::string(demo::kCerealGroup), 0.010}};
  static_assert(demo::kToleranceClient == demo::kGroupDiscountClient);
  c.toleranceDays = demo::kToleranceDays;
  list.push_back(c);

  c = known(demo::kPerKgDiscountClient, "Casa Agrícola Ribeiro & Filhos, Lda.", "V03", "NORTE", "Barcelos");
  c.portfolio = "RETAL";
  c.perKgDiscount = demo::kPerKgDiscount;
  list.push_back(c);

  c = known(demo::kAllowanceClient, "Herdade da Azinhaga, S.A.", "V02", "ALENT", "Évora");
  c.dispatch = std::string(demo::kAllowanceDispatch);
  c.allowancePerTonne = demo::kAllowancePerTonne;
  list.push_back(c);

  c = known(demo::kZeroAllowanceClient, "Mercearia Central de Soure, Lda.", "V04", "CENTRO", "Soure");
  c.portfolio = "RETAL";
  c.dispatch = std::string(demo::kAllowanceDispatch);
  list.push_back(c);

  c = known(demo::kClientWithoutUserFields, "Padaria Pão de Penela, Unipessoal Lda.", "V04", "CENTRO", "Penela");
  c.portfolio = "RETAL";
  c.hasUserFields = false;
  c.dispatch = std::string(demo::kAllowanceDispatch);
  list.push_back(c);

  c = known(demo::kRetailClient, "Supermercado Santa Maria, Lda.", "V03", "CENTRO", "Coimbra");
  c.portfolio = "RETAL";
  c.perKgDiscount.reset();
  list.push_back(c);

  c = known(demo::kAllRulesClient, "Cooperativa Agrícola do Vale do Mondego, CRL", "V01", "CENTRO", "Cantanhede");
  c.priceLine = demo::kPriceLine;
  c.groupDiscounts = {{std::string(demo::kFeedGroup), demo::kAllRulesGroupDiscount}};
  c.perKgDiscount = demo::kAllRulesPerKgDiscount;
  c.allowancePerTonne = demo::kAllRulesAllowancePerTonne;
  c.dispatch = std::string(demo::kAllowanceDispatch);
  list.push_back(c);

  c = known(demo::kSecondRetailPriceClient, "Loja Agrícola de Ansião, Lda.", "V04", "CENTRO", "Ansião");
  c.retailType = 1;
  list.push_back(c);
  c = known(demo::kThirdRetailPriceClient, "Celeiro de Pombal, Lda.", "V04", "CENTRO", "Pombal");
  c.retailType = 2;
  list.push_back(c);
  c = known(demo::kOddRetailPriceClient, "Agro Outeiro, Lda.", "V05", "LISBOA", "Rio Maior");
  c.retailType = 5;
  list.push_back(c);

  c = known(demo::kCompoundDiscountClient, "Sociedade Agrícola de Tomar, Lda.", "V05", "LISBOA", "Tomar");
  c.compoundDiscount = "10+5";
  list.push_back(c);
  c = known(demo::kDoublePlusDiscountClient, "Moagem Ribeirinha, Lda.", "V06", "ALGARV", "Loulé");
  c.compoundDiscount = "10++5";
  list.push_back(c);
  c = known(demo::kMalformedDiscountClient, "Quinta do Carvalhal, Lda.", "V06", "ALGARV", "Tavira");
  c.compoundDiscount = "10+abc";
  list.push_back(c);

  c = known(demo::kInactiveClient, "Aviário São Pedro, Lda.", "V03", "NORTE", "Chaves");
  c.inactive = true;
  list.push_back(c);

  c = known(demo::kFiveGroupsClient, "Pecuária do Alvorge, Lda.", "V02", "CENTRO", "Ansião");
  c.groupDiscounts = {{"RACAVE", 0.010}, {"RACSUI", 0.012}, {"RACBOV", 0.008}, {"CEREAI", 0.005}, {"FARINH", 0.007}};
  list.push_back(c);
  c = known(demo::kSixGroupsClient, "Herdade de Figueiró, S.A.", "V02", "ALENT", "Beja");
  c.groupDiscounts = {{"RACAVE", 0.011},  {"RACSUI", 0.009}, {"RACBOV", 0.010},
                      {"RACOVI", 0.0125}, {"CEREAI", 0.006}, {"SEMENT", 0.050}};
  list.push_back(c);
  c = known(demo::kZeroDiscountsClient, "Cooperativa de Ourém, CRL", "V03", "CENTRO", "Ourém");
  c.groupDiscounts = {{"RACAVE", 0.0}, {"CEREAI", 0.0}};
  list.push_back(c);

  c = known(demo::kUndefinedPriceLineClient, "Grupo Leiriense de Distribuição, S.A.", "V01", "CENTRO", "Leiria");
  c.priceLine = demo::kUndefinedPriceLine;
  list.push_back(c);

  c = known(demo::kQuotedCodeClient, "Quinta d'Ouro, Lda.", "V02", "NORTE", "Vila Real");
  list.push_back(c);
}

void addGeneratedClients(DemoModel& model, DemoRandom& random) {
  // Groups a client may get a discount on: not the ordinary article's group
  // (kOrdinaryArticle stays an ordinary article for every client) nor services.
  std::vector<std::string> discountable;
  for (const auto& g : model.groups)
    if (g != "ARROZ" && g != demo::kServicesGroup) discountable.push_back(g);
  std::vector<std::string> sellers;
  for (const auto& s : model.sellers)
    if (s.code != demo::kSellerWithoutRates) sellers.push_back(s.code);
  const std::vector<std::string> compound = {"", "", "", "", "", "", "", "", "5", "5", "3", "10+5", "5+2", "10+5+2"};
  const std::vector<std::string> dispatches = {
      std::string(demo::kAllowanceDispatch),        std::string(demo::kAllowanceDispatch),
      std::string(demo::kNoAllowanceDispatch),      std::string(demo::kNoAllowanceDispatch),
      std::string(demo::kNoAllowanceDispatch),      "TRANSP",
      std::string(demo::kDispatchWithoutUserFields)};

  int serial = 101;
  while (model.clients.size() < static_cast<std::size_t>(model.scale.clients)) {
    DemoClient c;
    c.code = fmt::format("C{:05d}", serial++);
    c.town = DemoNames::town(random);
    c.name = DemoNames::companyName(random, c.town);
    c.taxNumber = DemoNames::taxNumber(random);
    c.address = DemoNames::street(random);
    c.postCode = DemoNames::postCode(random);
    c.inactive = random.chance(0.04);
    c.seller = random.pick(sellers);
    std::string sellerZone;
    for (const auto& s : model.sellers)
      if (s.code == c.seller) sellerZone = s.zone;
    c.zone = random.chance(0.8) ? sellerZone : random.pick(model.zones);
    int p = random.between(0, 99);
    c.portfolio = model.portfolios[p < 50 ? 0 : p < 80 ? 1 : p < 95 ? 2 : 3];
    c.priceLine = random.chance(0.35) ? random.pick(model.priceLines) : 0;
    int t = random.between(0, 99);
    c.retailType = t < 70 ? 0 : t < 85 ? 1 : 2;
    c.compoundDiscount = random.pick(compound);
    c.headerDiscount = random.chance(0.1) ? static_cast<double>(random.between(1, 5)) : 0.0;
    c.dispatch = random.pick(dispatches);
    c.paymentDays = random.pick(std::vector<int>{0, 30, 30, 60, 60, 90});
    c.hasUserFields = random.chance(0.92);
    if (c.hasUserFields) {
      int k = random.between(0, 99);
      if (k < 10)
        c.perKgDiscount = random.amount(0.005, 0.020, 3);
      else if (k < 40)
        c.perKgDiscount = 0.0;
      c.allowancePerTonne = random.chance(0.30) ? random.amount(5.0, 15.0, 2) : 0.0;
    }
    if (random.chance(0.25)) {
      int groups = random.between(1, 4);
      for (int g = 0; g < groups; ++g) {
        const auto& group = random.pick(discountable);
        bool zero = random.chance(0.10);
        double discount = random.amount(0.004, 0.030, 3);
        if (std::none_of(c.groupDiscounts.begin(), c.groupDiscounts.end(),
                         [&](const auto& d) { return d.first == group; }))
          c.groupDiscounts.emplace_back(group, zero ? 0.0 : discount);
      }
    }
    model.clients.push_back(std::move(c));
  }
}

}  // namespace

void DemoCustomers::build(DemoModel& model, DemoRandom& random) {
  addKnownClients(model);
  for (auto& c : model.clients) {
    if (c.taxNumber.empty()) c.taxNumber = DemoNames::taxNumber(random);
    if (c.address.empty()) c.address = DemoNames::street(random);
    if (c.postCode.empty()) c.postCode = DemoNames::postCode(random);
  }
  const std::size_t known = model.clients.size();
  addGeneratedClients(model, random);
  // Tolerances come from a stream of their own, so that every other row is
  // what it was before clients had them.
  DemoRandom tolerances(model.options.seed ^ 0x746f6c6572616e63ULL);
  const std::vector<int> days = {0, 0, 0, 0, 5, 10, 15, 15, 30, 60};
  for (std::size_t i = known; i < model.clients.size(); ++i)
    if (model.clients[i].hasUserFields) model.clients[i].toleranceDays = tolerances.pick(days);
}

void DemoCustomers::write(sql::Database& db, const DemoModel& model, DemoRandom& random) {
  auto client = db.prepare(
      "INSERT INTO CLIENTES (CODIGO, NOME, NCONTRIB, MORADA, LOCALIDADE, CODPOSTAL, INACTIVO, VENDEDOR, ZONA, "
      "CARTEIRA, TPPRECO, TPPRE, DESCCOMP, DESCCAB, MOEDA, EXPEDICAO, PRAZOPAG) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
  auto fields =
      db.prepare("INSERT INTO U_CLIENTES (CODIGO, DSCVALPORKG, ABNFRTPORTN, DIASTOLERANCIA) VALUES (?1, ?2, ?3, ?4)");
  auto discount = db.prepare("INSERT INTO U_QOR_GRUPOSDESCONTO (CLIENTE, GRUPO, DESCONTO) VALUES (?1, ?2, ?3)");
  for (const auto& c : model.clients) {
    client
        .bindAll(c.code, c.name, c.taxNumber, c.address, c.town, c.postCode, c.inactive ? -1 : 0, c.seller, c.zone,
                 c.portfolio, c.priceLine, c.retailType, c.compoundDiscount, c.headerDiscount, demo::kNationalCurrency,
                 c.dispatch, c.paymentDays)
        .run();
    if (c.hasUserFields) {
      fields.bind(1, c.code);
      if (c.perKgDiscount)
        fields.bind(2, *c.perKgDiscount);
      else
        fields.bindNull(2);
      fields.bind(3, c.allowancePerTonne);
      fields.bind(4, c.toleranceDays);
      fields.run();
    }
    for (const auto& [group, value] : c.groupDiscounts) discount.bindAll(c.code, group, value).run();
  }

  // Commission rates: the main seller has a rate for every group, the office
  // none, every other seller for most groups.
  auto rate = db.prepare("INSERT INTO U_QOR_COMGRUPOS (VENDEDOR, GRUPO, COMISSAO) VALUES (?1, ?2, ?3)");
  for (const auto& seller : model.sellers) {
    if (seller.code == demo::kSellerWithoutRates) continue;
    bool all = seller.code == demo::kSeller;
    for (const auto& group : model.groups) {
      if (group == demo::kServicesGroup) continue;
      if (!all && !random.chance(0.75)) continue;
      rate.bindAll(seller.code, group, random.between(2, 20) * 0.25).run();
    }
  }
}

}  // namespace quill::erp

#include "erp/DemoCatalog.h"

#include <fmt/format.h>

#include <stdexcept>

#include "erp/DemoCodes.h"
#include "erp/DemoDates.h"
#include "erp/DemoModel.h"
#include "erp/DemoNames.h"
#include "erp/DemoRandom.h"
#include "erp/DocumentTotals.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"

namespace quill::erp {

namespace {

void setRetail(DemoArticle& article, double perKg) {
  article.retail = {roundPrice(perKg), roundPrice(perKg * 0.96), roundPrice(perKg * 0.92)};
}

DemoArticle packed(std::string code, std::string name, const char* group, const DemoPack& pack, double perKg) {
  DemoArticle a;
  a.code = std::move(code);
  a.name = std::move(name);
  a.group = group;
  a.vatIndex = DemoNames::group(a.group).vatIndex;
  a.packingUnit = pack.packingUnit;
  a.packingFactor = pack.packingFactor;
  a.transportUnit = pack.transportUnit;
  a.transportFactor = pack.transportFactor;
  setRetail(a, perKg);
  return a;
}

void schedule(DemoArticle& a, std::string_view activation, double rise) {
  a.scheduled = true;
  a.activation = DemoDates::text(DemoDates::parse(activation));
  a.scheduledHistory = a.retail;
  for (int i = 0; i < 3; ++i) a.scheduledPrices[i] = roundPrice(a.retail[i] * rise);
}

// The rows of DemoCodes.h, with exactly the properties promised there.
void addKnownArticles(DemoModel& model) {
  auto& list = model.articles;
  const auto& sack25 = DemoNames::sack25();

  auto fixed =
      packed(std::string(demo::kFixedPriceArticle), "Milho Grão Nacional Saco 25 kg", "CEREAI", sack25, 0.2850);
  fixed.fixedPrice = true;
  list.push_back(fixed);

  auto future =
      packed(std::string(demo::kFuturePriceArticle), "Milho Grão Importado Saco 25 kg", "CEREAI", sack25, 0.3050);
  future.fixedPrice = true;
  list.push_back(future);

  auto zeroHistory = packed(std::string(demo::kFuturePriceZeroHistoryArticle), "Trigo Forrageiro Saco 25 kg", "CEREAI",
                            sack25, 0.2700);
  zeroHistory.fixedPrice = true;
  list.push_back(zeroHistory);

  auto noPrice =
      packed(std::string(demo::kFixedPriceArticleWithoutPrice), "Cevada Dística Saco 25 kg", "CEREAI", sack25, 0.2550);
  noPrice.fixedPrice = true;
  list.push_back(noPrice);

  list.push_back(packed(std::string(demo::kGroupDiscountArticle), "Ração Frango Crescimento Saco 25 kg", "RACAVE",
                        sack25, 0.4650));

  DemoPack sack20{"Saco 20 kg", "SC", 20, "PAL", 800, 1.0};
  auto scheduled =
      packed(std::string(demo::kScheduledPriceArticle), "Ração Cão Adulto Saco 20 kg", "PETFOO", sack20, 1.6500);
  schedule(scheduled, demo::kPastActivation, 1.05);
  list.push_back(scheduled);

  DemoPack sack10{"Saco 10 kg", "SC", 10, "PAL", 600, 1.0};
  auto futureScheduled =
      packed(std::string(demo::kFutureScheduledPriceArticle), "Ração Gato Adulto Saco 10 kg", "PETFOO", sack10, 2.4500);
  schedule(futureScheduled, demo::kFuturePriceStart, 1.04);
  list.push_back(futureScheduled);

  list.push_back(packed(std::string(demo::kOrdinaryArticle), "Arroz Carolino Saco 25 kg", "ARROZ", sack25, 1.1800));

  DemoArticle text;
  text.code = std::string(demo::kDescriptionOnlyArticle);
  text.name = "Observações";
  text.group = "SERVIC";
  text.vatIndex = 3;
  text.saleUnit = "UN";
  text.descriptionOnly = true;
  list.push_back(text);

  auto inactive = packed(std::string(demo::kInactiveArticle), "Ração Frango Campo Saco 25 kg (descontinuada)", "RACAVE",
                         sack25, 0.4400);
  inactive.inactive = true;
  list.push_back(inactive);

  auto noFields = packed(std::string(demo::kArticleWithoutUserFields), "Sal Grosso Saco 25 kg", "SAL", sack25, 0.1600);
  noFields.hasUserFields = false;
  list.push_back(noFields);

  DemoPack sack40{"Saco 40 kg", "SC", 40, "PAL", 1200, 1.0};
  auto noVat = packed(std::string(demo::kArticleOutsideVatIndexes), "Adubo Composto 7-14-14 Saco 40 kg", "ADUBOS",
                      sack40, 0.5200);
  noVat.vatIndex = 0;
  list.push_back(noVat);

  DemoPack noFactors{"", "SC", 0, "PAL", 0, 1.0};
  list.push_back(
      packed(std::string(demo::kZeroFactorArticle), "Farinha de Trigo Tipo 65 Saco", "FARINH", noFactors, 0.5600));

  DemoArticle allowance;
  allowance.code = std::string(demo::kAllowanceArticle);
  allowance.name = std::string(demo::kAllowanceArticleName);
  allowance.group = std::string(demo::kServicesGroup);
  allowance.vatIndex = 3;
  allowance.saleUnit = "UN";
  list.push_back(allowance);
}

void addKnownPrices(DemoModel& model) {
  auto index = [&](std::string_view code) {
    for (std::size_t i = 0; i < model.articles.size(); ++i)
      if (model.articles[i].code == code) return i;
    throw std::logic_error("demo article missing");
  };
  std::string past = DemoDates::text(DemoDates::parse(demo::kPastPriceStart));
  std::string future = DemoDates::text(DemoDates::parse(demo::kFuturePriceStart));
  std::string eur(demo::kNationalCurrency);

  auto fixed = index(demo::kFixedPriceArticle);
  for (int line : model.priceLines)
    model.addPrice({fixed, eur, line, past, roundPrice(0.3150 - 0.0050 * line), roundPrice(0.3050 - 0.0050 * line)});
  model.addPrice({fixed, eur, 0, past, 0.3300, 0.3200});
  model.addPrice({fixed, eur, demo::kUndefinedPriceLine, past, 0.2900, 0.2800});
  model.addPrice({fixed, std::string(demo::kOtherCurrency), demo::kPriceLine, past, 0.3400, 0.3300});

  auto futurePrice = index(demo::kFuturePriceArticle);
  model.addPrice({futurePrice, eur, demo::kPriceLine, future, 0.3400, 0.3200});
  for (int line : model.priceLines)
    if (line != demo::kPriceLine) model.addPrice({futurePrice, eur, line, past, 0.3250, 0.3150});

  auto zeroHistory = index(demo::kFuturePriceZeroHistoryArticle);
  model.addPrice({zeroHistory, eur, demo::kPriceLine, future, 0.2950, 0.0});
  for (int line : model.priceLines)
    if (line != demo::kPriceLine) model.addPrice({zeroHistory, eur, line, past, 0.2800, 0.2700});
}

void addGeneratedArticles(DemoModel& model, DemoRandom& random) {
  // Every product of a group in every pack of the group, in a shuffled order,
  // then again with a reference number once the combinations run out.
  struct Combos {
    const DemoGroup* group;
    std::vector<std::pair<const char*, const DemoPack*>> items;
    int next = 0;
  };
  std::vector<Combos> groups;
  for (const auto& g : DemoNames::groups()) {
    if (g.products.empty()) continue;
    Combos c{&g, {}, 0};
    for (auto product : g.products)
      for (const auto& pack : g.packs) c.items.emplace_back(product, &pack);
    for (int i = static_cast<int>(c.items.size()) - 1; i > 0; --i)
      std::swap(c.items[static_cast<std::size_t>(i)], c.items[static_cast<std::size_t>(random.between(0, i))]);
    groups.push_back(std::move(c));
  }

  std::size_t i = 0;
  while (model.articles.size() < static_cast<std::size_t>(model.scale.articles)) {
    auto& combos = groups[i++ % groups.size()];
    const DemoGroup& group = *combos.group;
    int serial = combos.next++;
    auto [product, pack] = combos.items[static_cast<std::size_t>(serial) % combos.items.size()];
    int round = serial / static_cast<int>(combos.items.size());
    std::string name = fmt::format("{} {}", product, pack->label);
    if (round > 0) name += fmt::format(" (ref. {})", round + 1);

    double perKg = random.amount(group.lowPrice, group.highPrice, 4) * pack->priceFactor;
    auto article = packed(fmt::format("{}{:05d}", group.prefix, serial + 1), name, group.code, *pack, perKg);
    if (article.packingFactor > 0 && random.chance(0.03)) article.packingFactor = 0;
    article.inactive = random.chance(0.03);
    article.fixedPrice = group.fixedPriceCandidates && random.chance(0.30);
    article.hasUserFields = article.fixedPrice || random.chance(0.90);
    if (random.chance(article.fixedPrice ? 0.05 : 0.15)) {
      int r = random.between(0, 99);
      std::string_view activation = r < 50   ? demo::kPastActivation
                                    : r < 75 ? (random.chance(0.5) ? "2026-02-02" : "2026-04-01")
                                             : demo::kFuturePriceStart;
      schedule(article, activation, 1.0 + random.between(2, 8) / 100.0);
    }
    model.articles.push_back(std::move(article));
  }
}

void addGeneratedPrices(DemoModel& model, DemoRandom& random, std::size_t firstGenerated) {
  std::string eur(demo::kNationalCurrency);
  std::string future = DemoDates::text(DemoDates::parse(demo::kFuturePriceStart));
  int pastFrom = DemoDates::day(2025, 5, 1);
  int pastTo = DemoDates::day(2025, 12, 15);
  for (std::size_t a = firstGenerated; a < model.articles.size(); ++a) {
    const auto& article = model.articles[a];
    if (!article.fixedPrice) continue;
    for (int line : model.priceLines) {
      if (!random.chance(0.90)) continue;
      int r = random.between(0, 99);
      std::string start = r < 70   ? DemoDates::text(random.between(pastFrom, pastTo))
                          : r < 85 ? DemoDates::text(DemoDates::parse(random.chance(0.5) ? "2026-03-02" : "2026-05-04"))
                                   : future;
      double price = roundPrice(article.retail[0] * (1.0 - 0.02 * line));
      double previous = random.chance(0.85) ? roundPrice(price * random.amount(0.95, 0.99, 2)) : 0.0;
      model.addPrice({a, eur, line, std::move(start), price, previous});
    }
    if (random.chance(0.10))
      model.addPrice({a, std::string(demo::kOtherCurrency), demo::kPriceLine,
                      DemoDates::text(random.between(pastFrom, pastTo)), roundPrice(article.retail[0] * 1.08), 0.0});
  }
}

double withVat(const DemoModel& model, const DemoArticle& article, double price) {
  return roundPrice(price * (1.0 + model.vatRate(article.vatIndex) / 100.0));
}

}  // namespace

void DemoCatalog::build(DemoModel& model, DemoRandom& random) {
  addKnownArticles(model);
  std::size_t firstGenerated = model.articles.size();
  addKnownPrices(model);
  addGeneratedArticles(model, random);
  addGeneratedPrices(model, random, firstGenerated);
}

void DemoCatalog::write(sql::Database& db, const DemoModel& model) {
  auto article = db.prepare(
      "INSERT INTO ARTIGOS (CODIGO, NOME, INACTIVO, ARTOUDES, GRUPO, IVA, UNVND, UNEMB, FACTEMB, UNTRANS, FACTTRA, "
      "PVPSIVA, PVPCIVA, PVALSIVA, PVALCIVA, PVP3_SEM_IVA, PVP3_COM_IVA) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
  auto fields = db.prepare("INSERT INTO U_ARTIGOS (CODIGO, PRECOFIXO) VALUES (?1, ?2)");
  auto scheduled = db.prepare(
      "INSERT INTO U_QOR_PRECOS (ARTIGO, DATAACTIVACAO, PVP1SIVA, PVP1CIVA, PVP2SIVA, PVP2CIVA, PVP3SIVA, PVP3CIVA, "
      "DATAACTUALIZACAO, HPVP1SIVA, HPVP1CIVA, HPVP2SIVA, HPVP2CIVA, HPVP3SIVA, HPVP3CIVA) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
  std::string updated = DemoDates::text(DemoDates::day(2025, 12, 15));
  for (const auto& a : model.articles) {
    article
        .bindAll(a.code, a.name, a.inactive ? -1 : 0, a.descriptionOnly ? -1 : 0, a.group, a.vatIndex, a.saleUnit,
                 a.packingUnit, a.packingFactor, a.transportUnit, a.transportFactor, a.retail[0],
                 withVat(model, a, a.retail[0]), a.retail[1], withVat(model, a, a.retail[1]), a.retail[2],
                 withVat(model, a, a.retail[2]))
        .run();
    if (a.hasUserFields) fields.bindAll(a.code, a.fixedPrice ? -1 : 0).run();
    if (a.scheduled) {
      const auto& p = a.scheduledPrices;
      const auto& h = a.scheduledHistory;
      scheduled
          .bindAll(a.code, a.activation, p[0], withVat(model, a, p[0]), p[1], withVat(model, a, p[1]), p[2],
                   withVat(model, a, p[2]), updated, h[0], withVat(model, a, h[0]), h[1], withVat(model, a, h[1]), h[2],
                   withVat(model, a, h[2]))
          .run();
    }
  }

  auto price = db.prepare(
      "INSERT INTO PRECOS (ARTIGO, MOEDA, LINPRC, DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT) "
      "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?4)");
  for (const auto& p : model.prices) {
    const auto& a = model.articles[p.article];
    price
        .bindAll(a.code, p.currency, p.line, p.start, p.price, withVat(model, a, p.price), p.previous,
                 withVat(model, a, p.previous))
        .run();
  }
}

}  // namespace quill::erp

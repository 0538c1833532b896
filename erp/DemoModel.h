#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "erp/DemoOptions.h"

namespace quill::erp {

// What the demo generator decided, kept in memory while it writes: the
// documents are priced from the same articles, prices and clients that were
// written before them.

struct DemoArticle {
  std::string code;
  std::string name;
  std::string group;
  int vatIndex = 1;
  std::string saleUnit = "KG";
  std::string packingUnit;
  double packingFactor = 0;
  std::string transportUnit;
  double transportFactor = 0;
  std::array<double, 3> retail{};  // the three retail prices without VAT
  bool inactive = false;
  bool descriptionOnly = false;
  bool fixedPrice = false;
  bool hasUserFields = true;
  // Scheduled retail prices (U_QOR_PRECOS), when the article has them.
  bool scheduled = false;
  std::string activation;
  std::array<double, 3> scheduledPrices{};
  std::array<double, 3> scheduledHistory{};

  bool sellable() const { return !inactive && !descriptionOnly && saleUnit == "KG"; }
};

struct DemoPrice {
  std::size_t article = 0;
  std::string currency;
  int line = 0;
  std::string start;  // DATINIC
  double price = 0;
  double previous = 0;  // BUTHIST
};

struct DemoClient {
  std::string code;
  std::string name;
  std::string taxNumber;
  std::string address;
  std::string town;
  std::string postCode;
  bool inactive = false;
  std::string seller;
  std::string zone;
  std::string portfolio;
  int priceLine = 0;
  int retailType = 0;
  std::string compoundDiscount;
  double headerDiscount = 0;
  std::string dispatch;
  int paymentDays = 30;
  bool hasUserFields = true;
  std::optional<double> perKgDiscount;  // null when not set
  double allowancePerTonne = 0;
  int toleranceDays = 0;  // U_CLIENTES.DIASTOLERANCIA
  std::vector<std::pair<std::string, double>> groupDiscounts;

  double groupDiscount(const std::string& group) const {
    for (const auto& [g, d] : groupDiscounts)
      if (g == group) return d;
    return 0;
  }
};

struct DemoSeller {
  std::string code;
  std::string name;
  std::string zone;
};

struct DemoModel {
  DemoOptions options;
  DemoScale scale;
  std::vector<std::string> groups;
  std::vector<DemoSeller> sellers;
  std::vector<int> priceLines;  // defined in LINPRC
  std::vector<std::string> zones;
  std::vector<std::string> portfolios;
  std::vector<DemoArticle> articles;
  std::vector<DemoPrice> prices;
  std::vector<DemoClient> clients;

  // National-currency price of an article in a price line, if any.
  const DemoPrice* price(std::size_t article, int line) const {
    auto it = priceIndex.find(priceKey(article, line));
    return it == priceIndex.end() ? nullptr : &prices[it->second];
  }
  void addPrice(DemoPrice price) {
    if (price.currency == demo::kNationalCurrency) priceIndex[priceKey(price.article, price.line)] = prices.size();
    prices.push_back(std::move(price));
  }

  double vatRate(int index) const { return index >= 1 && index <= 4 ? demo::kNationalVatRates[index - 1] : 0.0; }

 private:
  static std::int64_t priceKey(std::size_t article, int line) {
    return static_cast<std::int64_t>(article) * 1024 + line;
  }
  std::unordered_map<std::int64_t, std::size_t> priceIndex;
};

}  // namespace quill::erp

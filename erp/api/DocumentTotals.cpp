#include "erp/api/DocumentTotals.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace quill::erpapi {

double roundToCents(double value) { return std::round(value * 100.0) / 100.0; }

std::optional<double> compoundDiscountPercent(std::string_view text) {
  double rest = 100.0;
  std::size_t from = 0;
  while (from <= text.size()) {
    auto to = text.find('+', from);
    if (to == std::string_view::npos) to = text.size();
    std::string piece(text.substr(from, to - from));
    while (!piece.empty() && piece.front() == ' ') piece.erase(piece.begin());
    while (!piece.empty() && piece.back() == ' ') piece.pop_back();
    if (!piece.empty()) {
      for (char& c : piece)
        if (c == ',') c = '.';
      char* end = nullptr;
      double percent = std::strtod(piece.c_str(), &end);
      if (end != piece.c_str() + piece.size() || !(percent >= 0.0 && percent <= 100.0)) return std::nullopt;
      rest -= percent / 100.0 * rest;
    }
    from = to + 1;
  }
  return 100.0 - rest;
}

DocumentTotals DocumentTotals::compute(std::vector<LineValues*>& lines) {
  double goods = 0, net = 0, vat = 0;
  for (LineValues* line : lines) {
    if (!line->carriesValue()) {
      line->netTotal = 0;
      continue;
    }
    double gross = line->quantity * line->unitPrice;
    double percent = compoundDiscountPercent(line->discount).value_or(0.0);
    bool typed = line->discount.find_first_not_of(' ') != std::string::npos;
    line->netTotal =
        roundToCents(typed ? gross * (1.0 - percent / 100.0) : gross - line->quantity * line->discountValue);
    goods += gross;
    net += line->netTotal;
    vat += line->netTotal * line->vatRate / 100.0;
  }
  DocumentTotals totals;
  totals.goods = roundToCents(goods);
  net = roundToCents(net);
  totals.vat = roundToCents(vat);
  totals.discounts = roundToCents(totals.goods - net);
  totals.total = roundToCents(net + totals.vat);
  return totals;
}

}  // namespace quill::erpapi

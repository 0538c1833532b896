#include "host/SalesDocument.h"

#include <cmath>

#include "host/DiscountText.h"

namespace quill::host {

double roundToCents(double value) { return std::round(value * 100.0) / 100.0; }

double SalesLine::discountRate() const { return compoundDiscountRate(discount); }

double SalesLine::total() const { return roundToCents(quantity * unitPrice * (1.0 - discountRate() / 100.0)); }

DocumentTotals SalesDocument::totals() const {
  DocumentTotals t;
  double net = 0;
  for (const auto& line : lines) {
    t.goods += line.quantity * line.unitPrice;
    net += line.total();
    t.vat += line.total() * line.vatRate / 100.0;
  }
  t.goods = roundToCents(t.goods);
  net = roundToCents(net);
  t.vat = roundToCents(t.vat);
  t.discount = roundToCents(t.goods - net);
  t.total = roundToCents(net + t.vat);
  return t;
}

}  // namespace quill::host

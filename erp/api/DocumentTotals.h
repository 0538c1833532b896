#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "erp/api/LineValues.h"

namespace quill::erpapi {

// A line's discount as typed: percentages joined by "+" ("10+5" is 10 % and
// then 5 % of the rest, 14.5 % in all), "." or "," as decimal point, empty
// pieces skipped. Empty text is no discount. Nothing when a piece is not a
// number from 0 to 100.
std::optional<double> compoundDiscountPercent(std::string_view text);

// The money values of a document, rounded to cents as the ERP stores them.
struct DocumentTotals {
  double goods = 0;      // quantity x unit price
  double discounts = 0;  // goods less the net total
  double vat = 0;
  double total = 0;  // net total plus VAT

  // Computes every value-carrying line's net total into it (quantity x unit
  // price less the typed discount, or less quantity x the discount value
  // when no discount is typed) and the document's totals from them. The
  // discounts must be valid (compoundDiscountPercent).
  static DocumentTotals compute(std::vector<LineValues*>& lines);
};

double roundToCents(double value);

}  // namespace quill::erpapi

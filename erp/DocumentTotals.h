#pragma once

#include <optional>
#include <vector>

#include "erp/LineValues.h"

namespace quill::erp {

// Money to the cent as the documents store it: halves away from zero on the
// decimal value the user sees (vb::roundAsShown), so a line of 1 x 0,285 is
// 0,29 and its credit, -0,285, is -0,29. The one rounding of money for the
// ERP's documents, its API, the host and the demo company.
double roundToCents(double value);
// A unit price to the four decimals the price tables keep, by the same rule.
double roundPrice(double value);

// A line's net total (TOTLIN): quantity x unit price less the discount text's
// percentage (CompoundDiscount.h) or, when the text is blank, less quantity x
// the discount value, to the cent; 0 for a comment line. Nothing when the
// ERP refuses the discount text.
std::optional<double> netLineTotal(const LineValues& line);

// The money values of a document, rounded to cents as the ERP stores them:
// the one totals routine of the ERP's documents, whoever writes them.
struct DocumentTotals {
  double goods = 0;      // quantity x unit price
  double discounts = 0;  // goods less the net total
  double vat = 0;
  double total = 0;  // net total plus VAT

  // Computes every line's net total into it and the document's totals from
  // them. A line whose discount the ERP refuses fails with kInvalidDiscount
  // and the ERP's message naming the line (its position, from 1).
  static DocumentTotals compute(const std::vector<LineValues*>& lines);
};

}  // namespace quill::erp

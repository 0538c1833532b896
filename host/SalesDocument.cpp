#include "host/SalesDocument.h"

#include "host/DiscountText.h"
#include "host/DocumentMapping.h"

namespace quill::host {

double SalesLine::discountRate() const { return compoundDiscountRate(discount); }

std::optional<double> SalesLine::total() const { return erp::netLineTotal(toErpLine(*this)); }

erp::DocumentTotals SalesDocument::totals() const {
  // Every row the editor shows, so that a refusal names the row the user sees.
  std::vector<erp::LineValues> values;
  for (const auto& line : lines) values.push_back(toErpLine(line));
  std::vector<erp::LineValues*> pointers;
  for (auto& value : values) pointers.push_back(&value);
  return erp::DocumentTotals::compute(pointers);
}

}  // namespace quill::host

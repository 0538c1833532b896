#include "erp/DocumentTotals.h"

#include "erp/CompoundDiscount.h"
#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"
#include "platform/vb/Format.h"

namespace quill::erp {

double roundToCents(double value) { return vb::roundAsShown(value, 2); }

double roundPrice(double value) { return vb::roundAsShown(value, 4); }

std::optional<double> netLineTotal(const LineValues& line) {
  if (!line.carriesValue()) return 0.0;
  auto percent = compoundDiscountPercent(line.discount);
  if (!percent) return std::nullopt;
  double gross = line.quantity * line.unitPrice;
  bool typed = line.discount.find_first_not_of(' ') != std::string::npos;
  return roundToCents(typed ? gross * (1.0 - *percent / 100.0) : gross - line.quantity * line.discountValue);
}

DocumentTotals DocumentTotals::compute(const std::vector<LineValues*>& lines) {
  double goods = 0, net = 0, vat = 0;
  int position = 0;
  for (LineValues* line : lines) {
    ++position;
    auto total = netLineTotal(*line);
    if (!total) throw AutomationError(kInvalidDiscount, "ERP", invalidDiscountMessage(position, line->discount));
    line->netTotal = *total;
    if (!line->carriesValue()) continue;
    goods += line->quantity * line->unitPrice;
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

}  // namespace quill::erp

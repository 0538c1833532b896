#include "erp/api/DocumentValidator.h"

#include <string>
#include <unordered_map>

#include "erp/CompoundDiscount.h"
#include "erp/api/ApiCompanySession.h"
#include "platform/automation/Dispatch.h"
#include "platform/vb/Strings.h"

namespace quill::erpapi {

std::optional<ApiRefusal> DocumentValidator::check(const Document& document) const {
  const erp::DocumentKey& key = document.storedKey;
  const erp::HeaderValues& header = document.header;
  if (closed(document.seriesSigned, document.seriesCertified, header.inPreparation))
    return refuse::documentClosed(key.type, key.series, key.number, key.year);
  if (header.key.series != key.series) return refuse::seriesChanged();
  if (!session_.clientExists(header.client)) return refuse::unknownClient(header.client);
  if (!session_.currencyExists(header.currency)) return refuse::unknownCurrency(header.currency);

  // A long document names the same articles many times; each is looked up once.
  std::unordered_map<std::string, bool> known;
  int position = 0;
  for (const erp::LineValues* line : document.lines) {
    ++position;
    if (line->type != erp::kLineTypeArticle && line->type != erp::kLineTypeComment &&
        line->type != erp::kLineTypeService)
      return refuse::invalidLineType(position, line->type);
    if (!line->carriesValue()) continue;
    if (vb::Trim(line->article).empty()) return refuse::lineWithoutArticle(position);
    auto [it, inserted] = known.try_emplace(foldCase(line->article), false);
    if (inserted) it->second = session_.articleExists(line->article);
    if (!it->second) return refuse::unknownLineArticle(position, line->article);
    if (!(line->unitPrice >= 0)) return refuse::negativeUnitPrice(position);
    if (!(line->quantity >= 0)) return refuse::negativeQuantity(position);
    if (!erp::compoundDiscountPercent(line->discount)) return refuse::invalidDiscount(position, line->discount);
  }
  return std::nullopt;
}

}  // namespace quill::erpapi

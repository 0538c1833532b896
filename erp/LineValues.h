#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "erp/CompanySchema.h"
#include "platform/automation/Variant.h"

namespace quill::erp {

// One line of a commercial document (a DOCGCLIN row).
struct LineValues {
  int number = 0;               // NUMLIN once stored; 0 while the line is new
  int type = kLineTypeArticle;  // TIPOLIN: 1 article, 2 comment, 3 service
  std::string article;          // ARTIGO
  std::string description;      // DESCR
  std::string unit;             // UNIDADE
  double quantity = 0;          // QUANT
  double originalQuantity = 0;  // QUANTORIG
  double unitPrice = 0;         // PRECUNIT
  double enteredUnitPrice = 0;  // PRECUNITINT
  std::string discount;         // DESCONTO, percentages joined by "+"
  double discountValue = 0;     // DESCVALOR, per unit; applies when DESCONTO is empty
  double vatRate = 0;           // TAXAIVA, percent
  double netTotal = 0;          // TOTLIN, computed when the document is saved
  std::string seller;           // VENDEDOR; the header's when empty
  std::optional<Date> date;     // DATA; the header's when empty
  std::string originDocument;   // ORDOC
  // The line's series (the API's Serie): read as the series the line is
  // stored under. A line is always stored under its document's key, so a
  // value written here is kept by the API object only.
  std::int32_t series = 0;

  // Lines that carry goods or a value (article and service lines); comment
  // lines carry only their text.
  bool carriesValue() const { return type == kLineTypeArticle || type == kLineTypeService; }
};

}  // namespace quill::erp

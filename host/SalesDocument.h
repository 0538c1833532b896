#pragma once

#include <optional>
#include <string>
#include <vector>

#include "erp/DocumentStore.h"
#include "erp/DocumentTotals.h"
#include "platform/automation/Variant.h"

namespace quill::host {

using erp::DocumentClassification;
using erp::DocumentKey;
using erp::DocumentSummary;

// The header of the document being edited. Dates without a value have the
// serial 0.
struct SalesHeader {
  DocumentKey key;
  Date date;
  std::string client;
  std::string clientName;
  std::string currency;
  std::string dispatch;  // dispatch code (EXPEDIR); may be empty
  std::string seller;
  std::string zone;
  Date dueDate;
  DocumentClassification classification;
};

// Line types as the ERP keeps them (DOCGCLIN.TIPOLIN).
enum class LineType { Article = 1, Comment = 2, Service = 3 };

// Where a line stands for the extension's hooks (the Estado of oApi.Linha):
// a line being entered that the company has not stored yet, or a line read
// from the stored document. The host never passes 2: the hooks read it as a
// line whose price must start again from nothing, which would throw away the
// price the host gave a new line.
enum class LineState { New = 0, Stored = 1 };

// One line of a sales document. Prices and discount values are per line
// unit; the discount is the text as the ERP keeps it ("10+5", "2.73"), with
// "." as decimal separator whatever the user's settings.
struct SalesLine {
  LineType type = LineType::Article;
  std::string article;
  std::string description;
  std::string unit;
  double quantity = 0;
  double unitPrice = 0;
  std::string discount;
  double discountValue = 0;
  double vatRate = 0;
  std::string origin;  // ORDOC: the document a copied line came from
  LineState state = LineState::New;

  bool isArticleLine() const { return type == LineType::Article; }
  // The discount as one percentage (chained discounts compounded); 0 for a
  // text the ERP refuses.
  double discountRate() const;
  // The line's net total as the ERP computes it (erp::netLineTotal); nothing
  // when the ERP refuses its discount text.
  std::optional<double> total() const;
};

struct SalesDocument {
  SalesHeader header;
  std::vector<SalesLine> lines;
  bool stored = false;  // the company holds it (a save updates instead of adding)
  // Its series is signed and certified and it is no longer in preparation:
  // it may not be changed (erp::isClosedDocument).
  bool closed = false;

  // The totals as the ERP computes them; an AutomationError with the ERP's
  // message when it refuses a line's discount text.
  erp::DocumentTotals totals() const;
};

}  // namespace quill::host

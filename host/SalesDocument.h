#pragma once

#include <string>
#include <vector>

#include "platform/automation/Variant.h"

namespace quill::host {

// What identifies a sales document in the company: type, series, number and
// year (the key of DOCGCCAB).
struct DocumentKey {
  std::string type;
  int series = 0;
  int number = 0;
  int year = 0;
  friend bool operator==(const DocumentKey&, const DocumentKey&) = default;
};

// The classification a document copies from its type (TIPOSDOC): management
// area, kind of third party, operation, account nature, stock typification
// and the sign on the client's account. A credit note is told from an
// invoice by these values alone.
struct DocumentClassification {
  int managementArea = 0;  // AREAG
  int thirdPartyType = 0;  // TPTERC
  int operationType = 0;   // TPOPER
  int accountNature = 0;   // NATCONTA
  int stockType = 0;       // TIPIFSTK
  int accountSign = 0;     // SINALCT
  friend bool operator==(const DocumentClassification&, const DocumentClassification&) = default;
};

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
  // The discount as one percentage (chained discounts compounded).
  double discountRate() const;
  // Quantity × price less the discount, to the cent.
  double total() const;
};

struct DocumentTotals {
  double goods = 0;     // TOTMERC: quantity × price of every line
  double discount = 0;  // TOTDESC
  double vat = 0;       // TOTIVA
  double total = 0;     // TOTDOC
};

struct SalesDocument {
  SalesHeader header;
  std::vector<SalesLine> lines;
  bool stored = false;  // the company holds it (a save updates instead of adding)

  DocumentTotals totals() const;
};

// A stored document as a list shows it.
struct DocumentSummary {
  DocumentKey key;
  Date date;
  std::string client;
  std::string clientName;
  double total = 0;
};

// Money to the cent, halves away from zero, as the documents store it.
double roundToCents(double value);

}  // namespace quill::host

#pragma once

#include <optional>
#include <string>

#include "erp/DocumentKey.h"
#include "platform/automation/Variant.h"

namespace quill::erp {

// The classification a document copies from its type (TIPOSDOC): management
// area, kind of third party, operation, account nature, stock typification
// and the sign on the client's account (see CompanySchema.h). A credit note
// is told from an invoice by these values alone.
struct DocumentClassification {
  int managementArea = 0;  // AREAG
  int thirdPartyType = 0;  // TPTERC
  int operationType = 0;   // TPOPER
  int accountNature = 0;   // NATCONTA
  int stockType = 0;       // TIPIFSTK
  int accountSign = 0;     // SINALCT
  friend bool operator==(const DocumentClassification&, const DocumentClassification&) = default;
};

// A commercial document's header (a DOCGCCAB row).
struct HeaderValues {
  DocumentKey key;
  std::optional<Date> date;               // DATA
  std::string client;                     // TERCEIRO
  std::string clientName;                 // NOME
  std::string currency;                   // MOEDA
  std::string dispatch;                   // EXPEDICAO
  std::string seller;                     // VENDEDOR
  std::string zone;                       // ZONA
  std::optional<Date> dueDate;            // DATAVENC
  DocumentClassification classification;  // AREAG ... SINALCT
  bool inPreparation = false;             // EMPREP = -1
  double goodsTotal = 0;                  // TOTMERC: quantity x unit price over the lines
  double discountTotal = 0;               // TOTDESC
  double vatTotal = 0;                    // TOTIVA
  double documentTotal = 0;               // TOTDOC
  double pendingValue = 0;                // VALPEND: what the client still owes
};

}  // namespace quill::erp

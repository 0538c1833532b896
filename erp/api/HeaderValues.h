#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/automation/Variant.h"

namespace quill::erpapi {

// The key of a commercial document (DOCGCCAB: TPDOC, SERIE, NNUMDOC, ANO).
struct DocumentKey {
  std::string type;
  std::int32_t series = 0;
  std::int32_t number = 0;
  std::int32_t year = 0;
};

// A commercial document's header (a DOCGCCAB row) as the API holds it.
struct HeaderValues {
  DocumentKey key;
  std::optional<Date> date;    // DATA
  std::string client;          // TERCEIRO
  std::string clientName;      // NOME
  std::string currency;        // MOEDA
  std::string dispatch;        // EXPEDICAO
  std::string seller;          // VENDEDOR
  bool inPreparation = false;  // EMPREP = -1
  double goodsTotal = 0;       // TOTMERC: quantity x unit price over the lines
  double discountTotal = 0;    // TOTDESC
  double vatTotal = 0;         // TOTIVA
  double documentTotal = 0;    // TOTDOC
  double pendingValue = 0;     // VALPEND: what the client still owes
};

}  // namespace quill::erpapi

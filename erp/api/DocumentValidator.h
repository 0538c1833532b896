#pragma once

#include <optional>
#include <vector>

#include "erp/DocumentStore.h"
#include "erp/HeaderValues.h"
#include "erp/LineValues.h"
#include "erp/api/ApiRefusal.h"

namespace quill::erpapi {

class ApiCompanySession;

// What the ERP refuses in a commercial document about to be saved, first
// refusal found:
// - a document that may no longer be changed: its series is signed and
//   certified and it is no longer in preparation;
// - a new series for a document that exists;
// - an unknown client or currency;
// - a line of a type other than 1, 2 or 3;
// - an article or service line without an article, with an unknown
//   article, a negative unit price or quantity, or a discount that is not
//   percentages joined by "+".
// Comment lines carry only their text and are not checked.
class DocumentValidator {
 public:
  struct Document {
    const erp::DocumentKey& storedKey;  // the key the document was read with
    const erp::HeaderValues& header;
    bool seriesSigned = false;
    bool seriesCertified = false;
    const std::vector<const erp::LineValues*>& lines;
  };

  explicit DocumentValidator(const ApiCompanySession& session) : session_(session) {}

  std::optional<ApiRefusal> check(const Document& document) const;

  // True when a document in this state may no longer be changed.
  static bool closed(bool seriesSigned, bool seriesCertified, bool inPreparation) {
    return erp::isClosedDocument(seriesSigned, seriesCertified, inPreparation);
  }

 private:
  const ApiCompanySession& session_;
};

}  // namespace quill::erpapi

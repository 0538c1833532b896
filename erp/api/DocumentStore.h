#pragma once

#include <optional>
#include <vector>

#include "erp/api/HeaderValues.h"
#include "erp/api/LineValues.h"

namespace quill::erpapi {

class CompanySession;

// Reads and writes commercial documents in the company database.
class DocumentStore {
 public:
  struct Document {
    HeaderValues header;
    bool seriesSigned = false;      // SERIES.ASSINADA
    bool seriesCertified = false;   // SERIES.CERTIFICADA
    std::vector<LineValues> lines;  // in NUMLIN order
  };

  explicit DocumentStore(const CompanySession& session) : session_(session) {}

  // The document with this key and its lines; nothing when it does not exist.
  std::optional<Document> load(const DocumentKey& key) const;

  // Writes the header and rewrites all the lines of an existing document
  // in one transaction: on any failure nothing is written and the error
  // passes on. The lines are numbered 1..n in their order; line and
  // document totals are computed; the client's name follows the client;
  // a pending value moves by the change of the document's total. The
  // values written are put back into `header` and `lines`.
  void save(HeaderValues& header, std::vector<LineValues*>& lines) const;

 private:
  const CompanySession& session_;
};

}  // namespace quill::erpapi

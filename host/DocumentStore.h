#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "host/SalesDocument.h"

namespace quill::sql {
class Connection;
}

namespace quill::host {

// Sales documents in the company database (DOCGCCAB and DOCGCLIN), as the
// ERP keeps them: the header with its totals, the lines numbered from 1.
class DocumentStore {
 public:
  explicit DocumentStore(std::shared_ptr<sql::Connection> connection);

  // The document with this key; nothing when the company has none.
  std::optional<SalesDocument> load(const DocumentKey& key) const;
  bool exists(const DocumentKey& key) const;
  // The latest sales documents to clients (management area 4), newest first.
  std::vector<DocumentSummary> recent(int limit) const;
  // The number the next document of a type, series and year gets.
  int nextNumber(std::string_view type, int series, int year) const;

  // Writes the whole document, header and lines with their totals, in one
  // transaction: all of it or, on any failure, nothing. A document the
  // company does not hold yet gets the next free number of its series (the
  // key in `document` is updated); one it holds is replaced, never added a
  // second time. Article lines without an article carry nothing and are not
  // written. Afterwards the document and its lines count as stored.
  void save(SalesDocument& document);

 private:
  std::shared_ptr<sql::Connection> connection_;
};

}  // namespace quill::host

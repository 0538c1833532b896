#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "erp/HeaderValues.h"
#include "erp/LineValues.h"

namespace quill::sql {
class Connection;
}

namespace quill::erp {

struct DocumentTotals;

// A stored document as a list shows it.
struct DocumentSummary {
  DocumentKey key;
  std::optional<Date> date;
  std::string client;
  std::string clientName;
  double total = 0;
};

// A document that may no longer be changed: its series is signed and
// certified and it is no longer in preparation. The ERP's rule, which its
// API, its host and the bridge all keep.
bool isClosedDocument(bool seriesSigned, bool seriesCertified, bool inPreparation);
// The ERP's refusal to change such a document.
std::string closedDocumentMessage(const DocumentKey& key);

// The company's commercial documents (DOCGCCAB and DOCGCLIN): the one place
// that reads and writes them, for the ERP's API, its host and its demo data
// alike. Totals come from DocumentTotals; discount texts are read by
// CompoundDiscount.h.
class DocumentStore {
 public:
  struct Document {
    HeaderValues header;
    bool seriesSigned = false;      // SERIES.ASSINADA
    bool seriesCertified = false;   // SERIES.CERTIFICADA
    std::vector<LineValues> lines;  // in NUMLIN order

    bool closed() const { return isClosedDocument(seriesSigned, seriesCertified, header.inPreparation); }
  };
  enum class Write {
    Existing,  // the company holds the document: its header and lines are replaced
    New,       // a document the company does not hold yet
  };

  explicit DocumentStore(sql::Connection& connection) : connection_(connection) {}

  // The document with this key and its lines; nothing when it does not exist.
  std::optional<Document> load(const DocumentKey& key) const;
  bool exists(const DocumentKey& key) const;
  // The latest sales documents to clients (management area 4), newest first.
  std::vector<DocumentSummary> recent(int limit) const;
  // The number the next document of a type, series and year gets.
  std::int32_t nextNumber(std::string_view type, std::int32_t series, std::int32_t year) const;

  // Writes the header and all the lines of a document in one transaction:
  // all of it or, on any failure, nothing, the error passing on.
  // - A line whose discount the ERP refuses fails before anything is
  //   written (kInvalidDiscount, the ERP's message), and so does a change
  //   to a stored document that is closed (kDocumentClosed).
  // - The lines are numbered 1..n in their order; a line without a seller or
  //   a date takes the header's; line and document totals are computed.
  // - The client's name follows the client.
  // - An existing document keeps what was paid: its pending value moves by
  //   the change of its total (one owing nothing still owes nothing). One
  //   removed meanwhile is written again under its key, owing its total.
  // - A new document takes the next free number of its type, series and
  //   year, read under the transaction's write lock so that two writers never
  //   share one, and owes its total. On a server, where readers do not wait
  //   for writers, the second of two writers finds the number taken and
  //   saves again with the next one.
  // - A save that meets another user's lock or deadlock is made again (up to
  //   kSaveAttempts times in all) before its error passes on.
  // The lines' net totals are computed into them first; the other values
  // written (key, line numbers, sellers and dates, name, totals, pending
  // value) are put back into `header` and `lines` once the transaction has
  // committed.
  void save(HeaderValues& header, const std::vector<LineValues*>& lines, Write write) const;

  static constexpr int kSaveAttempts = 5;

 private:
  void saveOnce(HeaderValues& header, const std::vector<LineValues*>& lines, Write write, const DocumentTotals& totals,
                const std::string& clientName) const;

  sql::Connection& connection_;
};

}  // namespace quill::erp

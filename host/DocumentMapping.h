#pragma once

#include <optional>
#include <vector>

#include "erp/DocumentStore.h"
#include "host/SalesDocument.h"

namespace quill::host {

// The host's editor keeps the document it edits in its own form
// (SalesDocument: dates as serials, line types and states it shows); the ERP
// keeps documents in its store. What the host writes is what its editor
// shows: a line's original quantity and entered price are its quantity and
// price, its seller and date the header's, and a document it adds is still
// in preparation. Empty article lines (a row the user never filled) carry
// nothing and are left out.

erp::LineValues toErpLine(const SalesLine& line);

struct ErpDocument {
  erp::HeaderValues header;
  std::vector<erp::LineValues> lines;
};
ErpDocument toErpDocument(const SalesDocument& document);
SalesDocument fromErpDocument(const erp::DocumentStore::Document& stored);

// The stored document with this key, as the editor holds it.
std::optional<SalesDocument> loadDocument(const erp::DocumentStore& store, const DocumentKey& key);
// Writes the document through the ERP's store (one transaction: all or
// nothing; a discount text the ERP refuses writes nothing and fails with its
// message). A new document gets the next free number of its series. Only
// once written does `document` take what was stored: its key, its lines
// (without empty ones) marked stored, and the stored flag.
void saveDocument(const erp::DocumentStore& store, SalesDocument& document);

}  // namespace quill::host

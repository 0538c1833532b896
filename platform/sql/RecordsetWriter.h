#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/sql/Recordset.h"

namespace quill::sql {

class Connection;

// Writes the changes of a recordset to the tables its fields come from, by
// each table's primary key:
// - a changed row updates, in each base table, only the fields written since
//   it was read (two fields aliased from one column must agree);
// - an added row inserts its written fields into each base table it wrote
//   to; a key numbered by the database comes back into the row;
// - a deleted row is removed from its one base table.
// All rows go in one transaction: when any row fails nothing is written and
// the recordset keeps its pending changes; on success the saved rows become
// unchanged and hold the stored values. Fields without a base table
// (expressions, added columns) are never written.
class RecordsetWriter {
 public:
  explicit RecordsetWriter(Connection& connection) : connection_(connection) {}

  void saveAll(Recordset& recordset);
  void saveRows(Recordset& recordset, const std::vector<std::size_t>& rows);

  // The writer of an updatable recordset: each row through this connection
  // while it is open; ObjectClosed once it is closed or gone.
  static Recordset::RowWriter throughConnection(std::weak_ptr<Connection> connection);

 private:
  Connection& connection_;
};

}  // namespace quill::sql

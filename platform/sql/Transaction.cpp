#include "platform/sql/Transaction.h"

#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"

namespace quill::sql {

Transaction::Transaction(Database& database) : database_(database) { database_.beginTransaction(); }

Transaction::Transaction(Connection& connection) : Transaction(connection.database()) {}

Transaction::~Transaction() {
  if (!done_) database_.rollbackTransaction();
}

void Transaction::commit() {
  if (done_) return;
  database_.commitTransaction();
  done_ = true;
}

}  // namespace quill::sql

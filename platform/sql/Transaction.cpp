#include "platform/sql/Transaction.h"

#include "platform/sql/Connection.h"

namespace quill::sql {

Transaction::Transaction(Connection& connection) : connection_(connection) { connection_.beginTransaction(); }

Transaction::~Transaction() {
  if (!done_) connection_.rollbackTransaction();
}

void Transaction::commit() {
  if (done_) return;
  connection_.commitTransaction();
  done_ = true;
}

}  // namespace quill::sql

#include "platform/sql/Transaction.h"

#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"

namespace quill::sql {

Transaction::Transaction(Database& database) : database_(&database) { database.beginTransaction(); }

Transaction::Transaction(Connection& connection) : connection_(&connection) { connection.beginTransaction(); }

Transaction::~Transaction() {
  if (done_) return;
  if (connection_)
    connection_->rollbackTransaction();
  else
    database_->rollbackTransaction();
}

void Transaction::commit() {
  if (done_) return;
  if (connection_)
    connection_->commitTransaction();
  else
    database_->commitTransaction();
  done_ = true;
}

}  // namespace quill::sql

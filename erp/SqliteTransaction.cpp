#include "erp/SqliteTransaction.h"

#include "erp/SqliteDatabase.h"

namespace quill::erp {

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
  if (!open_) return;
  try {
    db_.exec("ROLLBACK");
  } catch (...) {
    // The transaction is gone already (the connection failed); nothing to undo.
  }
}

void SqliteTransaction::commit() {
  db_.exec("COMMIT");
  open_ = false;
}

}  // namespace quill::erp

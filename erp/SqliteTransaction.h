#pragma once

namespace quill::erp {

class SqliteDatabase;

// All-or-nothing writes: begins a transaction and rolls it back unless it
// was committed.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDatabase& db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;

  void commit();

 private:
  SqliteDatabase& db_;
  bool open_ = true;
};

}  // namespace quill::erp

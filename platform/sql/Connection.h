#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/automation/MemberTable.h"
#include "platform/sql/DataType.h"
#include "platform/sql/Database.h"
#include "platform/sql/ProcedureRegistry.h"
#include "platform/sql/SqlShim.h"
#include "platform/sql/StatementCache.h"

namespace quill::sql {

class Recordset;
class Statement;

// A connection to one company database file. Statements are the system's
// T-SQL, translated by the shim; translations and prepared statements are
// kept by statement text. Parameters are bound to "?" in the text.
//
// The database runs in WAL mode, so readers never wait for a writer. A
// writer that finds another writer's lock waits up to the busy timeout and
// then fails with a clear error, having changed nothing.
//
// It is shared (std::shared_ptr) because it is handed across the automation
// border: DataAccess.GetConnection gives it to commands and lookups, and
// updatable recordsets write through it. As a late-bound object it answers
// Execute(sql), Close and State, as an ADO connection does.
class Connection : public DispatchObject<Connection> {
 public:
  enum class OpenMode { Existing, Create };
  static constexpr std::chrono::milliseconds kDefaultBusyTimeout = Database::kDefaultBusyTimeout;

  // Opens a database file; Existing refuses a missing file. A file that is
  // not a database, is damaged or cannot be opened fails with an
  // AutomationError whose description says which and names the file.
  static std::shared_ptr<Connection> open(const std::filesystem::path& file, OpenMode mode = OpenMode::Existing);

  explicit Connection(Database database);  // use open()
  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool isOpen() const { return database_.isOpen(); }
  // Closes the file; later calls fail with ObjectClosed (3704).
  void close();
  const std::filesystem::path& file() const { return database_.file(); }
  void setBusyTimeout(std::chrono::milliseconds timeout);

  // Runs statements that return no rows; the number of rows changed by the
  // last one.
  int execute(std::string_view sql, const std::vector<Variant>& parameters = {});
  // Runs one statement and reads all its rows into a disconnected recordset
  // positioned on the first row.
  std::shared_ptr<Recordset> query(std::string_view sql, const std::vector<Variant>& parameters = {});
  // The key the database gave the last row inserted.
  std::int64_t lastInsertId() const;

  ProcedureRegistry& procedures() { return procedures_; }
  // Runs a registered procedure; ErrorsInCommand when there is none of that name.
  std::shared_ptr<Recordset> callProcedure(std::string_view name, const ProcedureArguments& arguments);

  // What saving needs to know of a table: its columns with their declared
  // types, and its primary key in key order.
  struct Column {
    std::string name;
    std::string declaredType;
    DataType type = DataType::Variant;
    bool key = false;
    bool identity = false;  // an INTEGER PRIMARY KEY: numbered by the database
  };
  struct TableInfo {
    std::string name;  // as the schema spells it; empty when there is no such table
    std::vector<Column> columns;
    std::vector<std::string> keyColumns;
    const Column* column(std::string_view name) const;
  };
  const TableInfo& tableInfo(std::string_view table);

  // ---- Late-bound object ----
  static const MemberTable<Connection>& members();
  std::string className() const override { return "Connection"; }

 private:
  friend class Transaction;

  // A statement ready to run: from the cache, or prepared for this one use
  // when the cached one is busy (a procedure querying with the same text).
  class Prepared;
  Prepared prepare(std::string_view sql);
  std::vector<Field> describe(const Statement& statement);
  void requireOpen() const;
  // The raw tier, for the Transaction guard.
  Database& database() { return database_; }

  // Declared first, so that the cached statements go before the file closes.
  Database database_;
  SqlShim shim_;
  StatementCache cache_;
  ProcedureRegistry procedures_;
  std::unordered_map<std::string, TableInfo> tables_;  // by folded name
};

}  // namespace quill::sql

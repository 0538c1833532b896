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

namespace quill::sql {

class Recordset;
struct Field;
struct ServerAddress;

// A connection to one company database: an embedded database file, or a
// database on a server reached through ODBC. Statements are the system's
// T-SQL, translated by the backend's dialect shim; translations and prepared
// statements are kept by statement text. Parameters are bound to "?" in the
// text. Callers never ask which backend they have.
//
// It is shared (std::shared_ptr) because it is handed across the automation
// border: DataAccess.GetConnection gives it to commands and lookups, and
// updatable recordsets write through it. As a late-bound object it answers
// Execute(sql), Close and State, as an ADO connection does.
class Connection : public DispatchObject<Connection> {
 public:
  enum class OpenMode { Existing, Create };
  static constexpr std::chrono::milliseconds kDefaultBusyTimeout{3000};

  // Opens a database file; Existing refuses a missing file. A file that is
  // not a database, is damaged or cannot be opened fails with an
  // AutomationError whose description says which and names the file.
  //
  // The file runs in WAL mode, so readers never wait for a writer. A writer
  // that finds another writer's lock waits up to the busy timeout and then
  // fails with a clear error, having changed nothing.
  static std::shared_ptr<Connection> open(const std::filesystem::path& file, OpenMode mode = OpenMode::Existing);
  // Opens a database on a server. A server that is down, refuses the login
  // or has no such database fails with an AutomationError saying which.
  static std::shared_ptr<Connection> open(const ServerAddress& server);

  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  virtual bool isOpen() const = 0;
  // Closes the connection; later calls fail with ObjectClosed (3704).
  virtual void close() = 0;
  // The database file; empty on a server.
  virtual const std::filesystem::path& file() const = 0;
  // How long a write waits for another writer's lock before it fails.
  virtual void setBusyTimeout(std::chrono::milliseconds timeout) = 0;

  // Runs statements that return no rows; the number of rows changed by the
  // last one.
  virtual int execute(std::string_view sql, const std::vector<Variant>& parameters = {}) = 0;
  // Runs one statement and reads all its rows into a disconnected recordset
  // positioned on the first row.
  virtual std::shared_ptr<Recordset> query(std::string_view sql, const std::vector<Variant>& parameters = {}) = 0;
  // The key the database gave the last row inserted.
  virtual std::int64_t lastInsertId() = 0;

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
    bool identity = false;  // numbered by the database
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

 protected:
  Connection() = default;
  void requireOpen() const;
  // Reads a table's description from the schema (nothing when there is no
  // such table); `name` is folded to lower case.
  virtual TableInfo loadTableInfo(const std::string& name) = 0;
  // After a statement that changed the schema.
  void forgetTables() { tables_.clear(); }
  // Ties a field read from `table`.`column` to that column (as the schema
  // spells them, with its key and identity flags): what saving writes by.
  // Nothing of the column when the table has no such column.
  const Column* setBaseColumn(Field& field, const std::string& table, const std::string& column);

 private:
  friend class Transaction;
  // Transactions, for the Transaction guard: the outermost one takes the
  // write lock; nested ones are savepoints.
  virtual void beginTransaction() = 0;
  virtual void commitTransaction() = 0;
  virtual void rollbackTransaction() noexcept = 0;

  ProcedureRegistry procedures_;
  std::unordered_map<std::string, TableInfo> tables_;  // by folded name
};

}  // namespace quill::sql

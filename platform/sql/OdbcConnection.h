#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/Connection.h"
#include "platform/sql/ServerAddress.h"
#include "platform/sql/SqlShim.h"
#include "platform/sql/StatementCache.h"

namespace quill::sql {

class OdbcStatement;

// The server backend: one ODBC connection to a company database on
// PostgreSQL, the system's T-SQL translated by the PostgreSQL shim.
//
// A statement the system repeats is prepared once on the server; its text
// literals are bound as parameters, so statements that differ only in the
// codes they name share one prepared statement. Transactions are the
// server's, nested ones savepoints. A write waits for another user's row
// lock up to the busy timeout and then fails with a message saying the data
// is in use; a deadlock or a serialization failure says so too. Either way
// the transaction is rolled back and nothing is half-written.
//
// When the server goes away (restarted, the network dropped), the call
// fails saying the connection was lost; the next call outside a
// transaction connects again, or says that it cannot.
class OdbcConnection final : public Connection {
 public:
  static std::shared_ptr<Connection> open(const ServerAddress& server);

  explicit OdbcConnection(ServerAddress server);  // use open()
  ~OdbcConnection() override;

  bool isOpen() const override { return open_; }
  void close() override;
  const std::filesystem::path& file() const override;
  void setBusyTimeout(std::chrono::milliseconds timeout) override;
  int execute(std::string_view sql, const std::vector<Variant>& parameters = {}) override;
  std::shared_ptr<Recordset> query(std::string_view sql, const std::vector<Variant>& parameters = {}) override;
  std::int64_t lastInsertId() override;

  const ServerAddress& server() const { return server_; }

 private:
  struct Handles;
  using Cache = BasicStatementCache<std::shared_ptr<OdbcStatement>>;

  void connect();
  void disconnect() noexcept;
  // Before each call: the connection is open, and connected again when the
  // server was lost outside a transaction.
  void ready();
  // Runs one statement (translated and prepared as needed) and hands back
  // its statement, positioned before its first row.
  // A statement that finds the server gone before anything of it could have
  // been done there (a read outside a transaction, or the first statement of
  // one) is run once more on a new connection; `reads` says it changes
  // nothing. A change that inserts one row into a table the server numbers
  // also answers the number it gave (see keyToReturn).
  struct Run;
  Run run(std::string_view sql, const std::vector<Variant>& parameters, bool reads = false);
  Run runOnce(std::string_view sql, const std::vector<Variant>& parameters, bool reads);
  // The column whose number an insert of one row should answer: the
  // table's identity column when the server's statement is an insert of
  // one row (VALUES with one row, or DEFAULT VALUES) into a table that has
  // one; empty otherwise.
  std::string keyToReturn(const std::string& serverSql);
  void setAutocommit(bool on) noexcept;
  // Reads the rows of a statement that has run; `bases` looks up the base
  // table and column of each field (what saving needs).
  std::shared_ptr<Recordset> read(Run done, bool bases);
  // Whether the connection is gone after a failure with this SQLSTATE.
  bool dead(const std::string& state) const;
  // Runs server text as it is, with no parameters (schema queries, SET, savepoints).
  void runRaw(const std::string& sql);
  // An error of the last call on a handle, as the system's error numbers.
  [[noreturn]] void fail(short handleType, void* handle, std::string_view context);

  TableInfo loadTableInfo(const std::string& name) override;
  void beginTransaction() override;
  void commitTransaction() override;
  void rollbackTransaction() noexcept override;
  void schemaChanged();

  ServerAddress server_;
  std::unique_ptr<Handles> handles_;
  SqlShim shim_{SqlDialect::Postgres};
  Cache cache_;
  bool open_ = false;
  bool lost_ = false;  // the server went away; reconnect before the next call
  int transactionDepth_ = 0;
  bool sentInTransaction_ = false;  // the outermost transaction has sent a statement
  // The savepoint of a nested transaction that committed, not yet released
  // (0: none): released with the next savepoint at its depth in one round
  // trip, or by the end of the transaction around it.
  int pendingRelease_ = 0;
  // The number the server gave the row of the last statement, when it was
  // an insert that answered it; lastInsertId() asks the server otherwise.
  std::optional<std::int64_t> insertedKey_;
  std::chrono::milliseconds busyTimeout_ = kDefaultBusyTimeout;
};

}  // namespace quill::sql

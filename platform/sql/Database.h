#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace quill::sql {

class Statement;

// One SQLite database file, owned: the raw tier of the SQL layer. Statements
// are SQLite's own, run as written with parameters bound by position, each
// a Statement that finalizes itself. Connection runs the system's T-SQL on
// top of it; the ERP stand-in uses it directly for its installation
// registry and the bulk load of demo companies.
//
// Names in double quotes are always names (a misspelt column fails rather
// than turning into text). Failures are AutomationErrors of the SQL layer.
class Database {
 public:
  enum class Mode {
    ReadOnly,   // the file must exist
    ReadWrite,  // the file must exist
    Create,     // created when missing
  };
  static constexpr std::chrono::milliseconds kDefaultBusyTimeout{3000};

  // Opens the file. A missing file (ReadOnly, ReadWrite), a file that is not
  // a database or is damaged, and one that cannot be opened fail with an
  // error whose description says which and names the file. Another process
  // holding the file's lock is waited for up to the busy timeout.
  Database(const std::filesystem::path& file, Mode mode);
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  bool isOpen() const { return db_ != nullptr; }
  // Closes the file now, rolling back a transaction left open; further use
  // fails with ObjectClosed (3704).
  void close() noexcept;
  const std::filesystem::path& file() const { return file_; }
  void setBusyTimeout(std::chrono::milliseconds timeout);

  // Runs one or more statements that take no parameters and return no rows.
  void exec(std::string_view sql);
  // Prepares the first statement of `sql` (the rest in `tail` when given).
  Statement prepare(std::string_view sql, std::string* tail = nullptr, bool persistent = false);
  // The first column of the first row of a query, as an integer (0 when none).
  std::int64_t scalarInt(std::string_view sql);

  // The tables of `names` that the database does not have (names compare
  // without regard to case), in that order.
  std::vector<std::string> missingTables(std::span<const std::string_view> names);

  std::int64_t changes() const;
  std::int64_t lastInsertId() const;
  sqlite3* handle() const { return db_; }

  // Transactions, for the Transaction guard: the outermost one begins
  // immediately, taking the write lock; nested ones are savepoints.
  void beginTransaction();
  void commitTransaction();
  void rollbackTransaction() noexcept;

 private:
  void requireOpen() const;

  sqlite3* db_ = nullptr;
  std::filesystem::path file_;
  int transactionDepth_ = 0;
};

}  // namespace quill::sql

#include "platform/sql/Database.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <system_error>
#include <utility>

#include "platform/sql/SqlError.h"
#include "platform/sql/Statement.h"
#include "platform/sql/ValueOrder.h"

namespace quill::sql {

namespace {
int compareCodes(void*, int lengthA, const void* a, int lengthB, const void* b) {
  return compareTextNoCase(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                           std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}
}  // namespace

Database::Database(const std::filesystem::path& file, Mode mode) : file_(file) {
  std::error_code ec;
  if (mode != Mode::Create && !std::filesystem::is_regular_file(file, ec))
    throw sqlError(sqlerr::Failed, fmt::format("The database file {} does not exist", file.string()));
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::ReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Mode::ReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case Mode::Create:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  int rc = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    AutomationError error = sqliteError(db_, rc, file.string());
    sqlite3_close(db_);
    db_ = nullptr;
    throw error;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  setBusyTimeout(kDefaultBusyTimeout);
  // Before anything reads the schema: its code columns and indexes use it.
  sqlite3_create_collation_v2(db_, kCodeCollation, SQLITE_UTF8, nullptr, compareCodes, nullptr);
  try {
    // A file that is not a database opens without complaint; reading the
    // schema makes it speak now.
    exec("SELECT count(*) FROM sqlite_master");
  } catch (const AutomationError& e) {
    close();
    throw sqlError(e.number(), e.description() + " (" + file.string() + ")");
  }
}

Database::~Database() { close(); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      file_(std::move(other.file_)),
      transactionDepth_(std::exchange(other.transactionDepth_, 0)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    close();
    db_ = std::exchange(other.db_, nullptr);
    file_ = std::move(other.file_);
    transactionDepth_ = std::exchange(other.transactionDepth_, 0);
  }
  return *this;
}

void Database::close() noexcept {
  if (!db_) return;
  if (transactionDepth_ > 0 && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  transactionDepth_ = 0;
  // Statements still held elsewhere keep the file until they go.
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Database::requireOpen() const {
  if (!db_) throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

void Database::setBusyTimeout(std::chrono::milliseconds timeout) {
  requireOpen();
  sqlite3_busy_timeout(db_, static_cast<int>(timeout.count()));
}

void Database::exec(std::string_view sql) {
  requireOpen();
  std::string text(sql);
  char* message = nullptr;
  int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
  sqlite3_free(message);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc);
}

Statement Database::prepare(std::string_view sql, std::string* tail, bool persistent) {
  requireOpen();
  return Statement(db_, std::string(sql), tail, persistent);
}

std::int64_t Database::scalarInt(std::string_view sql) {
  Statement statement = prepare(sql);
  return statement && statement.step() ? statement.integer(0) : 0;
}

std::vector<std::string> Database::missingTables(std::span<const std::string_view> names) {
  std::vector<std::string> missing;
  for (std::string_view name : names) {
    Statement lookup = prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE");
    lookup.bind(1, name);
    if (!lookup.step() || lookup.integer(0) == 0) missing.emplace_back(name);
  }
  return missing;
}

std::int64_t Database::changes() const { return db_ ? sqlite3_changes64(db_) : 0; }

std::int64_t Database::lastInsertId() const {
  requireOpen();
  return sqlite3_last_insert_rowid(db_);
}

void Database::beginTransaction() {
  exec(transactionDepth_ == 0 ? std::string("BEGIN IMMEDIATE") : fmt::format("SAVEPOINT quill_{}", transactionDepth_));
  ++transactionDepth_;
}

void Database::commitTransaction() {
  exec(transactionDepth_ == 1 ? std::string("COMMIT") : fmt::format("RELEASE quill_{}", transactionDepth_ - 1));
  --transactionDepth_;
}

void Database::rollbackTransaction() noexcept {
  if (!db_ || transactionDepth_ == 0) return;
  --transactionDepth_;
  if (transactionDepth_ == 0) {
    // SQLite may already have rolled back by itself after some failures.
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  } else {
    const std::string name = fmt::format("quill_{}", transactionDepth_);
    sqlite3_exec(db_, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(), nullptr, nullptr, nullptr);
  }
}

}  // namespace quill::sql

#include "erp/SqliteDatabase.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <utility>

#include "erp/SqliteStatement.h"
#include "platform/automation/AutomationError.h"

namespace quill::erp {

namespace {
constexpr const char* kSource = "ERP";
// Another process (the host, the bridge, a second generator) may hold the
// file for a moment; wait for it rather than fail at once.
constexpr int kBusyTimeoutMs = 5000;
}  // namespace

SqliteDatabase::SqliteDatabase(const std::filesystem::path& file, Mode mode) : file_(file) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
  }
  int rc = sqlite3_open_v2(file.string().c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw AutomationError(kErpDatabaseError, kSource,
                          fmt::format("Não foi possível abrir a base de dados \"{}\": {}", file.string(), message));
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 1);
  // A file that is not a database opens without complaint; make it speak now.
  try {
    scalarInt("SELECT count(*) FROM sqlite_master");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

SqliteDatabase::~SqliteDatabase() { close(); }

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), file_(std::move(other.file_)) {}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
  if (this != &other) {
    close();
    db_ = std::exchange(other.db_, nullptr);
    file_ = std::move(other.file_);
  }
  return *this;
}

void SqliteDatabase::close() {
  if (db_) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

void SqliteDatabase::exec(std::string_view sql) {
  if (!db_) throw AutomationError(kErpDatabaseError, kSource, "A base de dados está fechada.");
  std::string text(sql);
  char* error = nullptr;
  int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw AutomationError(kErpDatabaseError, kSource,
                          fmt::format("Erro na base de dados \"{}\": {}", file_.filename().string(), message));
  }
}

SqliteStatement SqliteDatabase::prepare(std::string_view sql) {
  if (!db_) throw AutomationError(kErpDatabaseError, kSource, "A base de dados está fechada.");
  return SqliteStatement(db_, sql);
}

std::int64_t SqliteDatabase::scalarInt(std::string_view sql) {
  auto statement = prepare(sql);
  return statement.step() ? statement.integer(0) : 0;
}

std::int64_t SqliteDatabase::changes() const { return db_ ? sqlite3_changes64(db_) : 0; }

}  // namespace quill::erp

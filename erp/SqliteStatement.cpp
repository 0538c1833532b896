#include "erp/SqliteStatement.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <utility>

#include "erp/SqliteDatabase.h"
#include "platform/automation/AutomationError.h"

namespace quill::erp {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw AutomationError(kErpDatabaseError, "ERP", fmt::format("{} [{}]", message, sql));
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
  }
  return *this;
}

void SqliteStatement::fail(int rc, std::string_view what) const {
  std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
  const char* sql = stmt_ ? sqlite3_sql(stmt_) : "";
  throw AutomationError(kErpDatabaseError, "ERP", fmt::format("{}: {} [{}]", what, message, sql ? sql : ""));
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
  int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) fail(rc, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
  int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) fail(rc, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value) {
  int rc = sqlite3_bind_double(stmt_, index, value);
  if (rc != SQLITE_OK) fail(rc, "bind");
  return *this;
}

SqliteStatement& SqliteStatement::bindNull(int index) {
  int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) fail(rc, "bind");
  return *this;
}

bool SqliteStatement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  fail(rc, "step");
}

void SqliteStatement::run() {
  while (step()) {
  }
  reset();
}

void SqliteStatement::reset() { sqlite3_reset(stmt_); }

int SqliteStatement::columnCount() const { return sqlite3_column_count(stmt_); }

bool SqliteStatement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string SqliteStatement::text(int column) const {
  const auto* p = sqlite3_column_text(stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
           : std::string();
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

double SqliteStatement::real(int column) const { return sqlite3_column_double(stmt_, column); }

std::optional<std::string> SqliteStatement::optionalText(int column) const {
  if (isNull(column)) return std::nullopt;
  return text(column);
}

}  // namespace quill::erp

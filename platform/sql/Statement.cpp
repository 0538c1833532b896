#include "platform/sql/Statement.h"

#include <sqlite3.h>

#include <utility>

#include "platform/sql/SqlError.h"

namespace quill::sql {

Statement::Statement(sqlite3* db, const std::string& sql, std::string* tail, bool persistent) : db_(db) {
  const char* rest = nullptr;
  // The length counts the terminating zero, so SQLite need not copy the text.
  int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()) + 1,
                              persistent ? SQLITE_PREPARE_PERSISTENT : 0, &stmt_, &rest);
  if (rc != SQLITE_OK) {
    AutomationError error = sqliteError(db_, rc);
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw error;
  }
  if (tail) *tail = rest ? std::string(rest) : std::string();
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), stmt_(std::exchange(other.stmt_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = std::exchange(other.db_, nullptr);
    stmt_ = std::exchange(other.stmt_, nullptr);
  }
  return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
  int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc, "binding a parameter");
  return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
  int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc, "binding a parameter");
  return *this;
}

Statement& Statement::bind(int index, double value) {
  int rc = sqlite3_bind_double(stmt_, index, value);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc, "binding a parameter");
  return *this;
}

Statement& Statement::bindNull(int index) {
  int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc, "binding a parameter");
  return *this;
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  AutomationError error = sqliteError(db_, rc);
  sqlite3_reset(stmt_);
  throw error;
}

void Statement::run() {
  while (step()) {
  }
  reset();
}

void Statement::reset() noexcept { sqlite3_reset(stmt_); }

void Statement::clearBindings() noexcept { sqlite3_clear_bindings(stmt_); }

bool Statement::busy() const { return sqlite3_stmt_busy(stmt_) != 0; }

std::string_view Statement::sqlText() const {
  const char* sql = stmt_ ? sqlite3_sql(stmt_) : nullptr;
  return sql ? std::string_view(sql) : std::string_view();
}

int Statement::parameterCount() const { return sqlite3_bind_parameter_count(stmt_); }

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

std::string Statement::columnName(int column) const {
  const char* name = sqlite3_column_name(stmt_, column);
  return name ? name : "";
}

Statement::Storage Statement::storage(int column) const {
  switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
      return Storage::Integer;
    case SQLITE_FLOAT:
      return Storage::Real;
    case SQLITE_TEXT:
      return Storage::Text;
    case SQLITE_BLOB:
      return Storage::Blob;
    default:
      return Storage::Null;
  }
}

bool Statement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string Statement::text(int column) const {
  const auto* p = sqlite3_column_text(stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p),
                         static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
           : std::string();
}

std::int64_t Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

double Statement::real(int column) const { return sqlite3_column_double(stmt_, column); }

std::optional<std::string> Statement::optionalText(int column) const {
  if (isNull(column)) return std::nullopt;
  return text(column);
}

}  // namespace quill::sql

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quill::sql {

// A prepared SQLite statement, owned: it is finalized when the object goes,
// so nothing leaks when an error passes between preparing and finishing it.
// Parameters are numbered from 1 and columns from 0, as in SQLite. Failures
// are AutomationErrors of the SQL layer (sqliteError).
class Statement {
 public:
  Statement() = default;  // no statement
  // Prepares the first statement of `sql`; what follows it is put in `tail`
  // when one is given. A persistent statement is one kept for reuse. Text
  // with no statement in it (blanks, comments) gives an empty Statement.
  Statement(sqlite3* db, const std::string& sql, std::string* tail = nullptr, bool persistent = false);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  explicit operator bool() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }

  Statement& bind(int index, std::string_view text);
  Statement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
  Statement& bind(int index, const std::string& text) { return bind(index, std::string_view(text)); }
  Statement& bind(int index, std::int64_t value);
  Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
  Statement& bind(int index, double value);
  Statement& bindNull(int index);

  // Binds every argument in order from parameter 1.
  template <typename... Args>
  Statement& bindAll(const Args&... args) {
    int index = 0;
    (bind(++index, args), ...);
    return *this;
  }

  // Advances to the next row; false when there is none. A failure resets
  // the statement before it is raised.
  bool step();
  // Steps a statement that returns no rows, then resets it for the next use.
  void run();
  // Ready to run again; bindings are kept.
  void reset() noexcept;
  void clearBindings() noexcept;
  // Started and not yet reset (a cached statement that is in use).
  bool busy() const;
  // The statement's text as prepared.
  std::string_view sqlText() const;

  int parameterCount() const;
  int columnCount() const;
  std::string columnName(int column) const;
  // How the current row keeps a column's value.
  enum class Storage { Null, Integer, Real, Text, Blob };
  Storage storage(int column) const;
  bool isNull(int column) const;
  std::string text(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::optional<std::string> optionalText(int column) const;

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace quill::sql

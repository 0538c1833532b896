#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace quill::erp {

// A prepared statement of a SqliteDatabase, owned. Parameters are numbered
// from 1 and columns from 0, as in SQLite.
class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& bind(int index, std::string_view text);
  SqliteStatement& bind(int index, const char* text) { return bind(index, std::string_view(text)); }
  SqliteStatement& bind(int index, std::int64_t value);
  SqliteStatement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
  SqliteStatement& bind(int index, double value);
  SqliteStatement& bindNull(int index);

  // Binds every argument in order from parameter 1.
  template <typename... Args>
  SqliteStatement& bindAll(const Args&... args) {
    int index = 0;
    (bind(++index, args), ...);
    return *this;
  }

  // Advances to the next row; false when there is none.
  bool step();
  // Steps a statement that returns no rows, then resets it for the next use.
  void run();
  // Ready to run again; bindings are kept.
  void reset();

  int columnCount() const;
  bool isNull(int column) const;
  std::string text(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  std::optional<std::string> optionalText(int column) const;

 private:
  [[noreturn]] void fail(int rc, std::string_view what) const;

  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace quill::erp

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;

namespace quill::erp {

class SqliteStatement;

// One open SQLite database file, owned. The ERP stand-in uses it for its
// installation registry and for the bulk load of demo companies; the system's
// own statements go through the SQL layer instead.
class SqliteDatabase {
 public:
  enum class Mode {
    ReadOnly,   // the file must exist
    ReadWrite,  // the file must exist
    Create,     // created when missing
  };

  SqliteDatabase(const std::filesystem::path& file, Mode mode);
  ~SqliteDatabase();
  SqliteDatabase(SqliteDatabase&& other) noexcept;
  SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs one or more statements that return no rows.
  void exec(std::string_view sql);
  SqliteStatement prepare(std::string_view sql);

  // The first column of the first row of a query, as an integer (0 when none).
  std::int64_t scalarInt(std::string_view sql);

  std::int64_t changes() const;
  const std::filesystem::path& file() const { return file_; }
  sqlite3* handle() const { return db_; }

  // Closes the file now; further use is an error.
  void close();

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path file_;
};

// The number of the errors raised by the ERP stand-in's own database access
// (E_FAIL, as an OLE DB provider reports an unspecified failure).
inline constexpr std::int32_t kErpDatabaseError = -2147467259;

}  // namespace quill::erp

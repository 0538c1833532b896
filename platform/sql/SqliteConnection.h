#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"
#include "platform/sql/SqlShim.h"
#include "platform/sql/StatementCache.h"

namespace quill::sql {

class Statement;

// The embedded backend: one SQLite database file in WAL mode, the system's
// T-SQL translated by the SQLite shim, prepared statements cached by text.
class SqliteConnection final : public Connection {
 public:
  static std::shared_ptr<Connection> open(const std::filesystem::path& file, OpenMode mode);

  explicit SqliteConnection(Database database);  // use open()
  ~SqliteConnection() override;

  bool isOpen() const override { return database_.isOpen(); }
  void close() override;
  const std::filesystem::path& file() const override { return database_.file(); }
  void setBusyTimeout(std::chrono::milliseconds timeout) override;
  int execute(std::string_view sql, const std::vector<Variant>& parameters = {}) override;
  std::shared_ptr<Recordset> query(std::string_view sql, const std::vector<Variant>& parameters = {}) override;
  std::int64_t lastInsertId() override;

 private:
  TableInfo loadTableInfo(const std::string& name) override;
  void beginTransaction() override { database_.beginTransaction(); }
  void commitTransaction() override { database_.commitTransaction(); }
  void rollbackTransaction() noexcept override { database_.rollbackTransaction(); }

  // A statement ready to run: from the cache, or prepared for this one use
  // when the cached one is busy (a procedure querying with the same text).
  class Prepared;
  Prepared prepare(std::string_view sql);
  std::vector<Field> describe(const Statement& statement);
  void schemaChanged();

  // Declared first, so that the cached statements go before the file closes.
  Database database_;
  SqlShim shim_;
  StatementCache cache_;
};

}  // namespace quill::sql

#include "erp/ServerCompany.h"

#include <fmt/format.h>
#include <fmt/ranges.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/Variant.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"
#include "platform/sql/Transaction.h"

namespace quill::erp {

namespace fs = std::filesystem;

namespace {

// Rows go to the server many at a time: one statement shape, prepared once,
// and far fewer round trips than a statement per row. The server takes at
// most 65,535 values per statement.
constexpr std::size_t kValuesPerStatement = 2000;

struct TableCopy {
  std::string name;
  std::string create;  // the file's own CREATE TABLE, which the server's shim translates
  std::vector<std::string> columns;
};

std::vector<TableCopy> tablesOf(sql::Database& file) {
  std::vector<TableCopy> tables;
  auto query = file.prepare(
      "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
      "ORDER BY rowid");
  while (query.step()) tables.push_back({query.text(0), query.text(1), {}});
  for (auto& table : tables) {
    auto columns = file.prepare("SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    columns.bind(1, table.name);
    while (columns.step()) table.columns.push_back(columns.text(0));
  }
  return tables;
}

std::vector<std::string> indexesOf(sql::Database& file) {
  std::vector<std::string> indexes;
  auto query = file.prepare("SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY rowid");
  while (query.step()) indexes.push_back(query.text(0));
  return indexes;
}

Variant valueAt(const sql::Statement& row, int column) {
  switch (row.storage(column)) {
    case sql::Statement::Storage::Null:
      return Variant::null();
    case sql::Statement::Storage::Integer: {
      // A whole number beyond 32 bits goes as a double, exact to 2^53,
      // rather than cut.
      const std::int64_t value = row.integer(column);
      if (value >= INT32_MIN && value <= INT32_MAX) return Variant(static_cast<std::int32_t>(value));
      return Variant(static_cast<double>(value));
    }
    case sql::Statement::Storage::Real:
      return Variant(row.real(column));
    default:
      return Variant(row.text(column));
  }
}

std::string insertText(const TableCopy& table, std::size_t rows) {
  const std::string values = fmt::format("({})", fmt::join(std::vector<std::string>(table.columns.size(), "?"), ", "));
  return fmt::format("INSERT INTO {} ({}) VALUES {}", table.name, fmt::join(table.columns, ", "),
                     fmt::join(std::vector<std::string>(rows, values), ", "));
}

void copyRows(sql::Database& file, const TableCopy& table, sql::Connection& server) {
  const std::size_t width = table.columns.size();
  const std::size_t batch = std::max<std::size_t>(1, kValuesPerStatement / width);
  const std::string full = insertText(table, batch);
  auto query = file.prepare(fmt::format("SELECT {} FROM {}", fmt::join(table.columns, ", "), table.name));
  std::vector<Variant> values;
  values.reserve(batch * width);
  auto flush = [&] {
    if (values.empty()) return;
    std::size_t rows = values.size() / width;
    server.execute(rows == batch ? full : insertText(table, rows), values);
    values.clear();
  };
  while (query.step()) {
    for (std::size_t i = 0; i < width; ++i) values.push_back(valueAt(query, static_cast<int>(i)));
    if (values.size() == batch * width) flush();
  }
  flush();
}

// Database names go into statement text: letters, digits and underscores
// only, not starting with a digit.
void checkServerDatabaseName(const std::string& name) {
  bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name.front())) &&
               std::all_of(name.begin(), name.end(),
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
  if (!plain)
    throw AutomationError(vberr::InvalidCall, "ERP",
                          fmt::format("Nome de base de dados inválido no servidor: \"{}\".", name));
}

void dropDatabase(sql::Connection& admin, const std::string& name) {
  admin.execute(fmt::format("DROP DATABASE IF EXISTS {} WITH (FORCE)", name));
}

}  // namespace

sql::ServerAddress ServerCompany::maintenanceDatabase(const sql::ServerAddress& server) {
  auto admin = server;
  admin.database = "postgres";
  return admin;
}

void ServerCompany::drop(const sql::ServerAddress& server) {
  checkServerDatabaseName(server.database);
  auto admin = sql::Connection::open(maintenanceDatabase(server));
  dropDatabase(*admin, server.database);
}

void ServerCompany::copy(const fs::path& file, const sql::ServerAddress& server, const Progress& progress) {
  auto step = [&](std::string_view name) {
    if (progress) progress(name);
  };
  const std::string& target = server.database;
  checkServerDatabaseName(target);

  sql::Database source(file, sql::Database::Mode::ReadOnly);
  auto tables = tablesOf(source);
  auto indexes = indexesOf(source);

  auto admin = sql::Connection::open(maintenanceDatabase(server));
  const std::string building = fmt::format("{}_building_{}", target, static_cast<long>(::getpid()));
  dropDatabase(*admin, building);
  admin->execute("CREATE DATABASE " + building);
  try {
    auto address = server;
    address.database = building;
    auto db = sql::Connection::open(address);
    {
      sql::Transaction transaction(*db);
      step("server: tables");
      for (const auto& table : tables) db->execute(table.create);
      for (const auto& table : tables) {
        step(fmt::format("server: {}", table.name));
        copyRows(source, table, *db);
      }
      transaction.commit();
    }
    step("server: indexes");
    for (const auto& index : indexes) db->execute(index);
    db->execute("ANALYZE");
    db->close();
    step("server: in place");
    dropDatabase(*admin, target);
    admin->execute(fmt::format("ALTER DATABASE {} RENAME TO {}", building, target));
  } catch (...) {
    try {
      dropDatabase(*admin, building);
    } catch (...) {
    }
    throw;
  }
}

}  // namespace quill::erp

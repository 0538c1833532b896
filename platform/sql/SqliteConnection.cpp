#include "platform/sql/SqliteConnection.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"
#include "platform/sql/Statement.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::sql {

namespace {

bool blankSql(const char* text) {
  // What SQLite leaves after the last statement: blanks, semicolons, comments.
  auto tokens = std::string_view(text ? text : "");
  std::size_t i = 0;
  while (i < tokens.size()) {
    char c = tokens[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';') {
      ++i;
    } else if (tokens.substr(i, 2) == "--") {
      i = tokens.find('\n', i);
      if (i == std::string_view::npos) return true;
    } else if (tokens.substr(i, 2) == "/*") {
      i = tokens.find("*/", i);
      if (i == std::string_view::npos) return true;
      i += 2;
    } else {
      return false;
    }
  }
  return true;
}

// True for statements that change the schema, after which cached statements
// and table descriptions are out of date.
bool changesSchema(const Statement& statement) {
  std::string_view text = statement.sqlText();
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t' || text.front() == '\r'))
    text.remove_prefix(1);
  for (std::string_view word : {"CREATE", "ALTER", "DROP"})
    if (text.size() >= word.size() && equalsNoCase(text.substr(0, word.size()), word)) return true;
  return false;
}

}  // namespace

// ---- Prepared statements ----

class SqliteConnection::Prepared {
 public:
  // A statement of the cache, with the literal values it takes.
  Prepared(std::shared_ptr<CachedStatement> cached, std::vector<std::string> literals)
      : cached_(std::move(cached)), literals_(std::move(literals)) {}
  // A statement prepared for this one use, with any statements after it.
  Prepared(Statement owned, std::vector<std::string> literals, std::string remaining)
      : owned_(std::move(owned)), literals_(std::move(literals)), remaining_(std::move(remaining)) {}
  Prepared(Prepared&&) noexcept = default;
  Prepared& operator=(Prepared&&) = delete;
  ~Prepared() {
    // A cached statement is made ready for its next use; an owned one goes.
    if (cached_) {
      cached_->statement.reset();
      cached_->statement.clearBindings();
    }
  }

  Statement& statement() { return cached_ ? cached_->statement : owned_; }
  CachedStatement* cached() const { return cached_.get(); }
  const std::string& remaining() const { return remaining_; }

  // The statement's own literals first, then the caller's values.
  void bind(const std::vector<Variant>& parameters) {
    sqlite3_stmt* statement = this->statement().get();
    const int expected = sqlite3_bind_parameter_count(statement) - static_cast<int>(literals_.size());
    if (static_cast<int>(parameters.size()) != expected)
      throw sqlError(sqlerr::ErrorsInCommand,
                     fmt::format("Error in the command: it expects {} parameter values, {} were given", expected,
                                 parameters.size()));
    int index = 1;
    for (const auto& literal : literals_) {
      int rc = sqlite3_bind_text(statement, index++, literal.data(), static_cast<int>(literal.size()), SQLITE_STATIC);
      if (rc != SQLITE_OK) throw sqliteError(sqlite3_db_handle(statement), rc, "binding a literal");
    }
    for (const auto& parameter : parameters) bindValue(statement, index++, parameter);
  }

 private:
  std::shared_ptr<CachedStatement> cached_;  // null when the statement is owned here
  Statement owned_;
  std::vector<std::string> literals_;
  std::string remaining_;  // further statements of the text, already translated
};

// ---- Opening and closing ----

std::shared_ptr<Connection> SqliteConnection::open(const std::filesystem::path& file, OpenMode mode) {
  auto connection = std::make_shared<SqliteConnection>(
      Database(file, mode == OpenMode::Existing ? Database::Mode::ReadWrite : Database::Mode::Create));
  try {
    connection->database_.exec("PRAGMA journal_mode=WAL");
  } catch (const AutomationError& e) {
    throw sqlError(e.number(), e.description() + " (" + file.string() + ")");
  }
  return connection;
}

SqliteConnection::SqliteConnection(Database database) : database_(std::move(database)) {}

SqliteConnection::~SqliteConnection() { cache_.clear(); }

void SqliteConnection::close() {
  if (!isOpen()) return;
  schemaChanged();
  database_.close();
}

void SqliteConnection::schemaChanged() {
  cache_.clear();
  forgetTables();
}

void SqliteConnection::setBusyTimeout(std::chrono::milliseconds timeout) {
  requireOpen();
  database_.setBusyTimeout(timeout);
}

// ---- Running statements ----

SqliteConnection::Prepared SqliteConnection::prepare(std::string_view sql) {
  requireOpen();
  if (const CachedText* text = cache_.findText(sql)) {
    if (!text->statement->statement.busy()) return Prepared(text->statement, text->literals);
  }
  SqlShim::Parameterized form = shim_.parameterize(sql);
  std::shared_ptr<CachedStatement> shared = cache_.findStatement(form.sql);
  if (!shared || shared->statement.busy()) {
    std::string tail;
    Statement statement;
    try {
      statement = database_.prepare(form.sql, &tail, true);
    } catch (const AutomationError&) {
      if (form.literals.empty()) throw;
      // A literal stands where a parameter may not: keep the literals.
      form = SqlShim::Parameterized{shim_.translate(sql), {}};
      statement = database_.prepare(form.sql, &tail, true);
    }
    if (!statement) throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: the command text is empty");
    if (!blankSql(tail.c_str())) return Prepared(std::move(statement), {}, std::move(tail));
    if (shared) return Prepared(std::move(statement), std::move(form.literals), {});  // the cached one is in use
    shared = std::make_shared<CachedStatement>();
    shared->statement = std::move(statement);
    cache_.addStatement(form.sql, shared);
  }
  const CachedText* text = cache_.addText(std::string(sql), CachedText{shared, std::move(form.literals)});
  return Prepared(text->statement, text->literals);
}

int SqliteConnection::execute(std::string_view sql, const std::vector<Variant>& parameters) {
  bool schemaEdited = false;
  int changed = 0;
  {
    Prepared first = prepare(sql);
    first.bind(parameters);
    std::string remaining = first.remaining();
    Statement next;  // each statement after the first, prepared in its turn
    Statement* statement = &first.statement();
    while (true) {
      while (statement->step()) {
      }
      changed = static_cast<int>(database_.changes());
      schemaEdited = schemaEdited || changesSchema(*statement);
      if (blankSql(remaining.c_str())) break;
      std::string tail;
      next = database_.prepare(remaining, &tail);
      if (!next) break;
      remaining = std::move(tail);
      statement = &next;
    }
  }
  if (schemaEdited) schemaChanged();
  return changed;
}

std::shared_ptr<Recordset> SqliteConnection::query(std::string_view sql, const std::vector<Variant>& parameters) {
  std::vector<Field> fields;
  std::vector<std::vector<Variant>> rows;
  bool changed = false;
  {
    Prepared prepared = prepare(sql);
    if (!blankSql(prepared.remaining().c_str()))
      throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: a query must be one statement");
    prepared.bind(parameters);
    Statement& statement = prepared.statement();
    if (CachedStatement* cached = prepared.cached()) {
      if (!cached->described || cached->fields.size() != static_cast<std::size_t>(statement.columnCount())) {
        cached->fields = describe(statement);
        cached->described = true;
      }
      fields = cached->fields;
    } else {
      fields = describe(statement);
    }
    const int columns = static_cast<int>(fields.size());
    while (statement.step()) {
      std::vector<Variant> row;
      row.reserve(fields.size());
      for (int i = 0; i < columns; ++i)
        row.push_back(readColumn(statement.get(), i, fields[static_cast<std::size_t>(i)].type));
      rows.push_back(std::move(row));
    }
    changed = changesSchema(statement);
  }
  if (changed) schemaChanged();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type == DataType::Variant) fields[i].type = settleExpressionType(rows, i);
  auto recordset = Recordset::create(std::move(fields));
  for (auto& row : rows) recordset->appendRow(std::move(row));
  return recordset;
}

std::vector<Field> SqliteConnection::describe(const Statement& prepared) {
  sqlite3_stmt* statement = prepared.get();
  const int count = sqlite3_column_count(statement);
  std::vector<Field> fields;
  fields.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    Field field;
    const char* name = sqlite3_column_name(statement, i);
    const char* declared = sqlite3_column_decltype(statement, i);
    const char* table = sqlite3_column_table_name(statement, i);
    const char* origin = sqlite3_column_origin_name(statement, i);
    field.name = name ? name : "";
    field.type = typeFromDeclaration(declared ? declared : "");
    if (table && origin) setBaseColumn(field, table, origin);
    fields.push_back(std::move(field));
  }
  return fields;
}

std::int64_t SqliteConnection::lastInsertId() {
  requireOpen();
  return database_.lastInsertId();
}

Connection::TableInfo SqliteConnection::loadTableInfo(const std::string& key) {
  TableInfo info;
  std::vector<std::pair<int, std::string>> keyOrder;
  {
    Statement columns = database_.prepare("SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid");
    columns.bind(1, key);
    while (columns.step()) {
      Column column;
      column.name = columns.text(0);
      column.declaredType = columns.text(1);
      column.type = typeFromDeclaration(column.declaredType);
      const auto pk = static_cast<int>(columns.integer(2));
      column.key = pk > 0;
      if (pk > 0) keyOrder.emplace_back(pk, column.name);
      info.columns.push_back(std::move(column));
    }
  }
  std::sort(keyOrder.begin(), keyOrder.end());
  for (auto& [order, name] : keyOrder) info.keyColumns.push_back(name);
  if (info.keyColumns.size() == 1) {
    for (auto& c : info.columns)
      if (c.name == info.keyColumns[0]) c.identity = equalsNoCase(c.declaredType, "INTEGER");
  }
  if (!info.columns.empty()) {
    // The schema's own spelling of the table name.
    Statement lookup =
        database_.prepare("SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE");
    lookup.bind(1, key);
    if (lookup.step()) info.name = lookup.text(0);
  }
  return info;
}

}  // namespace quill::sql

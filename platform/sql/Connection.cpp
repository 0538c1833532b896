#include "platform/sql/Connection.h"

#include <fmt/format.h>
#include <sqlite3.h>

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlValue.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::sql {

namespace {

AutomationError closedError() {
  return sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

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
bool changesSchema(sqlite3_stmt* statement) {
  std::string_view text = sqlite3_sql(statement);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\n' || text.front() == '\t' || text.front() == '\r'))
    text.remove_prefix(1);
  for (std::string_view word : {"CREATE", "ALTER", "DROP"})
    if (text.size() >= word.size() && equalsNoCase(text.substr(0, word.size()), word)) return true;
  return false;
}

// An expression column is typed from its values: whole numbers are Integer,
// any fraction makes the column Double, text is text, and text that is all
// stored date-times ('yyyy-mm-dd hh:mm:ss') is a date.
DataType settleType(std::vector<std::vector<Variant>>& rows, std::size_t column) {
  bool whole = false, fraction = false, text = false, dates = true, other = false;
  for (const auto& row : rows) {
    const Variant& v = row[column];
    switch (v.type()) {
      case VarType::Null:
        break;
      case VarType::Long:
        whole = true;
        break;
      case VarType::Double:
        fraction = true;
        break;
      case VarType::String:
        text = true;
        if (v.stringValue().size() != 19 || !vb::parseIsoText(v.stringValue())) dates = false;
        break;
      default:
        other = true;
    }
  }
  if (other || (text && (whole || fraction))) return DataType::Variant;
  if (text) {
    if (!dates) return DataType::VarWChar;
    for (auto& row : rows)
      if (row[column].isString()) row[column] = Variant(*vb::parseIsoText(row[column].stringValue()));
    return DataType::DateTime;
  }
  if (fraction) {
    for (auto& row : rows)
      if (row[column].type() == VarType::Long) row[column] = Variant(static_cast<double>(row[column].longValue()));
    return DataType::Double;
  }
  if (whole) return DataType::Integer;
  return DataType::Variant;
}

}  // namespace

// ---- Prepared statements ----

class Connection::Prepared {
 public:
  // A statement of the cache, with the literal values it takes.
  Prepared(std::shared_ptr<CachedStatement> cached, std::vector<std::string> literals)
      : statement_(cached->statement), cached_(std::move(cached)), literals_(std::move(literals)) {}
  // A statement prepared for this one use, with any statements after it.
  Prepared(sqlite3_stmt* owned, std::vector<std::string> literals, std::string remaining)
      : statement_(owned), literals_(std::move(literals)), remaining_(std::move(remaining)) {}
  Prepared(Prepared&& other) noexcept
      : statement_(std::exchange(other.statement_, nullptr)),
        cached_(std::move(other.cached_)),
        literals_(std::move(other.literals_)),
        remaining_(std::move(other.remaining_)) {}
  Prepared& operator=(Prepared&&) = delete;
  ~Prepared() {
    if (!statement_) return;
    if (cached_) {
      sqlite3_reset(statement_);
      sqlite3_clear_bindings(statement_);
    } else {
      sqlite3_finalize(statement_);
    }
  }

  sqlite3_stmt* get() const { return statement_; }
  CachedStatement* cached() const { return cached_.get(); }
  const std::string& remaining() const { return remaining_; }

  // The statement's own literals first, then the caller's values.
  void bind(const std::vector<Variant>& parameters) const {
    const int expected = sqlite3_bind_parameter_count(statement_) - static_cast<int>(literals_.size());
    if (static_cast<int>(parameters.size()) != expected)
      throw sqlError(sqlerr::ErrorsInCommand,
                     fmt::format("Error in the command: it expects {} parameter values, {} were given", expected,
                                 parameters.size()));
    int index = 1;
    for (const auto& literal : literals_) {
      int rc = sqlite3_bind_text(statement_, index++, literal.data(), static_cast<int>(literal.size()), SQLITE_STATIC);
      if (rc != SQLITE_OK) throw sqliteError(sqlite3_db_handle(statement_), rc, "binding a literal");
    }
    for (const auto& parameter : parameters) bindValue(statement_, index++, parameter);
  }

 private:
  sqlite3_stmt* statement_;
  std::shared_ptr<CachedStatement> cached_;  // null when this statement is owned here
  std::vector<std::string> literals_;
  std::string remaining_;  // further statements of the text, already translated
};

// ---- Opening and closing ----

std::shared_ptr<Connection> Connection::open(const std::filesystem::path& file, OpenMode mode) {
  std::error_code ec;
  if (mode == OpenMode::Existing && !std::filesystem::is_regular_file(file, ec))
    throw sqlError(sqlerr::Failed, fmt::format("The database file {} does not exist", file.string()));
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | (mode == OpenMode::Create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    AutomationError error = sqliteError(db, rc, file.string());
    sqlite3_close(db);
    throw error;
  }
  auto connection = std::make_shared<Connection>(db, file);
  sqlite3_extended_result_codes(db, 1);
  // "name" is always a name: a misspelt column must fail, never turn into text.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  connection->setBusyTimeout(kDefaultBusyTimeout);
  try {
    // Reading the schema is what finds a file that is not a database.
    connection->run("SELECT count(*) FROM sqlite_master");
    connection->run("PRAGMA journal_mode=WAL");
  } catch (const AutomationError& e) {
    throw sqlError(e.number(), e.description() + " (" + file.string() + ")");
  }
  return connection;
}

Connection::Connection(sqlite3* db, std::filesystem::path file) : db_(db), file_(std::move(file)) {}

Connection::~Connection() {
  if (db_) {
    cache_.clear();
    sqlite3_close_v2(db_);
  }
}

void Connection::close() {
  if (!db_) return;
  if (transactionDepth_ > 0 && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  transactionDepth_ = 0;
  cache_.clear();
  tables_.clear();
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Connection::requireOpen() const {
  if (!db_) throw closedError();
}

void Connection::setBusyTimeout(std::chrono::milliseconds timeout) {
  requireOpen();
  sqlite3_busy_timeout(db_, static_cast<int>(timeout.count()));
}

void Connection::run(const std::string& sql) {
  requireOpen();
  char* message = nullptr;
  int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  sqlite3_free(message);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc);
}

// ---- Running statements ----

Connection::Prepared Connection::prepare(std::string_view sql) {
  requireOpen();
  if (const CachedText* text = cache_.findText(sql)) {
    if (!sqlite3_stmt_busy(text->statement->statement)) return Prepared(text->statement, text->literals);
  }
  SqlShim::Parameterized form = shim_.parameterize(sql);
  auto prepareOwned = [&](sqlite3_stmt*& statement, const char*& tail) {
    return sqlite3_prepare_v3(db_, form.sql.c_str(), static_cast<int>(form.sql.size()) + 1, SQLITE_PREPARE_PERSISTENT,
                              &statement, &tail);
  };
  std::shared_ptr<CachedStatement> shared = cache_.findStatement(form.sql);
  if (!shared || sqlite3_stmt_busy(shared->statement)) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    int rc = prepareOwned(statement, tail);
    if (rc != SQLITE_OK && !form.literals.empty()) {
      // A literal stands where a parameter may not: keep the literals.
      form = SqlShim::Parameterized{shim_.translate(sql), {}};
      rc = prepareOwned(statement, tail);
    }
    if (rc != SQLITE_OK) throw sqliteError(db_, rc);
    if (!statement) throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: the command text is empty");
    if (!blankSql(tail)) return Prepared(statement, {}, std::string(tail));
    if (shared) return Prepared(statement, std::move(form.literals), {});  // the cached one is in use
    shared = std::make_shared<CachedStatement>();
    shared->statement = statement;
    cache_.addStatement(form.sql, shared);
  }
  const CachedText* text = cache_.addText(std::string(sql), CachedText{shared, std::move(form.literals)});
  return Prepared(text->statement, text->literals);
}

int Connection::execute(std::string_view sql, const std::vector<Variant>& parameters) {
  bool schemaChanged = false;
  int changed = 0;
  {
    Prepared first = prepare(sql);
    first.bind(parameters);
    std::string remaining = first.remaining();
    sqlite3_stmt* statement = first.get();
    sqlite3_stmt* owned = nullptr;
    while (statement) {
      int rc;
      while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) {
        AutomationError error = sqliteError(db_, rc);
        sqlite3_finalize(owned);
        throw error;
      }
      changed = sqlite3_changes(db_);
      schemaChanged = schemaChanged || changesSchema(statement);
      sqlite3_finalize(owned);
      owned = statement = nullptr;
      if (blankSql(remaining.c_str())) break;
      const char* tail = nullptr;
      rc = sqlite3_prepare_v2(db_, remaining.c_str(), static_cast<int>(remaining.size()) + 1, &owned, &tail);
      if (rc != SQLITE_OK) throw sqliteError(db_, rc);
      remaining = tail ? tail : "";
      statement = owned;
    }
  }
  if (schemaChanged) {
    cache_.clear();
    tables_.clear();
  }
  return changed;
}

std::shared_ptr<Recordset> Connection::query(std::string_view sql, const std::vector<Variant>& parameters) {
  std::vector<Field> fields;
  std::vector<std::vector<Variant>> rows;
  bool schemaChanged = false;
  {
    Prepared prepared = prepare(sql);
    if (!blankSql(prepared.remaining().c_str()))
      throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: a query must be one statement");
    prepared.bind(parameters);
    sqlite3_stmt* statement = prepared.get();
    if (CachedStatement* cached = prepared.cached()) {
      if (!cached->described || cached->fields.size() != static_cast<std::size_t>(sqlite3_column_count(statement))) {
        cached->fields = describe(statement);
        cached->described = true;
      }
      fields = cached->fields;
    } else {
      fields = describe(statement);
    }
    const int columns = static_cast<int>(fields.size());
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      std::vector<Variant> row;
      row.reserve(fields.size());
      for (int i = 0; i < columns; ++i)
        row.push_back(readColumn(statement, i, fields[static_cast<std::size_t>(i)].type));
      rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw sqliteError(db_, rc);
    schemaChanged = changesSchema(statement);
  }
  if (schemaChanged) {
    cache_.clear();
    tables_.clear();
  }
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type == DataType::Variant) fields[i].type = settleType(rows, i);
  auto recordset = Recordset::create(std::move(fields));
  for (auto& row : rows) recordset->appendRow(std::move(row));
  return recordset;
}

std::vector<Field> Connection::describe(sqlite3_stmt* statement) {
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
    if (table && origin) {
      const TableInfo& info = tableInfo(table);
      field.baseTable = info.name.empty() ? table : info.name;
      field.baseColumn = origin;
      if (const Column* column = info.column(origin)) {
        field.baseColumn = column->name;
        field.key = column->key;
        field.identity = column->identity;
      }
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

std::int64_t Connection::lastInsertId() const {
  requireOpen();
  return sqlite3_last_insert_rowid(db_);
}

std::shared_ptr<Recordset> Connection::callProcedure(std::string_view name, const ProcedureArguments& arguments) {
  requireOpen();
  return procedures_.find(name)(arguments, *this);
}

// ---- Tables ----

const Connection::Column* Connection::TableInfo::column(std::string_view name) const {
  for (const auto& c : columns)
    if (equalsNoCase(c.name, name)) return &c;
  return nullptr;
}

const Connection::TableInfo& Connection::tableInfo(std::string_view table) {
  requireOpen();
  const std::string key = foldCase(table);
  if (auto it = tables_.find(key); it != tables_.end()) return it->second;
  TableInfo info;
  sqlite3_stmt* statement = nullptr;
  std::string sql = "SELECT name, type, pk FROM pragma_table_info(?) ORDER BY cid";
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
  if (rc != SQLITE_OK) throw sqliteError(db_, rc);
  sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  std::vector<std::pair<int, std::string>> keyOrder;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    Column column;
    column.name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
    column.declaredType = declared ? declared : "";
    column.type = typeFromDeclaration(column.declaredType);
    const int pk = sqlite3_column_int(statement, 2);
    column.key = pk > 0;
    if (pk > 0) keyOrder.emplace_back(pk, column.name);
    info.columns.push_back(std::move(column));
  }
  sqlite3_finalize(statement);
  if (rc != SQLITE_DONE) throw sqliteError(db_, rc);
  std::sort(keyOrder.begin(), keyOrder.end());
  for (auto& [order, name] : keyOrder) info.keyColumns.push_back(name);
  if (info.keyColumns.size() == 1) {
    Column* column = nullptr;
    for (auto& c : info.columns)
      if (c.name == info.keyColumns[0]) column = &c;
    column->identity = equalsNoCase(column->declaredType, "INTEGER");
  }
  if (!info.columns.empty()) {
    // The schema's own spelling of the table name.
    sqlite3_stmt* lookup = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "SELECT name FROM sqlite_master WHERE type IN ('table','view') AND name = ? COLLATE NOCASE",
                           -1, &lookup, nullptr) == SQLITE_OK) {
      sqlite3_bind_text(lookup, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
      if (sqlite3_step(lookup) == SQLITE_ROW) info.name = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
      sqlite3_finalize(lookup);
    }
  }
  return tables_.emplace(key, std::move(info)).first->second;
}

// ---- Transactions ----

void Connection::beginTransaction() {
  run(transactionDepth_ == 0 ? std::string("BEGIN IMMEDIATE") : fmt::format("SAVEPOINT quill_{}", transactionDepth_));
  ++transactionDepth_;
}

void Connection::commitTransaction() {
  run(transactionDepth_ == 1 ? std::string("COMMIT") : fmt::format("RELEASE quill_{}", transactionDepth_ - 1));
  --transactionDepth_;
}

void Connection::rollbackTransaction() noexcept {
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

// ---- Late-bound object ----

const MemberTable<Connection>& Connection::members() {
  static const auto table =
      MemberTable<Connection>()
          .method(
              "Execute",
              [](Connection& c, MemberTable<Connection>::Args a) {
                return Variant(DispatchPtr(c.query(vb::CStr(a[0]))));
              },
              Arity{1, 3})
          .sub(
              "Close", [](Connection& c, auto) { c.close(); }, Arity::exactly(0))
          .property("State", [](Connection& c, auto) { return Variant(std::int32_t{c.isOpen() ? 1 : 0}); });
  return table;
}

}  // namespace quill::sql

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
#include "platform/sql/Statement.h"
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
bool changesSchema(const Statement& statement) {
  std::string_view text = statement.sqlText();
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

std::shared_ptr<Connection> Connection::open(const std::filesystem::path& file, OpenMode mode) {
  auto connection = std::make_shared<Connection>(
      Database(file, mode == OpenMode::Existing ? Database::Mode::ReadWrite : Database::Mode::Create));
  try {
    connection->database_.exec("PRAGMA journal_mode=WAL");
  } catch (const AutomationError& e) {
    throw sqlError(e.number(), e.description() + " (" + file.string() + ")");
  }
  return connection;
}

Connection::Connection(Database database) : database_(std::move(database)) {}

Connection::~Connection() { cache_.clear(); }

void Connection::close() {
  if (!isOpen()) return;
  cache_.clear();
  tables_.clear();
  database_.close();
}

void Connection::requireOpen() const {
  if (!isOpen()) throw closedError();
}

void Connection::setBusyTimeout(std::chrono::milliseconds timeout) {
  requireOpen();
  database_.setBusyTimeout(timeout);
}

// ---- Running statements ----

Connection::Prepared Connection::prepare(std::string_view sql) {
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

int Connection::execute(std::string_view sql, const std::vector<Variant>& parameters) {
  bool schemaChanged = false;
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
      schemaChanged = schemaChanged || changesSchema(*statement);
      if (blankSql(remaining.c_str())) break;
      std::string tail;
      next = database_.prepare(remaining, &tail);
      if (!next) break;
      remaining = std::move(tail);
      statement = &next;
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

std::vector<Field> Connection::describe(const Statement& prepared) {
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
  return database_.lastInsertId();
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
  return tables_.emplace(key, std::move(info)).first->second;
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

#include "platform/sql/OdbcConnection.h"

#include <fmt/format.h>
#include <sql.h>
#include <sqlext.h>

#include <utility>

#include "platform/automation/Dispatch.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/SqlLexer.h"
#include "platform/sql/SqlValue.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"

namespace quill::sql {

namespace {

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// One ODBC handle, freed with its owner.
class Handle {
 public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    if (!succeeded(SQLAllocHandle(type, parent, &handle_))) {
      handle_ = SQL_NULL_HANDLE;
      throw sqlError(sqlerr::Failed, "The ODBC driver manager could not allocate a handle");
    }
  }
  ~Handle() { reset(); }
  Handle(Handle&& other) noexcept : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      reset();
      type_ = other.type_;
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  void reset() noexcept {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
    handle_ = SQL_NULL_HANDLE;
  }
  SQLHANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

 private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// The diagnostics of a failed call: the first SQLSTATE and every message.
struct Diagnostics {
  std::string state;
  std::string message;
};

Diagnostics diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostics out;
  SQLCHAR state[6] = {};
  SQLCHAR text[1024];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  for (SQLSMALLINT i = 1;
       SQLGetDiagRec(type, handle, i, state, &native, text, sizeof text, &length) == SQL_SUCCESS && i < 8; ++i) {
    if (out.state.empty()) out.state = reinterpret_cast<const char*>(state);
    std::string message(reinterpret_cast<const char*>(text), std::min<std::size_t>(length, sizeof text - 1));
    // The server's own text, without the driver's "ERROR: " lead-in and trailing ";\n..." detail.
    if (message.rfind("ERROR: ", 0) == 0) message.erase(0, 7);
    if (auto cut = message.find(";\n"); cut != std::string::npos) message.erase(cut);
    while (!message.empty() && (message.back() == '\n' || message.back() == ';')) message.pop_back();
    if (!message.empty()) out.message += (out.message.empty() ? "" : "; ") + message;
  }
  return out;
}

bool connectionLost(const std::string& state) {
  return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03" || state == "HYT01";
}

// The system's error number for a server's SQLSTATE, and the lead-in of its
// description.
std::pair<std::int32_t, std::string> classify(const std::string& state) {
  if (state == "42P01" || state == "42S02") return {sqlerr::NoTable, "Invalid object name"};
  if (state == "40P01")
    return {sqlerr::Failed,
            "The change was stopped because it was waiting for another user's change that was waiting for it "
            "(a deadlock); nothing was written, try again"};
  if (state == "40001")
    return {sqlerr::Failed,
            "The change conflicted with another user's change made at the same time; nothing was written, try "
            "again"};
  if (state == "55P03")
    return {sqlerr::Failed, "The data is in use by another user and stayed locked; nothing was written, try again"};
  if (connectionLost(state)) return {sqlerr::Failed, "The connection to the database server was lost"};
  if (state.rfind("23", 0) == 0) return {sqlerr::IntegrityViolation, "The change breaks a rule of the database"};
  if (state.rfind("42", 0) == 0 || state == "07002" || state == "07001")
    return {sqlerr::ErrorsInCommand, "Error in the command"};
  if (state.rfind("22", 0) == 0) return {sqlerr::WrongValueType, "A value does not fit its column"};
  return {sqlerr::Failed, "The database server failed"};
}

// A value bound to a parameter: it must live until the statement has run.
struct BoundValue {
  std::string text;
  SQLBIGINT integer = 0;
  double real = 0;
  SQLLEN indicator = 0;
};

DataType typeOfColumn(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_SMALLINT:
    case SQL_TINYINT:
      return DataType::SmallInt;
    case SQL_INTEGER:
      return DataType::Integer;
    case SQL_BIGINT:
      return DataType::BigInt;
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_REAL:
      return DataType::Double;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return DataType::Numeric;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TIMESTAMP:
    case SQL_DATE:
      return DataType::DateTime;
    case SQL_BIT:
      return DataType::Boolean;
    default:
      return DataType::VarWChar;
  }
}

bool isIntegerColumn(SQLSMALLINT t) {
  return t == SQL_SMALLINT || t == SQL_TINYINT || t == SQL_INTEGER || t == SQL_BIGINT;
}
bool isRealColumn(SQLSMALLINT t) {
  return t == SQL_DOUBLE || t == SQL_FLOAT || t == SQL_REAL || t == SQL_NUMERIC || t == SQL_DECIMAL;
}

std::string quotedName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// One statement of the text, not several: several run as one simple query
// and cannot be prepared.
bool oneStatement(const std::string& sql) {
  bool ended = false;
  for (const auto& token : tokenizeSql(sql)) {
    if (!token.significant()) continue;
    if (ended) return false;
    if (token.isSymbol(";")) ended = true;
  }
  return true;
}

}  // namespace

// A statement on the server: prepared once, run any number of times.
class OdbcStatement {
 public:
  Handle handle;
  bool prepared = false;
  bool returnsKey = false;  // an insert that answers its row's number
};

struct OdbcConnection::Handles {
  Handle environment;
  Handle connection;
};

// A statement that has run: its handle (closed when this goes) and, for a
// query, its columns.
struct OdbcConnection::Run {
  std::shared_ptr<BasicCachedStatement<std::shared_ptr<OdbcStatement>>> cached;  // null for a one-off
  std::shared_ptr<OdbcStatement> statement;
  std::vector<BoundValue> values;
  Run() = default;
  Run(Run&&) = default;
  Run& operator=(Run&&) = default;
  ~Run() {
    if (statement) {
      SQLFreeStmt(statement->handle.get(), SQL_CLOSE);
      SQLFreeStmt(statement->handle.get(), SQL_RESET_PARAMS);
    }
  }
  SQLHSTMT get() const { return statement->handle.get(); }
};

// ---- Opening and closing ----

std::shared_ptr<Connection> OdbcConnection::open(const ServerAddress& server) {
  auto connection = std::make_shared<OdbcConnection>(server);
  connection->connect();
  return connection;
}

OdbcConnection::OdbcConnection(ServerAddress server) : server_(std::move(server)) {}

OdbcConnection::~OdbcConnection() { disconnect(); }

const std::filesystem::path& OdbcConnection::file() const {
  static const std::filesystem::path none;
  return none;
}

void OdbcConnection::connect() {
  auto handles = std::make_unique<Handles>();
  handles->environment = Handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  SQLSetEnvAttr(handles->environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  handles->connection = Handle(SQL_HANDLE_DBC, handles->environment.get());
  SQLSetConnectAttr(handles->connection.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(10), 0);
  // Prepared on the server, so that a statement shape is parsed and planned once.
  std::string text = server_.odbcConnectionString() + "UseServerSidePrepare=1;";
  SQLCHAR out[1024];
  SQLSMALLINT outLength = 0;
  SQLRETURN rc =
      SQLDriverConnect(handles->connection.get(), nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())),
                       SQL_NTS, out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
  if (!succeeded(rc)) {
    Diagnostics d = diagnostics(SQL_HANDLE_DBC, handles->connection.get());
    std::string why;
    if (d.message.find("password authentication failed") != std::string::npos ||
        d.message.find("no password supplied") != std::string::npos || d.state == "28000" || d.state == "28P01")
      why = "the server refused the login of user \"" + server_.user + "\"";
    else if (d.message.find("does not exist") != std::string::npos && d.message.find("database") != std::string::npos)
      why = "the database \"" + server_.database + "\" does not exist on the server";
    else if (d.message.find("Connection refused") != std::string::npos ||
             d.message.find("could not translate host name") != std::string::npos ||
             d.message.find("timeout expired") != std::string::npos)
      why = "the server cannot be reached (it is down or the address is wrong)";
    else if (d.state == "IM002")
      why = "no ODBC driver or data source of that name is installed";
    else
      why = "the server answered";
    throw sqlError(sqlerr::Failed,
                   fmt::format("The database {} could not be opened: {} ({})", server_.describe(), why, d.message));
  }
  handles_ = std::move(handles);
  open_ = true;
  lost_ = false;
  transactionDepth_ = 0;
  pendingRelease_ = 0;
  insertedKey_.reset();
  // Code columns compare without regard to case, as on the original server.
  try {
    runRaw(
        fmt::format("CREATE COLLATION IF NOT EXISTS {} (provider = icu, locale = 'und-u-ks-level2', "
                    "deterministic = false)",
                    kPostgresCaseInsensitiveCollation));
  } catch (const AutomationError&) {
    // A login that may not create it uses the one the database already has.
  }
  setBusyTimeout(busyTimeout_);
}

void OdbcConnection::disconnect() noexcept {
  cache_.clear();
  forgetTables();
  if (handles_ && handles_->connection) {
    if (transactionDepth_ > 0) SQLEndTran(SQL_HANDLE_DBC, handles_->connection.get(), SQL_ROLLBACK);
    SQLDisconnect(handles_->connection.get());
  }
  handles_.reset();
  transactionDepth_ = 0;
  pendingRelease_ = 0;
  insertedKey_.reset();
}

void OdbcConnection::close() {
  if (!open_) return;
  disconnect();
  open_ = false;
}

void OdbcConnection::ready() {
  requireOpen();
  if (!lost_) return;
  if (transactionDepth_ > 0)
    throw sqlError(sqlerr::Failed,
                   "The connection to the database server was lost in the middle of a change; the change was "
                   "rolled back on the server");
  disconnect();
  try {
    connect();
  } catch (const AutomationError& e) {
    open_ = true;  // still ours to close; the next call tries again
    lost_ = true;
    throw sqlError(sqlerr::Failed,
                   "The connection to the database server was lost and cannot be made again: " + e.description());
  }
}

void OdbcConnection::setBusyTimeout(std::chrono::milliseconds timeout) {
  busyTimeout_ = timeout;
  if (!open_ || lost_) return;
  // 0 waits for ever on the server; a zero wait is 1 ms here.
  runRaw(fmt::format("SET lock_timeout = {}", std::max<long long>(1, timeout.count())));
}

void OdbcConnection::schemaChanged() {
  cache_.clear();
  forgetTables();
}

bool OdbcConnection::dead(const std::string& state) const {
  if (connectionLost(state)) return true;
  SQLUINTEGER isDead = SQL_CD_FALSE;
  if (!handles_) return true;
  SQLRETURN rc = SQLGetConnectAttr(handles_->connection.get(), SQL_ATTR_CONNECTION_DEAD, &isDead, 0, nullptr);
  return succeeded(rc) && isDead == SQL_CD_TRUE;
}

[[noreturn]] void OdbcConnection::fail(short handleType, void* handle, std::string_view context) {
  Diagnostics d = diagnostics(handleType, handle);
  if (dead(d.state)) {
    lost_ = true;
    d.state = "08S01";
  }
  auto [number, lead] = classify(d.state);
  std::string description = lead;
  if (!d.message.empty()) description += ": " + d.message;
  if (!context.empty()) description += fmt::format(" ({})", context);
  throw sqlError(number, std::move(description));
}

// ---- Running statements ----

void OdbcConnection::runRaw(const std::string& sql) {
  Handle statement(SQL_HANDLE_STMT, handles_->connection.get());
  SQLRETURN rc = SQLExecDirect(statement.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
  if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, statement.get(), {});
}

OdbcConnection::Run OdbcConnection::run(std::string_view sql, const std::vector<Variant>& parameters, bool reads) {
  const bool nothingDoneYet = transactionDepth_ == 0 ? reads : transactionDepth_ == 1 && !sentInTransaction_;
  const int depth = transactionDepth_;
  try {
    Run done = runOnce(sql, parameters, reads);
    if (transactionDepth_ > 0) sentInTransaction_ = true;
    return done;
  } catch (const AutomationError&) {
    // A server that went away while this connection was idle (restarted
    // since, say) is found only by the next statement.
    if (!lost_ || !nothingDoneYet) throw;
  }
  transactionDepth_ = 0;  // nothing of it was done: a new connection starts it again
  ready();
  if (depth > 0) {
    setAutocommit(false);
    transactionDepth_ = depth;
  }
  Run done = runOnce(sql, parameters, reads);
  if (transactionDepth_ > 0) sentInTransaction_ = true;
  return done;
}

void OdbcConnection::setAutocommit(bool on) noexcept {
  if (!handles_) return;
  SQLSetConnectAttr(handles_->connection.get(), SQL_ATTR_AUTOCOMMIT,
                    reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
}

std::string OdbcConnection::keyToReturn(const std::string& serverSql) {
  std::vector<SqlToken> tokens;
  for (auto& token : tokenizeSql(serverSql))
    if (token.significant()) tokens.push_back(std::move(token));
  std::size_t at = 0;
  auto word = [&](std::string_view w) { return at < tokens.size() && tokens[at].isWord(w) ? (++at, true) : false; };
  auto symbol = [&](std::string_view s) { return at < tokens.size() && tokens[at].isSymbol(s) ? (++at, true) : false; };
  // Skips a parenthesised group, nested ones included.
  auto group = [&] {
    if (!symbol("(")) return false;
    for (int depth = 1; at < tokens.size() && depth > 0; ++at) {
      if (tokens[at].isSymbol("(")) ++depth;
      if (tokens[at].isSymbol(")")) --depth;
    }
    return true;
  };
  if (!word("INSERT") || !word("INTO")) return {};
  std::string table;
  do {
    if (at >= tokens.size() ||
        (tokens[at].kind != SqlToken::Kind::Word && tokens[at].kind != SqlToken::Kind::QuotedName))
      return {};
    table = tokens[at++].name();
  } while (symbol("."));
  if (word("DEFAULT")) {
    if (!word("VALUES")) return {};
  } else {
    if (at < tokens.size() && tokens[at].isSymbol("(") && !group()) return {};
    if (!word("VALUES") || !group()) return {};
  }
  symbol(";");
  // Anything more (a second row, RETURNING, ON CONFLICT) keeps the statement as it is.
  if (at != tokens.size()) return {};
  std::string key;
  for (const auto& column : tableInfo(table).columns) {
    if (!column.identity) continue;
    if (!key.empty()) return {};
    key = column.name;
  }
  return key;
}

OdbcConnection::Run OdbcConnection::runOnce(std::string_view sql, const std::vector<Variant>& parameters, bool reads) {
  ready();
  Run run;
  std::vector<std::string> literals;
  bool fresh = false;
  const auto* text = cache_.findText(sql);
  // A query never gets the number an insert of the same text answers.
  if (text && reads && text->statement->statement->returnsKey) text = nullptr;
  if (text) {
    run.cached = text->statement;
    literals = text->literals;
  } else {
    SqlShim::Parameterized form = shim_.parameterize(sql);
    if (!oneStatement(form.sql)) {
      if (!parameters.empty())
        throw sqlError(sqlerr::ErrorsInCommand, "Error in the command: parameters need a single statement");
      // A script: several statements at once, as they are.
      run.statement = std::make_shared<OdbcStatement>();
      run.statement->handle = Handle(SQL_HANDLE_STMT, handles_->connection.get());
      SQLRETURN rc = SQLExecDirect(run.get(), reinterpret_cast<SQLCHAR*>(form.sql.data()), SQL_NTS);
      if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, run.get(), {});
      return run;
    }
    // An insert of one row into a table the server numbers answers the
    // number, so that reading it back takes no round trip of its own.
    const std::string key = reads ? std::string() : keyToReturn(form.sql);
    std::string prepared = key.empty() ? form.sql : form.sql + " RETURNING " + quotedName(key);
    run.cached = cache_.findStatement(prepared);
    if (!run.cached) {
      run.cached = std::make_shared<Cache::CachedStatement>();
      run.cached->statement = std::make_shared<OdbcStatement>();
      run.cached->statement->handle = Handle(SQL_HANDLE_STMT, handles_->connection.get());
      run.cached->statement->returnsKey = !key.empty();
      SQLRETURN rc = SQLPrepare(run.cached->statement->handle.get(), reinterpret_cast<SQLCHAR*>(prepared.data()),
                                static_cast<SQLINTEGER>(prepared.size()));
      if (!succeeded(rc)) fail(SQL_HANDLE_STMT, run.cached->statement->handle.get(), {});
      cache_.addStatement(prepared, run.cached);
      fresh = true;
    }
    literals = form.literals;
    cache_.addText(std::string(sql), Cache::CachedText{run.cached, literals});
  }
  run.statement = run.cached->statement;
  SQLHSTMT statement = run.get();

  SQLSMALLINT expected = 0;
  SQLNumParams(statement, &expected);
  if (static_cast<std::size_t>(expected) != literals.size() + parameters.size())
    throw sqlError(sqlerr::ErrorsInCommand,
                   fmt::format("Error in the command: it expects {} parameter values, {} were given",
                               expected - static_cast<int>(literals.size()), parameters.size()));
  run.values.resize(literals.size() + parameters.size());
  SQLUSMALLINT index = 0;
  auto bindText = [&](BoundValue& value, std::string text) {
    value.text = std::move(text);
    value.indicator = static_cast<SQLLEN>(value.text.size());
    SQLRETURN rc = SQLBindParameter(statement, ++index, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                    std::max<SQLULEN>(1, value.text.size()), 0, value.text.data(),
                                    static_cast<SQLLEN>(value.text.size()), &value.indicator);
    if (!succeeded(rc)) fail(SQL_HANDLE_STMT, statement, "binding a parameter");
  };
  std::size_t slot = 0;
  for (const auto& literal : literals) bindText(run.values[slot++], literal);
  for (const auto& parameter : parameters) {
    BoundValue& value = run.values[slot++];
    SQLRETURN rc = SQL_SUCCESS;
    switch (parameter.type()) {
      case VarType::Empty:
      case VarType::Null:
        value.indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(statement, ++index, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                              &value.indicator);
        break;
      case VarType::Boolean:
      case VarType::Integer:
      case VarType::Long:
        value.integer = parameter.type() == VarType::Boolean   ? (parameter.boolValue() ? -1 : 0)
                        : parameter.type() == VarType::Integer ? parameter.integerValue()
                                                               : parameter.longValue();
        rc = SQLBindParameter(statement, ++index, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &value.integer, 0,
                              nullptr);
        break;
      case VarType::Double:
        value.real = parameter.doubleValue();
        rc = SQLBindParameter(statement, ++index, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &value.real, 0,
                              nullptr);
        break;
      case VarType::Date:
        bindText(value, vb::toIsoText(parameter.dateValue()));
        continue;
      case VarType::String:
        bindText(value, parameter.stringValue());
        continue;
      default:
        throw sqlError(sqlerr::WrongValueType, "Type mismatch: an object or array cannot be a parameter value");
    }
    if (!succeeded(rc)) fail(SQL_HANDLE_STMT, statement, "binding a parameter");
  }
  SQLRETURN rc = SQLExecute(statement);
  if (!succeeded(rc) && rc != SQL_NO_DATA) {
    Diagnostics d = diagnostics(SQL_HANDLE_STMT, statement);
    if (fresh && !literals.empty() && d.state.rfind("42", 0) == 0 && d.state != "42P01" && transactionDepth_ == 0) {
      // A literal stands where a parameter may not (a type the server cannot
      // infer): this text keeps its literals.
      Run plain;
      plain.statement = std::make_shared<OdbcStatement>();
      plain.statement->handle = Handle(SQL_HANDLE_STMT, handles_->connection.get());
      std::string text = shim_.translate(sql);
      rc = SQLExecDirect(plain.get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS);
      if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, plain.get(), {});
      return plain;
    }
    if (dead(d.state)) {
      lost_ = true;
      d.state = "08S01";
    }
    auto [number, lead] = classify(d.state);
    throw sqlError(number, d.message.empty() ? lead : lead + ": " + d.message);
  }
  return run;
}

int OdbcConnection::execute(std::string_view sql, const std::vector<Variant>& parameters) {
  int changed = 0;
  bool schema = false;
  insertedKey_.reset();
  {
    Run done = run(sql, parameters);
    if (done.statement->returnsKey) {
      SQLRETURN rc = SQLFetch(done.get());
      if (succeeded(rc)) {
        SQLBIGINT key = 0;
        SQLLEN indicator = 0;
        rc = SQLGetData(done.get(), 1, SQL_C_SBIGINT, &key, 0, &indicator);
        if (!succeeded(rc)) fail(SQL_HANDLE_STMT, done.get(), "reading the number of the new row");
        if (indicator != SQL_NULL_DATA) insertedKey_ = key;
        changed = 1;
      } else if (rc != SQL_NO_DATA) {
        fail(SQL_HANDLE_STMT, done.get(), "reading the number of the new row");
      }
    } else {
      SQLLEN rows = 0;
      if (succeeded(SQLRowCount(done.get(), &rows)) && rows > 0) changed = static_cast<int>(rows);
    }
    for (const auto& token : tokenizeSql(sql)) {
      if (!token.significant()) continue;
      schema = token.isWord("CREATE") || token.isWord("ALTER") || token.isWord("DROP");
      break;
    }
  }
  if (schema) schemaChanged();
  return changed;
}

std::shared_ptr<Recordset> OdbcConnection::query(std::string_view sql, const std::vector<Variant>& parameters) {
  return read(run(sql, parameters, true), true);
}

std::shared_ptr<Recordset> OdbcConnection::read(Run done, bool bases) {
  SQLHSTMT statement = done.get();
  SQLSMALLINT count = 0;
  SQLNumResultCols(statement, &count);
  std::vector<Field> fields;
  std::vector<SQLSMALLINT> sqlTypes;
  if (done.cached && done.cached->described && done.cached->fields.size() == static_cast<std::size_t>(count)) {
    fields = done.cached->fields;
  }
  for (SQLSMALLINT i = 1; i <= count; ++i) {
    SQLCHAR name[256];
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    SQLDescribeCol(statement, static_cast<SQLUSMALLINT>(i), name, sizeof name, &nameLength, &type, &size, &digits,
                   &nullable);
    sqlTypes.push_back(type);
    if (fields.size() == static_cast<std::size_t>(count)) continue;
    Field field;
    field.name = reinterpret_cast<const char*>(name);
    field.type = DataType::Variant;
    char table[256] = {}, column[256] = {};
    SQLSMALLINT length = 0;
    if (bases)
      SQLColAttribute(statement, static_cast<SQLUSMALLINT>(i), SQL_DESC_BASE_TABLE_NAME, table, sizeof table, &length,
                      nullptr);
    if (bases)
      SQLColAttribute(statement, static_cast<SQLUSMALLINT>(i), SQL_DESC_BASE_COLUMN_NAME, column, sizeof column,
                      &length, nullptr);
    if (bases && table[0] && column[0]) {
      if (const Column* c = setBaseColumn(field, table, column)) field.type = c->type;
    }
    fields.push_back(std::move(field));
  }
  if (done.cached && !done.cached->described) {
    done.cached->fields = fields;
    done.cached->described = true;
  }
  std::vector<std::vector<Variant>> rows;
  if (count > 0) {
    std::string buffer(4096, '\0');
    while (true) {
      SQLRETURN rc = SQLFetch(statement);
      if (rc == SQL_NO_DATA) break;
      if (!succeeded(rc)) fail(SQL_HANDLE_STMT, statement, "reading rows");
      std::vector<Variant> row;
      row.reserve(fields.size());
      for (SQLSMALLINT i = 1; i <= count; ++i) {
        const SQLSMALLINT type = sqlTypes[static_cast<std::size_t>(i - 1)];
        SQLLEN indicator = 0;
        Variant raw;
        if (isIntegerColumn(type)) {
          SQLBIGINT value = 0;
          rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(i), SQL_C_SBIGINT, &value, 0, &indicator);
          if (indicator != SQL_NULL_DATA) {
            raw = value >= INT32_MIN && value <= INT32_MAX ? Variant(static_cast<std::int32_t>(value))
                                                           : Variant(static_cast<double>(value));
          }
        } else if (isRealColumn(type)) {
          double value = 0;
          rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(i), SQL_C_DOUBLE, &value, 0, &indicator);
          if (indicator != SQL_NULL_DATA) raw = Variant(value);
        } else {
          std::string text;
          while (true) {
            rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(i), SQL_C_CHAR, buffer.data(),
                            static_cast<SQLLEN>(buffer.size()), &indicator);
            if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA) break;
            if (!succeeded(rc)) break;
            const std::size_t got = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(buffer.size())
                                        ? buffer.size() - 1
                                        : static_cast<std::size_t>(indicator);
            text.append(buffer.data(), got);
            if (rc == SQL_SUCCESS) break;
          }
          if (indicator != SQL_NULL_DATA) raw = Variant(std::move(text));
        }
        if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, statement, "reading a value");
        row.push_back(indicator == SQL_NULL_DATA ? Variant::null()
                                                 : typedValue(raw, fields[static_cast<std::size_t>(i - 1)].type));
      }
      rows.push_back(std::move(row));
    }
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].type != DataType::Variant) continue;
    const SQLSMALLINT type = sqlTypes[i];
    // An expression of the server's own type keeps it; text is settled
    // from its values, as on the embedded database.
    if (typeOfColumn(type) == DataType::DateTime) {
      fields[i].type = DataType::DateTime;
      for (auto& row : rows) row[i] = typedValue(row[i], DataType::DateTime);
    } else {
      fields[i].type = settleExpressionType(rows, i);
    }
  }
  auto recordset = Recordset::create(std::move(fields));
  for (auto& row : rows) recordset->appendRow(std::move(row));
  return recordset;
}

std::int64_t OdbcConnection::lastInsertId() {
  if (insertedKey_) return *insertedKey_;
  auto rs = query("SELECT lastval()");
  return rs->rows().empty() ? 0 : static_cast<std::int64_t>(vb::CDbl(rs->rows()[0].values[0]));
}

// ---- Tables ----

Connection::TableInfo OdbcConnection::loadTableInfo(const std::string& name) {
  TableInfo info;
  auto columns = read(
      run("SELECT a.attname, format_type(a.atttypid, a.atttypmod), a.attidentity IN ('a', 'd') OR "
          "COALESCE(pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%', false), "
          "COALESCE((SELECT k.n FROM unnest(i.indkey) WITH ORDINALITY AS k(attnum, n) WHERE k.attnum = a.attnum), 0), "
          "c.relname "
          "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
          "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
          "LEFT JOIN pg_index i ON i.indrelid = c.oid AND i.indisprimary "
          "WHERE c.relname = lower(?) AND c.relkind IN ('r', 'v', 'p') AND pg_table_is_visible(c.oid) "
          "ORDER BY a.attnum",
          {Variant(name)}),
      false);
  std::vector<std::pair<int, std::string>> keyOrder;
  for (const auto& row : columns->rows()) {
    Column column;
    column.name = row.values[0].stringValue();
    column.declaredType = row.values[1].stringValue();
    column.type = typeFromDeclaration(column.declaredType);
    const std::string identity = vb::CStr(row.values[2]);
    column.identity = identity == "1" || identity == "-1" || identity == "t";
    const int keyPosition = vb::CLng(row.values[3]);
    column.key = keyPosition > 0;
    if (column.key) keyOrder.emplace_back(keyPosition, column.name);
    info.name = row.values[4].stringValue();
    info.columns.push_back(std::move(column));
  }
  std::sort(keyOrder.begin(), keyOrder.end());
  for (auto& [order, key] : keyOrder) info.keyColumns.push_back(key);
  return info;
}

// ---- Transactions ----

void OdbcConnection::beginTransaction() {
  ready();
  if (transactionDepth_ == 0) {
    SQLRETURN rc = SQLSetConnectAttr(handles_->connection.get(), SQL_ATTR_AUTOCOMMIT,
                                     reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    if (!succeeded(rc)) fail(SQL_HANDLE_DBC, handles_->connection.get(), "beginning a transaction");
    sentInTransaction_ = false;
  } else if (pendingRelease_ == transactionDepth_) {
    // The committed savepoint of this depth goes as the new one comes: one round trip.
    pendingRelease_ = 0;
    runRaw(fmt::format("RELEASE SAVEPOINT quill_{0}; SAVEPOINT quill_{0}", transactionDepth_));
    sentInTransaction_ = true;
  } else {
    runRaw(fmt::format("SAVEPOINT quill_{}", transactionDepth_));
    sentInTransaction_ = true;
  }
  ++transactionDepth_;
}

void OdbcConnection::commitTransaction() {
  requireOpen();
  if (transactionDepth_ == 0) return;
  if (transactionDepth_ > 1) {
    // Kept until the next savepoint at this depth or the end of the
    // transaction around it, which release it without a round trip of its
    // own; releasing an outer savepoint releases this one with it.
    pendingRelease_ = transactionDepth_ - 1;
    --transactionDepth_;
    return;
  }
  pendingRelease_ = 0;
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, handles_->connection.get(), SQL_COMMIT);
  if (!succeeded(rc)) {
    try {
      fail(SQL_HANDLE_DBC, handles_->connection.get(), "committing; nothing was written");
    } catch (...) {
      rollbackTransaction();
      throw;
    }
  }
  transactionDepth_ = 0;
  setAutocommit(true);
}

void OdbcConnection::rollbackTransaction() noexcept {
  if (!handles_ || transactionDepth_ == 0) return;
  // Rolling back to an outer savepoint ends every one after it, a committed
  // one not yet released too.
  pendingRelease_ = 0;
  try {
    if (transactionDepth_ > 1 && !lost_) {
      runRaw(fmt::format("ROLLBACK TO SAVEPOINT quill_{0}; RELEASE SAVEPOINT quill_{0}", transactionDepth_ - 1));
      --transactionDepth_;
      return;
    }
  } catch (...) {
    // The outer transaction is lost with it; it rolls back below.
  }
  SQLEndTran(SQL_HANDLE_DBC, handles_->connection.get(), SQL_ROLLBACK);
  setAutocommit(true);
  transactionDepth_ = 0;
}

}  // namespace quill::sql

#include "bench/erp/BareOdbc.h"

#include <sql.h>
#include <sqlext.h>

#include <stdexcept>
#include <utility>

#include "platform/sql/SqlShim.h"

namespace quill::bench {

namespace {

bool succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

[[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
  SQLCHAR state[6] = {};
  SQLCHAR text[1024] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  std::string message = what;
  if (handle && SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length) == SQL_SUCCESS)
    message += ": " + std::string(reinterpret_cast<const char*>(state)) + " " +
               std::string(reinterpret_cast<const char*>(text));
  throw std::runtime_error(message);
}

SQLHSTMT newStatement(SQLHDBC connection) {
  SQLHSTMT statement = SQL_NULL_HSTMT;
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
    fail(SQL_HANDLE_DBC, connection, "no statement handle");
  return statement;
}

}  // namespace

struct BareOdbc::Handles {
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC connection = SQL_NULL_HDBC;
  ~Handles() {
    if (connection) {
      SQLDisconnect(connection);
      SQLFreeHandle(SQL_HANDLE_DBC, connection);
    }
    if (environment) SQLFreeHandle(SQL_HANDLE_ENV, environment);
  }
};

BareOdbc::BareOdbc(const sql::ServerAddress& server) : handles_(std::make_unique<Handles>()), buffer_(4096, '\0') {
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handles_->environment)))
    throw std::runtime_error("the ODBC driver manager gave no environment");
  SQLSetEnvAttr(handles_->environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, handles_->environment, &handles_->connection)))
    fail(SQL_HANDLE_ENV, handles_->environment, "no connection handle");
  std::string text = server.odbcConnectionString() + "UseServerSidePrepare=1;";
  SQLCHAR out[1024];
  SQLSMALLINT outLength = 0;
  if (!succeeded(SQLDriverConnect(handles_->connection, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, out,
                                  sizeof out, &outLength, SQL_DRIVER_NOPROMPT)))
    fail(SQL_HANDLE_DBC, handles_->connection, "cannot connect to " + server.describe());
}

BareOdbc::~BareOdbc() = default;

BareOdbc& BareOdbc::connectionTo(const sql::ServerAddress& server) {
  static std::map<std::string, std::unique_ptr<BareOdbc>> connections;
  auto& connection = connections[server.odbcConnectionString()];
  if (!connection) connection = std::make_unique<BareOdbc>(server);
  return *connection;
}

BareOdbc::Statement::Statement(Statement&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), literals_(std::move(other.literals_)) {}

BareOdbc::Statement& BareOdbc::Statement::operator=(Statement&& other) noexcept {
  std::swap(handle_, other.handle_);
  std::swap(literals_, other.literals_);
  return *this;
}

BareOdbc::Statement::~Statement() {
  if (handle_) SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

BareOdbc::Statement BareOdbc::prepare(const std::string& serverSql) {
  Statement statement;
  statement.handle_ = newStatement(handles_->connection);
  std::string text = serverSql;
  if (!succeeded(SQLPrepare(statement.handle_, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS)))
    fail(SQL_HANDLE_STMT, statement.handle_, "cannot prepare " + serverSql);
  SQLSMALLINT parameters = 0;
  SQLNumParams(statement.handle_, &parameters);
  return statement;
}

BareOdbc::ServerForm BareOdbc::serverForm(std::string_view tsql) {
  auto form = sql::SqlShim(sql::SqlDialect::Postgres).parameterize(tsql);
  ServerForm out{std::move(form.sql), {}};
  for (auto& literal : form.literals) out.literals.push_back(Value::ofText(std::move(literal)));
  return out;
}

BareOdbc::Statement BareOdbc::prepareSystem(std::string_view tsql) {
  ServerForm form = serverForm(tsql);
  Statement statement = prepare(form.sql);
  statement.literals_ = std::move(form.literals);
  return statement;
}

long BareOdbc::run(Statement& statement, const std::vector<Value>& values) {
  SQLHSTMT handle = statement.handle_;
  // Every bound value lives until the statement has run.
  std::vector<Value> bound;
  bound.reserve(statement.literals_.size() + values.size());
  bound.insert(bound.end(), statement.literals_.begin(), statement.literals_.end());
  bound.insert(bound.end(), values.begin(), values.end());
  std::vector<SQLLEN> indicators(bound.size());
  for (std::size_t i = 0; i < bound.size(); ++i) {
    Value& value = bound[i];
    const auto number = static_cast<SQLUSMALLINT>(i + 1);
    SQLRETURN rc = SQL_SUCCESS;
    switch (value.kind) {
      case Value::Kind::Text:
        indicators[i] = static_cast<SQLLEN>(value.text.size());
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                              std::max<SQLULEN>(1, value.text.size()), 0, value.text.data(), indicators[i],
                              &indicators[i]);
        break;
      case Value::Kind::Integer:
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &value.integer, 0,
                              nullptr);
        break;
      case Value::Kind::Real:
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &value.real, 0, nullptr);
        break;
      case Value::Kind::Null:
        indicators[i] = SQL_NULL_DATA;
        rc = SQLBindParameter(handle, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0,
                              &indicators[i]);
        break;
    }
    if (!succeeded(rc)) fail(SQL_HANDLE_STMT, handle, "cannot bind a parameter");
  }
  SQLRETURN rc = SQLExecute(handle);
  if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, handle, "the statement failed");
  long rows = fetchAll(handle, statement.kinds_);
  SQLFreeStmt(handle, SQL_CLOSE);
  SQLFreeStmt(handle, SQL_RESET_PARAMS);
  return rows;
}

long BareOdbc::fetchAll(void* statement, std::vector<short>& kinds) {
  SQLSMALLINT columns = 0;
  SQLNumResultCols(statement, &columns);
  if (columns == 0) {
    SQLLEN changed = 0;
    SQLRowCount(statement, &changed);
    return static_cast<long>(changed);
  }
  // Each column read as its own kind (numbers as numbers, the rest as
  // text), learnt on the first run.
  if (kinds.size() != static_cast<std::size_t>(columns)) {
    kinds.assign(static_cast<std::size_t>(columns), SQL_C_CHAR);
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      SQLLEN type = 0;
      SQLColAttribute(statement, static_cast<SQLUSMALLINT>(c), SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr, &type);
      auto& kind = kinds[static_cast<std::size_t>(c - 1)];
      switch (type) {
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
          kind = SQL_C_SBIGINT;
          break;
        case SQL_DOUBLE:
        case SQL_FLOAT:
        case SQL_REAL:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
          kind = SQL_C_DOUBLE;
          break;
        default:
          break;
      }
    }
  }
  long rows = 0;
  while (true) {
    SQLRETURN rc = SQLFetch(statement);
    if (rc == SQL_NO_DATA) break;
    if (!succeeded(rc)) fail(SQL_HANDLE_STMT, statement, "cannot fetch a row");
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      const SQLSMALLINT kind = kinds[static_cast<std::size_t>(c - 1)];
      SQLLEN indicator = 0;
      if (kind == SQL_C_CHAR) {
        // Long text comes in pieces.
        do {
          rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(c), SQL_C_CHAR, buffer_.data(),
                          static_cast<SQLLEN>(buffer_.size()), &indicator);
        } while (rc == SQL_SUCCESS_WITH_INFO && indicator != SQL_NULL_DATA);
      } else {
        SQLBIGINT integer = 0;
        double real = 0;
        rc = SQLGetData(statement, static_cast<SQLUSMALLINT>(c), kind,
                        kind == SQL_C_DOUBLE ? static_cast<SQLPOINTER>(&real) : static_cast<SQLPOINTER>(&integer), 0,
                        &indicator);
      }
      if (!succeeded(rc) && rc != SQL_NO_DATA) fail(SQL_HANDLE_STMT, statement, "cannot read a value");
    }
    ++rows;
  }
  return rows;
}

void BareOdbc::begin() {
  if (!succeeded(SQLSetConnectAttr(handles_->connection, SQL_ATTR_AUTOCOMMIT,
                                   reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
    fail(SQL_HANDLE_DBC, handles_->connection, "cannot begin a transaction");
}

void BareOdbc::commit() {
  if (!succeeded(SQLEndTran(SQL_HANDLE_DBC, handles_->connection, SQL_COMMIT)))
    fail(SQL_HANDLE_DBC, handles_->connection, "cannot commit");
  SQLSetConnectAttr(handles_->connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
}

}  // namespace quill::bench

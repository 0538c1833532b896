#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/automation/MemberTable.h"
#include "platform/sql/Transaction.h"

namespace quill {

namespace sql {
class Connection;
class Recordset;
}  // namespace sql

// The data-access component: the one route of all SQL to the company
// database. Statements are the system's T-SQL, passed exactly as written.
//
// The connection string is the one the extension builds ("Provider=...;
// Data Source=<server>;Initial Catalog=<database>;..."). A Data Source that
// is an existing folder selects the embedded database: the file
// "<Initial Catalog>.db" in that folder. The login and password are not
// checked by the embedded database (the file's permissions protect it).
//
// Typed for code inside the library; late-bound (DispatchObject) for the
// bridge and anything else that calls it by member name, with the argument
// shapes the system passes:
//   OpenConnection(s) -> Boolean           CloseConnection
//   Execute("", sql)                       OpenRecordset("", sql, rs, True, False)
//   SaveRecordset("", rs)                  OpenUpdatable(sql, rs, 3, -1)
//   GetConnection(conn)
// rs and conn are by-reference arguments filled in by the call.
class DataAccess : public DispatchObject<DataAccess> {
 public:
  DataAccess();
  ~DataAccess() override;

  // True when the database is open. Never throws: a malformed string, a
  // missing folder or file, a damaged database, or a database that is not a
  // company (the ERP's tables are missing: an empty file, another program's
  // database) answer false, with the reason in lastError(). An open
  // connection is closed first.
  bool OpenConnection(std::string_view connectionString);
  // Closes the connection; nothing happens when none is open.
  void CloseConnection();
  // Runs one statement that returns no rows; failures are raised.
  void Execute(std::string_view sql);
  // All rows of a query, disconnected, on the first row.
  std::shared_ptr<sql::Recordset> OpenRecordset(std::string_view sql);
  // Writes every added, changed and deleted row of a recordset to its base
  // table in one transaction: all or nothing. Afterwards its rows are
  // unchanged.
  void SaveRecordset(sql::Recordset& recordset);
  // A recordset each of whose rows is written by its own Update (and removed
  // by its own Delete).
  std::shared_ptr<sql::Recordset> OpenUpdatable(std::string_view sql);
  // Starts an all-or-nothing unit of work: what Execute, SaveRecordset and
  // the rows of updatable recordsets write until the guard's commit() is
  // kept together, and undone when the guard goes uncommitted (an error
  // left the block). Fails, having changed nothing, when another user holds
  // the database's write lock past the busy timeout.
  //   auto transaction = dataAccess.BeginTransaction();
  //   ... writes ...
  //   transaction.commit();
  sql::Transaction BeginTransaction();
  // The live connection, for commands and lookups; ObjectClosed when none
  // is open.
  std::shared_ptr<sql::Connection> GetConnection();

  bool isOpen() const;
  // Why the last OpenConnection answered false; empty after a success.
  const std::string& lastError() const { return lastError_; }
  // Runs on the connection after every successful OpenConnection: the
  // extension registers its database procedures there. A failure makes the
  // opening fail.
  void setConnectionSetup(std::function<void(sql::Connection&)> setup) { setup_ = std::move(setup); }

  static const MemberTable<DataAccess>& members();
  std::string className() const override { return "DataAccess"; }

 private:
  sql::Connection& connection();

  std::shared_ptr<sql::Connection> connection_;
  std::string lastError_;
  std::function<void(sql::Connection&)> setup_;
};

// The data-access object a form's DataAccess property is given (Set
// frm.DataAccess = oDataAccess): Type mismatch (13) for anything else.
std::shared_ptr<DataAccess> dataAccessOf(const Variant& value);

}  // namespace quill

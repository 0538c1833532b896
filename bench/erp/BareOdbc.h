#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sql/ServerAddress.h"

namespace quill::bench {

// A connection to a database server through the ODBC driver manager and
// nothing of ours: what a case's statements cost by themselves, the
// baseline the server backend is measured against. It logs in with the
// backend's own connection string (statements prepared on the server), so
// that both make the same round trips. Failures throw std::runtime_error
// with the driver's message.
class BareOdbc {
 public:
  explicit BareOdbc(const sql::ServerAddress& server);
  ~BareOdbc();
  BareOdbc(const BareOdbc&) = delete;
  BareOdbc& operator=(const BareOdbc&) = delete;

  // The program's one connection to a server database, opened on first use
  // and kept, as a session of the backend keeps its own: the repetitions of
  // a baseline neither log in again nor start on a server process that has
  // not warmed up.
  static BareOdbc& connectionTo(const sql::ServerAddress& server);

  // A value of a parameter, bound as the server backend binds its kind.
  struct Value {
    enum class Kind { Text, Integer, Real, Null } kind = Kind::Text;
    std::string text;
    long long integer = 0;
    double real = 0;
    static Value ofText(std::string text) { return {Kind::Text, std::move(text), 0, 0}; }
    static Value ofInteger(long long integer) { return {Kind::Integer, {}, integer, 0}; }
    static Value ofReal(double real) { return {Kind::Real, {}, 0, real}; }
    static Value null() { return {Kind::Null, {}, 0, 0}; }
  };

  // A statement of the system (T-SQL) as the server backend sends it:
  // translated by the server's dialect shim, its text literals taken out
  // as parameters. Made once, outside what is timed.
  struct ServerForm {
    std::string sql;
    std::vector<Value> literals;
  };
  static ServerForm serverForm(std::string_view tsql);

  // A statement prepared once on the server, run any number of times.
  class Statement {
   public:
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    ~Statement();

   private:
    friend class BareOdbc;
    Statement() = default;
    void* handle_ = nullptr;
    std::vector<Value> literals_;
    std::vector<short> kinds_;  // the C type each column is read as, learnt on the first run
  };

  // The server's text with "?" parameters, prepared as it is.
  Statement prepare(const std::string& serverSql);
  // A statement of the system in its server form, its literals bound on
  // every run before the values given to run().
  Statement prepareSystem(std::string_view tsql);

  // Runs a prepared statement with its literals and then `values` bound,
  // fetches every row and reads every column (numbers as numbers, the rest
  // as text); answers the rows read, or the rows changed by a statement
  // that returns none.
  long run(Statement& statement, const std::vector<Value>& values = {});

  // A transaction around the calls that follow, as the backend's.
  void begin();
  void commit();

 private:
  long fetchAll(void* statement, std::vector<short>& kinds);
  struct Handles;
  std::unique_ptr<Handles> handles_;
  std::string buffer_;
};

}  // namespace quill::bench

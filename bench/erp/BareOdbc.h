#pragma once

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

  // A statement prepared once on the server, run any number of times.
  class Statement {
   public:
    Statement(Statement&&) noexcept;
    Statement& operator=(Statement&&) noexcept;
    ~Statement();
    // The text literals that the backend binds as parameters.
    const std::vector<std::string>& literals() const { return literals_; }

   private:
    friend class BareOdbc;
    Statement() = default;
    void* handle_ = nullptr;
    std::vector<std::string> literals_;
  };

  // The server's text with "?" parameters, prepared as it is.
  Statement prepare(const std::string& serverSql);
  // A statement of the system (T-SQL) as the server backend sends it:
  // translated by the server's dialect shim, its text literals taken out as
  // parameters. The translation is made here, once, outside what is timed.
  Statement prepareSystem(std::string_view tsql);

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
  // Runs a prepared statement with its literals and then `values` bound,
  // fetches every row and reads every column of it as text; answers the
  // rows read, or the rows changed by a statement that returns none.
  long run(Statement& statement, const std::vector<Value>& values = {});
  // Runs server text once, unprepared, fetching its rows as run() does.
  long runDirect(const std::string& serverSql);

  // A transaction around the calls that follow, as the backend's.
  void begin();
  void commit();

 private:
  long fetchAll(void* statement);
  struct Handles;
  std::unique_ptr<Handles> handles_;
  std::string buffer_;
};

}  // namespace quill::bench

#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/automation/Variant.h"

namespace quill::sql {

class Connection;
class Recordset;

// The named input values of a procedure call ("@CLIINICIAL" = "C001"),
// matched without regard to case.
class ProcedureArguments {
 public:
  void set(std::string name, Variant value);
  bool has(std::string_view name) const;
  // The value of a parameter; a missing one fails with ErrorsInCommand,
  // naming the procedure's expectation, as the server reports it.
  const Variant& get(std::string_view name) const;
  const std::vector<std::pair<std::string, Variant>>& all() const { return values_; }

 private:
  std::vector<std::pair<std::string, Variant>> values_;
};

// The database-side procedures of a connection: each is C++ code that reads
// its arguments, queries through the connection and answers a recordset.
class ProcedureRegistry {
 public:
  using Procedure = std::function<std::shared_ptr<Recordset>(const ProcedureArguments&, Connection&)>;

  void add(std::string name, Procedure procedure);
  bool has(std::string_view name) const;
  // ErrorsInCommand when no procedure has that name.
  const Procedure& find(std::string_view name) const;

 private:
  std::unordered_map<std::string, Procedure> procedures_;  // by folded name
};

}  // namespace quill::sql

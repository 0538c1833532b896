#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Variant.h"
#include "platform/sql/DataType.h"

namespace quill::sql {

class Connection;
class Recordset;

// One input value of a command, as ADO's CreateParameter describes it: a
// name ("@CLIINICIAL"), a type (VarChar, Integer, Double, Date), a size (the
// longest text a VarChar takes) and the value.
struct Parameter {
  std::string name;
  DataType type = DataType::VarChar;
  std::int32_t size = 0;
  Variant value;
};

// A statement or a stored procedure run with typed input parameters against
// a connection, answering a recordset. A text command takes its parameters
// in order, at the "?" marks of its text; a procedure receives them by name.
//
//   Command command(connection, "qor_VTO_DescontosGrupoCliente", Command::Kind::StoredProcedure);
//   command.append(Command::createParameter("@CLIINICIAL", DataType::VarChar, 15, client));
//   auto rs = command.execute();
class Command {
 public:
  // ADO's CommandTypeEnum numbers.
  enum class Kind : std::int32_t { Text = 1, StoredProcedure = 4 };

  Command(std::shared_ptr<Connection> connection, std::string text, Kind kind = Kind::Text);

  // A parameter with its value converted to its type (VB's conversions): a
  // value that does not convert, or text longer than a VarChar's size, fails
  // with WrongValueType (3421) naming the parameter.
  static Parameter createParameter(std::string name, DataType type, std::int32_t size, Variant value);
  void append(Parameter parameter);
  const std::vector<Parameter>& parameters() const { return parameters_; }

  std::shared_ptr<Recordset> execute();

 private:
  std::shared_ptr<Connection> connection_;
  std::string text_;
  Kind kind_;
  std::vector<Parameter> parameters_;
};

}  // namespace quill::sql

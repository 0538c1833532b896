#include "platform/sql/Command.h"

#include <fmt/format.h>

#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"
#include "platform/vb/Conversions.h"

namespace quill::sql {

namespace {
std::size_t characters(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
}  // namespace

Command::Command(std::shared_ptr<Connection> connection, std::string text, Kind kind)
    : connection_(std::move(connection)), text_(std::move(text)), kind_(kind) {}

Parameter Command::createParameter(std::string name, DataType type, std::int32_t size, Variant value) {
  Parameter p{std::move(name), type, size, Variant::null()};
  if (value.isNull() || value.isEmpty()) return p;
  try {
    switch (valueKindOf(type)) {
      case VarType::String:
        p.value = Variant(vb::CStr(value));
        break;
      case VarType::Integer:
        p.value = Variant(vb::CInt(value));
        break;
      case VarType::Long:
        p.value = Variant(vb::CLng(value));
        break;
      case VarType::Double:
        p.value = Variant(vb::CDbl(value));
        break;
      case VarType::Date:
        p.value = Variant(vb::CDate(value));
        break;
      case VarType::Boolean:
        p.value = Variant(vb::CBool(value));
        break;
      default:
        p.value = value;
    }
  } catch (const AutomationError& e) {
    throw sqlError(sqlerr::WrongValueType, fmt::format("The value {} of parameter {} does not fit its type: {}",
                                                       value.debugString(), p.name, e.description()));
  }
  if (p.value.isString() && p.size > 0 && characters(p.value.stringValue()) > static_cast<std::size_t>(p.size))
    throw sqlError(sqlerr::WrongValueType,
                   fmt::format("The value of parameter {} is longer than its {} characters", p.name, p.size));
  return p;
}

void Command::append(Parameter parameter) { parameters_.push_back(std::move(parameter)); }

std::shared_ptr<Recordset> Command::execute() {
  if (!connection_ || !connection_->isOpen())
    throw sqlError(sqlerr::ObjectClosed, "Operation is not allowed when the object is closed.");
  if (kind_ == Kind::StoredProcedure) {
    ProcedureArguments arguments;
    for (const auto& p : parameters_) arguments.set(p.name, p.value);
    return connection_->callProcedure(text_, arguments);
  }
  std::vector<Variant> values;
  values.reserve(parameters_.size());
  for (const auto& p : parameters_) values.push_back(p.value);
  return connection_->query(text_, values);
}

}  // namespace quill::sql

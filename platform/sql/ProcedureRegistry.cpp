#include "platform/sql/ProcedureRegistry.h"

#include <fmt/format.h>

#include "platform/automation/Dispatch.h"
#include "platform/sql/SqlError.h"

namespace quill::sql {

void ProcedureArguments::set(std::string name, Variant value) {
  for (auto& [n, v] : values_) {
    if (equalsNoCase(n, name)) {
      v = std::move(value);
      return;
    }
  }
  values_.emplace_back(std::move(name), std::move(value));
}

bool ProcedureArguments::has(std::string_view name) const {
  for (const auto& [n, v] : values_)
    if (equalsNoCase(n, name)) return true;
  return false;
}

const Variant& ProcedureArguments::get(std::string_view name) const {
  for (const auto& [n, v] : values_)
    if (equalsNoCase(n, name)) return v;
  throw sqlError(sqlerr::ErrorsInCommand,
                 fmt::format("Error in the command: the procedure expects parameter {}, which was not supplied", name));
}

void ProcedureRegistry::add(std::string name, Procedure procedure) {
  procedures_[foldCase(name)] = std::move(procedure);
}

bool ProcedureRegistry::has(std::string_view name) const { return procedures_.count(foldCase(name)) > 0; }

const ProcedureRegistry::Procedure& ProcedureRegistry::find(std::string_view name) const {
  auto it = procedures_.find(foldCase(name));
  if (it == procedures_.end())
    throw sqlError(sqlerr::ErrorsInCommand,
                   fmt::format("Error in the command: could not find stored procedure '{}'", name));
  return it->second;
}

}  // namespace quill::sql

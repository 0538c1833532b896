#include "bridge/DataAccessCalls.h"

#include <vector>

#include "bridge/BridgeErrors.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill {

DataAccessCalls::DataAccessCalls(DispatchPtr dataAccess) : dataAccess_(std::move(dataAccess)) {}

const DispatchPtr& DataAccessCalls::dataAccess() const {
  if (!dataAccess_) throw vbError(vberr::ObjectNotSet, kBridgeErrorSource);
  return dataAccess_;
}

DispatchPtr DataAccessCalls::openRecordset(const std::string& sql) const {
  std::vector<Variant> args{Variant(""), Variant(sql), Variant(), Variant(true), Variant(false)};
  late::callRef(dataAccess(), "OpenRecordset", args);
  return requireObject(args[2]);
}

void DataAccessCalls::execute(const std::string& sql) const {
  late::call(dataAccess(), "Execute", {Variant(""), Variant(sql)});
}

bool DataAccessCalls::hasRows(const DispatchPtr& recordset) {
  if (auto typed = std::dynamic_pointer_cast<sql::Recordset>(recordset)) return !typed->eof();
  return !vb::CBool(late::get(recordset, "EOF"));
}

Variant DataAccessCalls::field(const DispatchPtr& recordset, std::string_view name) {
  if (auto typed = std::dynamic_pointer_cast<sql::Recordset>(recordset)) return typed->value(name);
  return late::get(recordset, "", {Variant(name)});
}

}  // namespace quill

#pragma once

#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"

namespace quill {

// The bridge's own queries, made through the data-access object it was
// handed (Execute("", sql) and OpenRecordset("", sql, rs, True, False)),
// which runs them in the extension's process. The recordset comes back as
// a copy, read here.
class DataAccessCalls {
 public:
  explicit DataAccessCalls(DispatchPtr dataAccess);

  DispatchPtr openRecordset(const std::string& sql) const;
  void execute(const std::string& sql) const;

  // True when the recordset has a current row (it is not at EOF).
  static bool hasRows(const DispatchPtr& recordset);
  // A field of the current row.
  static Variant field(const DispatchPtr& recordset, std::string_view name);

 private:
  const DispatchPtr& dataAccess() const;

  DispatchPtr dataAccess_;
};

}  // namespace quill

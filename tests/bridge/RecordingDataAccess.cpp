#include "tests/bridge/RecordingDataAccess.h"

#include "platform/vb/Conversions.h"

namespace quill::bridgetest {

Variant RecordingDataAccess::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  std::string call(member);
  if (equalsNoCase(member, "OpenRecordset") && args.size() > 1)
    call += ": " + vb::CStr(args[1]);
  else if (equalsNoCase(member, "Execute") && !args.empty())
    call += ": " + vb::CStr(args.back());
  calls_.push_back(call);
  if (hook_) hook_();
  Variant result = target_->invoke(member, kind, args);
  if (after_) after_(member, args);
  return result;
}

}  // namespace quill::bridgetest

// The ERP API library's entry point: its root object is created by program
// id through QuillCreateObject; every other API object comes from the
// root's factory.

#include "erp/api/ApiRoot.h"
#include "erp/api/ProgramIds.h"
#include "platform/automation/ProgramRegistry.h"

extern "C" __attribute__((visibility("default"))) bool QuillCreateObject(const char* progId, quill::DispatchPtr* out) {
  if (!progId || !out) return false;
  if (!quill::equalsNoCase(progId, quill::erpapi::progid::kApi)) return false;
  *out = std::make_shared<quill::erpapi::ApiRoot>();
  return true;
}

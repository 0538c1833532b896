// The spreadsheet library's entry point: the application object is created
// by program id through QuillCreateObject.

#include "platform/automation/ProgramRegistry.h"
#include "platform/spreadsheet/Application.h"

extern "C" __attribute__((visibility("default"))) bool QuillCreateObject(const char* progId, quill::DispatchPtr* out) {
  if (!progId || !out) return false;
  if (!quill::equalsNoCase(progId, quill::spreadsheet::Application::kProgId)) return false;
  *out = quill::spreadsheet::Application::create();
  return true;
}

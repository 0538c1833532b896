// The extension library's entry point: the host creates its classes by
// program id through QuillCreateObject.

#include <dlfcn.h>

#include <filesystem>

#include "extension/components/FrmProgesso.h"
#include "extension/core/DescComissoes.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/ProcessUi.h"

namespace {

// The folder of this library file: the extension keeps its configuration
// and report files beside itself.
std::filesystem::path libraryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) && info.dli_fname)
    return std::filesystem::absolute(info.dli_fname).parent_path();
  return quill::programFolder();
}

// The library's forms and windowed components, by name.
const quill::ClassFactory& components() {
  static const quill::ClassFactory classes = [] {
    quill::ClassFactory f;
    quill::registerReportForms(f, quill::ui::processUiServices());
    return f;
  }();
  return classes;
}

const quill::ClassFactory& factory() {
  static const quill::ClassFactory classes = [] {
    quill::ClassFactory f;
    f.add(quill::DescComissoes::kProgId, [] {
      quill::DescComissoes::Environment env;
      env.ui = &quill::ui::processUiServices();
      env.createObject = [](std::string_view progId) { return quill::createObject(progId); };
      env.libraryFolder = libraryFolder();
      env.createComponent = [](std::string_view name) { return components().create(name); };
      env.createWaitWindow = [] { return std::make_unique<quill::FrmProgesso>(quill::ui::processUiServices()); };
      return std::make_shared<quill::DescComissoes>(std::move(env));
    });
    return f;
  }();
  return classes;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool QuillCreateObject(const char* progId, quill::DispatchPtr* out) {
  if (!progId || !out) return false;
  *out = factory().create(progId);
  return *out != nullptr;
}

// The extension library's entry point: the host creates its classes by
// program id through QuillCreateObject.

#include "extension/commissions/CommissionForms.h"
#include "extension/components/FrmProgesso.h"
#include "extension/components/LibraryFolder.h"
#include "extension/core/DescComissoes.h"
#include "extension/discounts/DiscountsForms.h"
#include "extension/pricing/PricingForms.h"
#include "extension/reports/ReportForms.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/ProcessUi.h"

namespace {

// The library's forms and windowed components, by name. Forms make other
// components from this same factory, so it is filled where it lives.
const quill::ClassFactory& components() {
  static quill::ClassFactory classes;
  static const bool filled = [] {
    quill::registerReportForms(classes, quill::ui::processUiServices());
    quill::registerPricingForms(classes, quill::ui::processUiServices());
    quill::registerCommissionForms(classes, quill::ui::processUiServices());
    quill::registerDiscountsForms(classes, quill::ui::processUiServices());
    return true;
  }();
  (void)filled;
  return classes;
}

const quill::ClassFactory& factory() {
  static const quill::ClassFactory classes = [] {
    quill::ClassFactory f;
    f.add(quill::DescComissoes::kProgId, [] {
      quill::DescComissoes::Environment env;
      env.ui = &quill::ui::processUiServices();
      env.createObject = [](std::string_view progId) { return quill::createObject(progId); };
      env.libraryFolder = quill::libraryFolder();
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

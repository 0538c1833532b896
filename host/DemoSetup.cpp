#include "host/DemoSetup.h"

#include <cstdlib>

#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "platform/automation/ProgramRegistry.h"

namespace quill::host {

namespace fs = std::filesystem;

fs::path DemoSetup::defaultFolder() {
  if (const char* env = std::getenv("QUILL_DEMO_DIR"); env && *env) return fs::absolute(env);
  return programFolder().parent_path() / "demo";
}

void DemoSetup::fillDemoDefaults(CompanyChoice& choice) {
  if (choice.allowanceDocumentTypes.empty())
    choice.allowanceDocumentTypes = std::string(erp::demo::kAllowanceDocumentTypes);
  if (choice.allowanceArticle.empty()) choice.allowanceArticle = std::string(erp::demo::kAllowanceArticle);
}

CompanyChoice DemoSetup::ensure(const fs::path& folder) {
  erp::DemoCompany::ensure(folder, erp::DemoOptions{});
  CompanyChoice choice;
  choice.erpFolder = folder;
  choice.company = std::string(erp::demo::kCompanyCode);
  choice.user = std::string(erp::demo::kLogin);
  choice.password = std::string(erp::demo::kPassword);
  fillDemoDefaults(choice);
  choice.forceAllowanceSettings = true;
  return choice;
}

}  // namespace quill::host

#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "erp/CompanyEntry.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"
#include "tests/erp/api/DemoCompanyCopy.h"

namespace quill {
class DataAccess;
namespace ui {
class MemoryFormView;
class ScriptedUiServices;
}  // namespace ui
}  // namespace quill

namespace quill::testing {

// The demo company, made once in the temporary folder and shared by the
// test programs of the forms (read it, never change it: use DemoCopy).
const erp::CompanyEntry& demoCompany();

// The connection string the extension builds for a company.
std::string connectionStringFor(const erp::CompanyEntry& company);

// A data-access object opened on a company.
std::shared_ptr<DataAccess> openCompany(const erp::CompanyEntry& company);

// A copy of the demo company of a test's own, removed afterwards: a file,
// or on the server backend a database of its own on the test server.
class DemoCopy {
 public:
  explicit DemoCopy(sql::testing::Backend backend = sql::testing::Backend::Embedded);
  ~DemoCopy();
  DemoCopy(const DemoCopy&) = delete;
  DemoCopy& operator=(const DemoCopy&) = delete;

  // False on the server backend when no test server runs.
  bool available() const { return !onServer_ || onServer_->available(); }
  const erp::CompanyEntry& company() const { return company_; }
  std::shared_ptr<DataAccess> open() const { return openCompany(company_); }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<erpapi::test::DemoCompanyCopy> onServer_;
  erp::CompanyEntry company_;
};

// A form's controls in memory, for its logic's tests.
ui::ViewFactory memoryView(std::vector<ui::ControlDef> controls);
ui::MemoryFormView& memoryOf(ui::Form& form);

// Plays the user in the next lookup list shown: types `filter` (when not
// empty) into its search field, chooses the row of `code` and confirms; an
// empty code cancels the list.
void pickInNextLookup(ui::ScriptedUiServices& ui, std::string code, std::string filter = {});

// The first column of the first row of a query on a company, as text ("" when none).
std::string firstValue(const erp::CompanyEntry& company, const std::string& sql);

}  // namespace quill::testing

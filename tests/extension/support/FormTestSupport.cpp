#include "tests/extension/support/FormTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "erp/DemoCompany.h"
#include "extension/components/DataAccess.h"
#include "extension/core/DescComissoes.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"

namespace quill::testing {

namespace fs = std::filesystem;

const erp::CompanyEntry& demoCompany() {
  static const erp::CompanyEntry company =
      erp::DemoCompany::ensure(fs::temp_directory_path() / "quill-forms-test" / "erp", erp::DemoOptions{});
  return company;
}

std::string connectionStringFor(const erp::CompanyEntry& company) {
  if (company.onServer())
    return buildConnectionString("MSDataShape", "SQLOLEDB", company.server, company.databaseName, company.serverUser,
                                 company.serverPassword);
  return buildConnectionString("MSDataShape", "SQLOLEDB", company.dataFolder.string(), company.databaseName, "sa", "");
}

std::shared_ptr<DataAccess> openCompany(const erp::CompanyEntry& company) {
  auto data = std::make_shared<DataAccess>();
  if (!data->OpenConnection(connectionStringFor(company)))
    ADD_FAILURE() << "cannot open " << company.databaseFile() << ": " << data->lastError();
  return data;
}

DemoCopy::DemoCopy(sql::testing::Backend backend) {
  if (backend == sql::testing::Backend::Server) {
    onServer_ = std::make_unique<erpapi::test::DemoCompanyCopy>(backend);
    company_ = onServer_->company();
    return;
  }
  static std::atomic<int> counter{0};
  folder_ =
      fs::temp_directory_path() / ("quill-forms-copy-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  company_ = demoCompany();
  company_.dataFolder = folder_;
  fs::copy_file(demoCompany().databaseFile(), company_.databaseFile());
}

DemoCopy::~DemoCopy() {
  std::error_code ec;
  if (!folder_.empty()) fs::remove_all(folder_, ec);
}

ui::ViewFactory memoryView(std::vector<ui::ControlDef> controls) {
  return
      [controls = std::move(controls)](ui::Form& form) { return std::make_unique<ui::MemoryFormView>(form, controls); };
}

ui::MemoryFormView& memoryOf(ui::Form& form) { return dynamic_cast<ui::MemoryFormView&>(form.view()); }

void pickInNextLookup(ui::ScriptedUiServices& ui, std::string code, std::string filter) {
  ui.onNextModal([code = std::move(code), filter = std::move(filter)](QWidget& window) {
    auto& dialog = dynamic_cast<ui::FormDialog&>(window);
    ui::FormView& list = *dialog.view();
    if (!filter.empty()) {
      EXPECT_TRUE(list.userType("txtProcura", filter));
    }
    if (code.empty()) {
      list.userClick("cmdCancelar");
      return;
    }
    EXPECT_TRUE(list.userChoose("grdLista", code)) << "no row " << code << " in the lookup " << list.caption();
    list.userClick("cmdOK");
  });
}

std::string firstValue(const erp::CompanyEntry& company, const std::string& sql) {
  auto rs = sql::Connection::open(company.databaseFile())->query(sql);
  if (rs->recordCount() == 0 || rs->value(std::size_t{0}).isNull()) return {};
  return vb::CStr(rs->value(std::size_t{0}));
}

}  // namespace quill::testing

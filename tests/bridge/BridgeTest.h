#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

#include "erp/DemoCodes.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "tests/bridge/RecordingDataAccess.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/erp/api/VariantPrinting.h"

namespace quill {
class DataAccess;
}

namespace quill::bridgetest {

using erpapi::test::DemoCompanyCopy;
namespace demo = erp::demo;

// A real quillbridge process serving a SageNextApi object to this test, on
// its own copy of the demo company. The bridge runs in the copy's folder
// (its debug log and the ERP API's log are written there) and its queries
// come back to this process through a real data-access object, recorded.
class BridgeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Iniciar with the demo company and login, or what a test gives.
  Variant iniciar(std::string_view company = demo::kCompanyCode, std::string_view password = demo::kPassword);
  // Iniciar with the demo login, then the data-access object handed over,
  // as the extension does; the test fails when the start fails.
  void start();

  void abonoDeFrete(const demo::KnownDocument& key, double perTonne,
                    std::string_view article = demo::kAllowanceArticle);
  void alteraPreco(std::string_view article, std::string_view currency, std::int32_t line, Date start, double price,
                   double priceWithVat);

  // Rows of one document, of PRECOS; the logs written so far.
  DemoCompanyCopy::Rows document(const demo::KnownDocument& key) const;
  std::string bridgeLog() const;
  std::string apiLog() const;

  // The backend the company's database is on: set by a test parameterized
  // over both before SetUp.
  erpapi::test::Backend backend_ = erpapi::test::Backend::Embedded;
  std::unique_ptr<DemoCompanyCopy> company_;
  std::shared_ptr<DataAccess> dataAccess_;
  std::shared_ptr<RecordingDataAccess> recorder_;
  DispatchPtr bridge_;
};

// The error a call raised; a test failure when it raised none.
AutomationError errorOf(const std::function<void()>& call);

// The running quillbridge processes started by this process.
std::vector<pid_t> bridgeProcesses();
// True once the process is gone.
bool processGone(pid_t pid);

}  // namespace quill::bridgetest

#include "tests/extension/pricing/PricingTestSupport.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <type_traits>
#include <utility>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/components/ReportPrinter.h"
#include "extension/pricing/CriteriosAltLinPrc.h"
#include "extension/reports/CriteriosMapasMediaVenda.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/vb/Conversions.h"
#include "tests/support/BridgeStart.h"
#include "tests/support/ChildProcesses.h"

namespace quill::pricingtest {

namespace fs = std::filesystem;
namespace demo = erp::demo;

std::shared_ptr<PropertyBag> parametersOnlyBridge(std::string currency, std::string regime) {
  auto bridge = PropertyBag::create("SageNextApi");
  bridge->setValue("MoedaNacional", Variant(std::move(currency)));
  bridge->setValue("RegimeIVANacional", Variant(std::move(regime)));
  return bridge;
}

MemoryComponents::MemoryComponents(ui::UiServices& ui) {
  auto criteria = [this, &ui](auto* type) {
    using Criteria = std::remove_pointer_t<decltype(type)>;
    factory_.add(Criteria::kFormName, [this, &ui]() -> DispatchPtr {
      auto view = [user = std::exchange(user_, {})](ui::Form& form) {
        auto memory = std::make_unique<ui::MemoryFormView>(form, Criteria::controls());
        if (user) memory->whenShown(user);
        return memory;
      };
      return std::make_shared<Criteria>(ui, view);
    });
  };
  criteria(static_cast<CriteriosMapasMediaVenda*>(nullptr));
  criteria(static_cast<CriteriosAltLinPrc*>(nullptr));
  factory_.add("ReportPrinter", [&ui]() -> DispatchPtr { return std::make_shared<ReportPrinter>(ui); });
}

MemoryComponents::~MemoryComponents() = default;

std::function<DispatchPtr(std::string_view name)> MemoryComponents::make() {
  return [this](std::string_view name) { return factory_.create(name); };
}

RealBridge::RealBridge() : dataAccess_(std::make_shared<DataAccess>()) {
  if (!dataAccess_->OpenConnection(company_.connectionString())) {
    ADD_FAILURE() << dataAccess_->lastError();
    return;
  }
  const auto before = testing::childProcesses("quillbridge");
  bridge_ = testing::createBridgeIn(company_.folder());
  for (pid_t pid : testing::childProcesses("quillbridge"))
    if (std::find(before.begin(), before.end(), pid) == before.end()) pid_ = pid;
  EXPECT_TRUE(
      testing::startBridge(bridge_, company_.folder(), demo::kCompanyCode, demo::kLogin, demo::kPassword, dataAccess_));
}

RealBridge::~RealBridge() {
  if (bridge_) {
    try {
      late::call(bridge_, "Terminar");
    } catch (const std::exception&) {
      // a test may have ended the server
    }
  }
  bridge_.reset();
  dataAccess_->CloseConnection();
}

Rows RealBridge::price(std::string_view article, int line) const {
  return company_.rows(
      "SELECT DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND "
      "LINPRC = ?",
      {Variant(article), Variant(demo::kNationalCurrency), Variant(std::int32_t{line})});
}

void RealBridge::kill() {
  ASSERT_NE(pid_, 0) << "the bridge's process was not found";
  ::kill(pid_, SIGKILL);
  // Dead before the test goes on (a zombie is dead): the next call meets a
  // closed peer.
  for (int i = 0; i < 400; ++i) {
    const auto running = testing::childProcesses("quillbridge");
    if (std::find(running.begin(), running.end(), pid_) == running.end()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace quill::pricingtest

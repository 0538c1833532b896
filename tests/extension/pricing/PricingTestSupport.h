#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"
#include "tests/erp/api/DemoCompanyCopy.h"

namespace quill {
class DataAccess;
class PropertyBag;
namespace ui {
class MemoryFormView;
class UiServices;
}  // namespace ui
}  // namespace quill

namespace quill::pricingtest {

using Rows = erpapi::test::DemoCompanyCopy::Rows;

// A bridge that answers the national currency and VAT regime and nothing else.
std::shared_ptr<PropertyBag> parametersOnlyBridge(std::string currency = "EUR", std::string regime = "CONT");

// The components the editors make by name, for their tests: the report
// criteria forms with their controls in memory, and the report printer.
class MemoryComponents {
 public:
  using User = std::function<void(ui::MemoryFormView&)>;
  explicit MemoryComponents(ui::UiServices& ui);
  ~MemoryComponents();

  // The next criteria form made is played by `user` when it is shown;
  // without one it is closed at once.
  void playNextCriteria(User user) { user_ = std::move(user); }
  std::function<DispatchPtr(std::string_view name)> make();

 private:
  ClassFactory factory_;
  User user_;
};

// A real quillbridge process started on its own copy of the demo ERP
// installation, as the extension starts it: its queries come back to a
// real data-access object opened on the same copy.
class RealBridge {
 public:
  RealBridge();
  ~RealBridge();
  RealBridge(const RealBridge&) = delete;
  RealBridge& operator=(const RealBridge&) = delete;

  const DispatchPtr& object() const { return bridge_; }
  const std::shared_ptr<DataAccess>& dataAccess() const { return dataAccess_; }
  const erpapi::test::DemoCompanyCopy& company() const { return company_; }
  // DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT of a price in the
  // national currency; no row when there is none.
  Rows price(std::string_view article, int line) const;
  // Ends the bridge process, as a crash would.
  void kill();

 private:
  erpapi::test::DemoCompanyCopy company_;
  std::shared_ptr<DataAccess> dataAccess_;
  DispatchPtr bridge_;
  int pid_ = 0;
};

}  // namespace quill::pricingtest

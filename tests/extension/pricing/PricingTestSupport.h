#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormView.h"
#include "tests/erp/api/DemoCompanyCopy.h"

namespace quill {
class DataAccess;
class PropertyBag;
namespace ui {
class MemoryFormView;
}
}  // namespace quill

namespace quill::pricingtest {

using Rows = erpapi::test::DemoCompanyCopy::Rows;

// A bridge that answers the national currency and VAT regime and nothing else.
std::shared_ptr<PropertyBag> parametersOnlyBridge(std::string currency = "EUR", std::string regime = "CONT");

// A view factory for a form the editor makes itself (the report's
// criteria): its controls in memory, played by `user` when shown (nothing:
// the form is closed at once).
ui::ViewFactory memoryViewPlayedBy(std::vector<ui::ControlSpec> controls,
                                   std::function<void(ui::MemoryFormView&)> user);

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

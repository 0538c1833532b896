#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "erp/api/ApiRoot.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/erp/api/VariantPrinting.h"

namespace quill::erpapi::test {

// An ERP API started on a copy of the demo company, in this process, with
// its log in the copy's folder.
class StartedApi : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  DispatchPtr create(std::string_view progId) const;
  // A document object with the document read; the test fails when it is not.
  DispatchPtr readDocument(std::string_view type, int series, int number, int year) const;
  // The API's log so far.
  std::string apiLog() const;

  std::unique_ptr<DemoCompanyCopy> company_;
  std::shared_ptr<ApiRoot> api_;
};

// The error a call raised; a test failure when it raised none.
AutomationError errorOf(const std::function<void()>& call);

}  // namespace quill::erpapi::test

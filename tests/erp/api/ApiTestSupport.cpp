#include "tests/erp/api/ApiTestSupport.h"

#include <fstream>
#include <sstream>

#include "erp/DemoCodes.h"
#include "erp/api/ApiLog.h"

namespace quill::erpapi::test {

void StartedApi::SetUp() {
  company_ = std::make_unique<DemoCompanyCopy>();
  api_ = std::make_shared<ApiRoot>();
  ASSERT_TRUE(api_->Inicializa(company_->folder().string(), company_->folder().string(), erp::demo::kCompanyCode,
                               erp::demo::kLogin, erp::demo::kPassword));
}

void StartedApi::TearDown() {
  if (api_) api_->Termina();
  api_.reset();
  company_.reset();
}

DispatchPtr StartedApi::create(std::string_view progId) const { return api_->CriaObjecto(progId); }

DispatchPtr StartedApi::readDocument(std::string_view type, int series, int number, int year) const {
  auto doc = create("SageApiNextPlus.DocumentoComercial");
  auto answer = late::call(
      doc, "Ler",
      {Variant(type), Variant(std::int32_t{number}), Variant(std::int32_t{series}), Variant(std::int32_t{year})});
  EXPECT_EQ(answer, Variant(std::int32_t{0})) << late::get(doc, "UltimaMensagem").debugString();
  return doc;
}

std::string StartedApi::apiLog() const {
  std::ifstream in(company_->folder() / ApiLog::kFileName);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

AutomationError errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error;
  }
  ADD_FAILURE() << "no error was raised";
  return AutomationError(0, "", "");
}

}  // namespace quill::erpapi::test

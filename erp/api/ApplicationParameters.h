#pragma once

#include <memory>
#include <string>

#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

class ApiCompanySession;

// "SageApiNextPlus.ParametrosAplicacao": the company's parameters.
//
// Members (read): LigacaoACtb (-1 when the company posts to accounting, else
// 0), RegIvaNacional (national VAT regime code), MoedaNacional (national
// currency code). Reading them before the API is started fails with the
// API's error 1000.
class ApplicationParameters : public DispatchObject<ApplicationParameters> {
 public:
  explicit ApplicationParameters(std::shared_ptr<ApiCompanySession> session) : session_(std::move(session)) {}

  static const MemberTable<ApplicationParameters>& members();
  std::string className() const override { return "ParametrosAplicacao"; }

 private:
  const ApiCompanySession& session() const;

  std::shared_ptr<ApiCompanySession> session_;
};

}  // namespace quill::erpapi

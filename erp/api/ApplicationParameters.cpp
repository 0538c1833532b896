#include "erp/api/ApplicationParameters.h"

#include "erp/api/ApiCompanySession.h"
#include "erp/api/ApiRefusal.h"
#include "erp/api/ProgramIds.h"
#include "platform/automation/AutomationError.h"

namespace quill::erpapi {

const ApiCompanySession& ApplicationParameters::session() const {
  if (!session_ || !session_->isOpen()) {
    auto refusal = refuse::notStarted();
    throw AutomationError(refusal.number, std::string(progid::kParametrosAplicacao), refusal.message);
  }
  return *session_;
}

const MemberTable<ApplicationParameters>& ApplicationParameters::members() {
  using Args = MemberTable<ApplicationParameters>::Args;
  static const auto table =
      MemberTable<ApplicationParameters>()
          .property("LigacaoACtb",
                    [](ApplicationParameters& p, Args) {
                      return Variant(std::int16_t(p.session().parameters().linkedToAccounting ? -1 : 0));
                    })
          .property("RegIvaNacional",
                    [](ApplicationParameters& p, Args) { return Variant(p.session().parameters().nationalVatRegime); })
          .property("MoedaNacional",
                    [](ApplicationParameters& p, Args) { return Variant(p.session().parameters().nationalCurrency); });
  return table;
}

}  // namespace quill::erpapi

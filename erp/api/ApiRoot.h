#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

class ApiCompanySession;

// "SageApiNextPlus.Api": the ERP API's root object.
//
// Members:
//   DataAccess = v        the caller's data-access object (a Variant holding
//                         it, or Empty); kept for the caller, the API itself
//                         works on its own connection
//   ModoAcesso = n        how the API shares the company with other programs;
//                         2 is the shared mode the system uses; kept
//   Inicializa(caminho, caminhoLog, empresa, utilizador, password) -> Boolean
//                         starts on the company `empresa` of the ERP
//                         installation in folder `caminho` for the ERP user;
//                         false for a missing installation, an unknown
//                         company, a wrong login or password, or a company
//                         database that cannot be opened. caminhoLog names
//                         the API's log (ApiLog). A started API is started
//                         again.
//   Termina() -> Boolean  closes the company; objects still held answer
//                         that the API is not started
//   CriaObjecto(progId)   a new object of a "SageApiNextPlus." program id;
//                         an unknown id fails with 429
class ApiRoot : public DispatchObject<ApiRoot> {
 public:
  ApiRoot();
  ~ApiRoot() override;

  bool Inicializa(std::string_view path, std::string_view logPath, std::string_view company, std::string_view login,
                  std::string_view password);
  bool Termina();
  DispatchPtr CriaObjecto(std::string_view progId) const;

  bool started() const;
  std::int32_t modoAcesso() const { return modoAcesso_; }
  const Variant& dataAccess() const { return dataAccess_; }

  static const MemberTable<ApiRoot>& members();
  std::string className() const override { return "Api"; }

 private:
  std::shared_ptr<ApiCompanySession> session_;
  Variant dataAccess_;
  std::int32_t modoAcesso_ = 0;
};

// A new API object of one of the factory's program ids, sharing the
// session; nothing for any other id.
DispatchPtr createApiObject(std::string_view progId, const std::shared_ptr<ApiCompanySession>& session);

}  // namespace quill::erpapi

#include "erp/api/ApiRoot.h"

#include <fmt/format.h>

#include "erp/Installation.h"
#include "erp/api/ApiCompanySession.h"
#include "erp/api/ApiLog.h"
#include "erp/api/ApplicationParameters.h"
#include "erp/api/ArticlePrice.h"
#include "erp/api/CommercialDocument.h"
#include "erp/api/DocumentLine.h"
#include "erp/api/PlainApiObject.h"
#include "erp/api/ProgramIds.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

DispatchPtr createApiObject(std::string_view progId, const std::shared_ptr<ApiCompanySession>& session) {
  if (equalsNoCase(progId, progid::kParametrosAplicacao)) return std::make_shared<ApplicationParameters>(session);
  if (equalsNoCase(progId, progid::kDocumentoComercial)) return std::make_shared<CommercialDocument>(session);
  if (equalsNoCase(progId, progid::kDocumentosGcLin)) return std::make_shared<DocumentLine>();
  if (equalsNoCase(progId, progid::kPrecos)) return std::make_shared<ArticlePrice>(session);
  for (auto plain : {progid::kArtigos, progid::kClientes, progid::kFornecedores, progid::kLotesLinha,
                     progid::kDocumentoContabilistico})
    if (equalsNoCase(progId, plain))
      return std::make_shared<PlainApiObject>(std::string(plain.substr(plain.find('.') + 1)));
  return nullptr;
}

ApiRoot::ApiRoot() = default;

ApiRoot::~ApiRoot() { Termina(); }

bool ApiRoot::started() const { return session_ && session_->isOpen(); }

bool ApiRoot::Inicializa(std::string_view path, std::string_view logPath, std::string_view company,
                         std::string_view login, std::string_view password) {
  Termina();
  ApiLog log{std::filesystem::path(logPath)};
  try {
    auto installation = erp::Installation::open(std::filesystem::path(path));
    auto entry = installation.findCompany(company);
    if (!entry) {
      log.write(fmt::format("Inicializa: a empresa {} não existe.", company));
      return false;
    }
    if (!installation.checkLogin(login, password)) {
      log.write(fmt::format("Inicializa: utilizador ou palavra-passe inválidos ({}).", login));
      return false;
    }
    session_ = ApiCompanySession::open(*entry, log);
    log.write(fmt::format("Inicializa: empresa {} utilizador {} modo {}", entry->code, login, modoAcesso_));
    return true;
  } catch (const std::exception& error) {
    log.write(fmt::format("Inicializa: {}", error.what()));
    session_.reset();
    return false;
  }
}

bool ApiRoot::Termina() {
  if (session_) {
    session_->log().write("Termina");
    session_->close();
    session_.reset();
  }
  return true;
}

DispatchPtr ApiRoot::CriaObjecto(std::string_view progId) const {
  auto object = createApiObject(progId, session_);
  if (!object) throw vbError(vberr::CannotCreateObject, std::string(progid::kApi));
  return object;
}

const MemberTable<ApiRoot>& ApiRoot::members() {
  using Args = MemberTable<ApiRoot>::Args;
  auto keepDataAccess = [](ApiRoot& r, Args a) { r.dataAccess_ = a.back(); };
  static const auto table =
      MemberTable<ApiRoot>()
          .property(
              "DataAccess", [](ApiRoot& r, Args) { return r.dataAccess_; }, keepDataAccess, keepDataAccess)
          .property(
              "ModoAcesso", [](ApiRoot& r, Args) { return Variant(r.modoAcesso_); },
              [](ApiRoot& r, Args a) { r.modoAcesso_ = vb::CLng(a.back()); })
          .method(
              "Inicializa",
              [](ApiRoot& r, Args a) {
                return Variant(
                    r.Inicializa(vb::CStr(a[0]), vb::CStr(a[1]), vb::CStr(a[2]), vb::CStr(a[3]), vb::CStr(a[4])));
              },
              Arity::exactly(5))
          .method(
              "Termina", [](ApiRoot& r, Args) { return Variant(r.Termina()); }, Arity::exactly(0))
          .method(
              "CriaObjecto", [](ApiRoot& r, Args a) { return Variant(r.CriaObjecto(vb::CStr(a[0]))); },
              Arity::exactly(1));
  return table;
}

}  // namespace quill::erpapi

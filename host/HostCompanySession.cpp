#include "host/HostCompanySession.h"

#include <fmt/format.h>

#include "erp/CompanyDatabase.h"
#include "erp/DocumentStore.h"
#include "erp/Installation.h"
#include "host/CompanyCatalog.h"
#include "host/ExtensionObject.h"
#include "host/ExtensionSettings.h"
#include "host/ObservedUiServices.h"
#include "platform/sql/Connection.h"
#include "platform/vb/MsgBox.h"

namespace quill::host {

namespace fs = std::filesystem;

HostCompanySession::HostCompanySession(Environment environment) : env_(std::move(environment)) {}

HostCompanySession::~HostCompanySession() {
  onChange_ = nullptr;  // whoever listened may be going away too
  close();
}

ui::UiServices& HostCompanySession::ui() { return *env_.ui; }

EditorServices HostCompanySession::editorServices() {
  return EditorServices{*catalog_, *store_, extensionActive_ ? extension_.get() : nullptr,
                        *env_.ui,  env_.ui, allowanceArticle_};
}

void HostCompanySession::changed() {
  if (onChange_) onChange_();
}

void HostCompanySession::refreshApiLink() {
  bool on = extension_ && extensionActive_ && extension_->ApiLigada().value_or(false);
  if (on == apiLinkOn_) return;
  apiLinkOn_ = on;
  changed();
}

bool HostCompanySession::fail(std::string reason) {
  lastError_ = std::move(reason);
  close();
  env_.ui->msgBox(lastError_, vb::vbExclamation, kOpenTitle);
  return false;
}

bool HostCompanySession::open(const CompanyChoice& choice) {
  close();
  lastError_.clear();

  // The ERP's own part: the installation, the company and the user's login.
  std::optional<erp::Installation> installation;
  try {
    installation = erp::Installation::open(choice.erpFolder);
  } catch (const std::exception& error) {
    return fail(
        fmt::format("Não foi possível abrir a instalação do ERP em {}: {}", choice.erpFolder.string(), error.what()));
  }
  std::optional<erp::CompanyEntry> company;
  try {
    company = installation->findCompany(choice.company);
    if (company && !installation->checkLogin(choice.user, choice.password))
      return fail(
          fmt::format("O utilizador \"{}\" não existe, está inactivo ou a palavra-passe não confere.", choice.user));
  } catch (const std::exception& error) {
    return fail(
        fmt::format("Não foi possível ler a instalação do ERP em {}: {}", choice.erpFolder.string(), error.what()));
  }
  if (!company)
    return fail(
        fmt::format("A empresa \"{}\" não existe na instalação {}.", choice.company, choice.erpFolder.string()));
  try {
    auto missing = erp::missingCompanyTables(*company);
    if (!missing.empty())
      return fail(
          fmt::format("A base de dados da empresa {} ({}) não é uma base de dados de empresa: não tem a tabela {}{}.",
                      company->code, erp::describeCompanyDatabase(*company), missing.front(),
                      missing.size() > 1 ? " nem outras tabelas do ERP" : ""));
    connection_ = erp::openCompanyDatabase(*company);
  } catch (const std::exception& error) {
    return fail(fmt::format("Não foi possível abrir a base de dados da empresa {}: {}", company->code, error.what()));
  }
  catalog_ = std::make_unique<CompanyCatalog>(connection_);
  store_ = std::make_unique<erp::DocumentStore>(*connection_);
  company_ = *company;
  user_ = choice.user;

  // The extension's configuration, beside the extension library.
  if (!env_.extensionFolder)
    return fail(fmt::format("A extensão ({}) não está registada nesta instalação.", ExtensionObject::kProgId));
  ExtensionSettings settings;
  fs::path erpFolder = fs::absolute(choice.erpFolder);
  std::error_code ec;
  fs::create_directories(erpFolder / "log", ec);
  settings.apiPassword = choice.password;
  settings.apiLogin = choice.user;
  settings.company = company->code;
  settings.logFolder = (erpFolder / "log").string();
  settings.erpFolder = erpFolder.string();
  settings.server = company->dataSource();
  settings.database = company->databaseName;
  if (company->onServer()) {
    settings.databaseUser = company->serverUser;
    settings.databasePassword = company->serverPassword;
  }
  configurationFile_ = ExtensionSettings::fileFor(*env_.extensionFolder, choice.user);
  if (!choice.forceAllowanceSettings) settings.keepAllowanceSettingsOf(configurationFile_);
  if (choice.forceAllowanceSettings || settings.allowanceDocumentTypes.empty())
    settings.allowanceDocumentTypes = choice.allowanceDocumentTypes;
  if (choice.forceAllowanceSettings || settings.allowanceArticle.empty())
    settings.allowanceArticle = choice.allowanceArticle;
  std::string error;
  if (!settings.write(configurationFile_, error)) return fail(error);
  allowanceArticle_ = settings.allowanceArticle;

  // The extension, created by program id and called only by member name.
  try {
    extension_ = std::make_unique<ExtensionObject>(env_.createObject(ExtensionObject::kProgId));
  } catch (const std::exception& error) {
    return fail(fmt::format("Não foi possível criar a extensão {}: {}", ExtensionObject::kProgId, error.what()));
  }
  bool opened = false;
  try {
    opened = extension_->ConnectionOpen(company->code, choice.user);
  } catch (const std::exception& error) {
    env_.ui->showError(error, kOpenTitle);
  }
  extensionActive_ = opened;
  extension_->setAfterLinkCall([this] { refreshApiLink(); });
  refreshApiLink();
  if (opened) {
    try {
      extensionInterested_ = extension_->EmpresaInteressa(company->code);
    } catch (const std::exception& error) {
      env_.ui->showError(error, kOpenTitle);
    }
  } else {
    env_.ui->msgBox(fmt::format("A extensão não abriu a empresa {}: os documentos editam-se sem ela.", company->code),
                    vb::vbInformation, kOpenTitle);
  }
  changed();
  return true;
}

void HostCompanySession::close() {
  if (extension_) {
    try {
      extension_->ConnectionClose();
    } catch (const std::exception& error) {
      env_.ui->showError(error, kCloseTitle);
    }
    // Releasing the object lets go of its bridge, whose process then ends.
    extension_.reset();
  }
  store_.reset();
  catalog_.reset();
  if (connection_) {
    connection_->close();
    connection_.reset();
  }
  bool wasOpen = !company_.code.empty();
  company_ = {};
  user_.clear();
  allowanceArticle_.clear();
  extensionActive_ = false;
  extensionInterested_ = false;
  apiLinkOn_ = false;
  if (wasOpen) changed();
}

void HostCompanySession::toggleApiLink() {
  if (!extension_ || !extensionActive_) return;
  try {
    extension_->ConnectDisconnectApiNext();
  } catch (const std::exception& error) {
    env_.ui->showError(error, "Ligação SageNext API");
  }
  changed();
}

}  // namespace quill::host

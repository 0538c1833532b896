#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "erp/CompanyEntry.h"
#include "host/CompanyChoice.h"
#include "host/SalesDocumentEditor.h"
#include "platform/automation/Dispatch.h"

namespace quill::erp {}
namespace quill::sql {
class Connection;
}

namespace quill::host {

class CompanyCatalog;
class ExtensionObject;
class ObservedUiServices;

// One company open in the host, as the ERP opens it for its user:
// 1. the installation must hold the company and accept the user's login;
// 2. the extension's configuration is written beside the extension library
//    (ExtensionSettings): the company, the login, where the database is;
// 3. the extension object is created by program id and asked
//    ConnectionOpen(company, login); EmpresaInteressa(company) then decides
//    whether its menu commands are offered.
// When ConnectionOpen answers false the company stays open in the host
// without the extension (no hooks, no allowance, no commands), as the ERP
// carries on without an extension that did not start.
//
// Closing calls ConnectionClose and releases the extension, which stops its
// bridge; an error it raises is shown, never passed on.
//
// The API link the window shows is the extension's own flag (ApiLigada),
// read again after every call that may change it.
class HostCompanySession {
 public:
  static constexpr const char* kOpenTitle = "Abrir empresa";
  static constexpr const char* kCloseTitle = "Fechar empresa";

  struct Environment {
    ObservedUiServices* ui = nullptr;
    // CreateObject: the extension by its program id.
    std::function<DispatchPtr(std::string_view progId)> createObject;
    // The folder of the extension library, where its configuration lies.
    std::optional<std::filesystem::path> extensionFolder;
  };

  explicit HostCompanySession(Environment environment);
  ~HostCompanySession();
  HostCompanySession(const HostCompanySession&) = delete;
  HostCompanySession& operator=(const HostCompanySession&) = delete;

  // Opens a company; false when it cannot be opened, the reason shown in a
  // box titled kOpenTitle and kept in lastError(). An open company is
  // closed first.
  bool open(const CompanyChoice& choice);
  void close();
  const std::string& lastError() const { return lastError_; }

  bool isOpen() const { return connection_ != nullptr; }
  const erp::CompanyEntry& company() const { return company_; }
  const std::string& user() const { return user_; }
  // The extension opened the company (ConnectionOpen answered true).
  bool extensionActive() const { return extensionActive_; }
  // The extension says the company concerns it (EmpresaInteressa).
  bool extensionInterested() const { return extensionInterested_; }
  // The extension's API link as it was after the last call that may change
  // it; off without an active extension.
  bool apiLinkOn() const { return apiLinkOn_; }
  // The extension object while the company is open; null without one.
  ExtensionObject* extension() { return extension_.get(); }
  std::filesystem::path configurationFile() const { return configurationFile_; }

  const CompanyCatalog& catalog() const { return *catalog_; }
  // The company's sales documents, kept by the ERP.
  const erp::DocumentStore& store() const { return *store_; }
  // What an editor of this company's documents works with.
  EditorServices editorServices();
  ui::UiServices& ui();

  // ConnectDisconnectApiNext: the extension asks the user and switches; an
  // error it passes on is shown.
  void toggleApiLink();

  // Told whenever what the window shows of the session may have changed.
  void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

 private:
  bool fail(std::string reason);
  void changed();
  // Asks the extension whether its link is on; tells of a change.
  void refreshApiLink();

  Environment env_;
  std::shared_ptr<sql::Connection> connection_;
  std::unique_ptr<CompanyCatalog> catalog_;
  std::unique_ptr<erp::DocumentStore> store_;
  std::unique_ptr<ExtensionObject> extension_;
  erp::CompanyEntry company_;
  std::string user_;
  std::filesystem::path configurationFile_;
  std::string allowanceArticle_;  // the allowance line's article, as configured
  bool extensionActive_ = false;
  bool extensionInterested_ = false;
  bool apiLinkOn_ = false;
  std::string lastError_;
  std::function<void()> onChange_;
};

}  // namespace quill::host

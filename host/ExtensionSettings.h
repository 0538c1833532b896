#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quill {
class ProgramRegistry;
}

namespace quill::host {

// The extension's configuration file as the host writes it before opening a
// company: which ERP company and login the extension serves, where the
// company database is and which documents earn the freight allowance.
struct ExtensionSettings {
  // "Api Next"
  std::string apiPassword;
  std::string apiLogin;
  std::string company;
  std::string logFolder;  // perclog
  std::string erpFolder;  // PercWindows: the ERP installation
  // "Ligação": the folder of the database file and the database name (the
  // file is "<BaseDados>.db" in the "Servidor" folder).
  std::string server;
  std::string database;
  std::string databaseUser;
  std::string databasePassword;
  // "DOCUMENTOS VENDA"
  std::string allowanceDocumentTypes;  // TPDOC
  std::string allowanceArticle;        // DESCRTABONO

  // The file the extension reads for this login: "VALTERO.<login>" when that
  // file exists in its folder, else "VALTERO.INI". Writing the per-user file
  // when there is one keeps the host's company from being silently ignored.
  static std::filesystem::path fileFor(const std::filesystem::path& extensionFolder, std::string_view login);

  // The folder of the extension library registered for its program id.
  static std::optional<std::filesystem::path> extensionFolder(const ProgramRegistry& registry);

  // The allowance settings already in a file, so that a company opened again
  // keeps what its installer chose; empty texts when there are none.
  void keepAllowanceSettingsOf(const std::filesystem::path& file);

  // Writes the whole file afresh, UTF-8, replacing any earlier one in a
  // single step. False, with the reason in `error`, when it cannot be
  // written; an earlier file then stays as it was.
  bool write(const std::filesystem::path& file, std::string& error) const;
};

}  // namespace quill::host

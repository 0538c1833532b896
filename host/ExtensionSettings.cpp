#include "host/ExtensionSettings.h"

#include <fmt/format.h>
#include <unistd.h>

#include <system_error>

#include "host/ExtensionObject.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/winapi/PrivateProfile.h"

namespace quill::host {

namespace fs = std::filesystem;

fs::path ExtensionSettings::fileFor(const fs::path& extensionFolder, std::string_view login) {
  fs::path perUser = extensionFolder / ("VALTERO." + std::string(login));
  std::error_code ec;
  if (!login.empty() && fs::is_regular_file(perUser, ec)) return perUser;
  return extensionFolder / "VALTERO.INI";
}

std::optional<fs::path> ExtensionSettings::extensionFolder(const ProgramRegistry& registry) {
  auto entry = registry.find(ExtensionObject::kProgId);
  if (!entry || entry->kind != ProgramEntry::Kind::InProcess) return std::nullopt;
  return entry->binary.parent_path();
}

void ExtensionSettings::keepAllowanceSettingsOf(const fs::path& file) {
  auto read = [&](const char* key) {
    std::string value;
    winapi::getPrivateProfileString("DOCUMENTOS VENDA", key, "", value, 1024, file);
    return value;
  };
  if (auto types = read("TPDOC"); !types.empty()) allowanceDocumentTypes = types;
  if (auto article = read("DESCRTABONO"); !article.empty()) allowanceArticle = article;
}

bool ExtensionSettings::write(const fs::path& file, std::string& error) const {
  fs::path temporary = file;
  temporary += fmt::format(".{}.tmp", ::getpid());
  std::error_code ec;
  fs::remove(temporary, ec);

  const std::pair<const char*, const std::pair<const char*, const std::string*>> entries[] = {
      {"Api Next", {"password", &apiPassword}},
      {"Api Next", {"Login", &apiLogin}},
      {"Api Next", {"Empresa", &company}},
      {"Api Next", {"perclog", &logFolder}},
      {"Api Next", {"PercWindows", &erpFolder}},
      {"Ligação", {"Servidor", &server}},
      {"Ligação", {"BaseDados", &database}},
      {"Ligação", {"User", &databaseUser}},
      {"Ligação", {"PassWord", &databasePassword}},
      {"DOCUMENTOS VENDA", {"TPDOC", &allowanceDocumentTypes}},
      {"DOCUMENTOS VENDA", {"DESCRTABONO", &allowanceArticle}},
  };
  for (const auto& [section, entry] : entries) {
    if (!winapi::writePrivateProfileString(section, entry.first, *entry.second, temporary)) {
      fs::remove(temporary, ec);
      error =
          fmt::format("Não foi possível escrever \"{}\" = \"{}\" em {}.", entry.first, *entry.second, file.string());
      return false;
    }
  }
  fs::rename(temporary, file, ec);
  if (ec) {
    std::string reason = ec.message();
    fs::remove(temporary, ec);
    error = fmt::format("Não foi possível gravar {}: {}.", file.string(), reason);
    return false;
  }
  return true;
}

}  // namespace quill::host

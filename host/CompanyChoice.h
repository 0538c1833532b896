#pragma once

#include <filesystem>
#include <string>

namespace quill::host {

// Which company to open: the ERP installation folder, the company code and
// the ERP user who opens it.
struct CompanyChoice {
  std::filesystem::path erpFolder;
  std::string company;
  std::string user;
  std::string password;
  // The freight-allowance settings the extension gets when its
  // configuration has none of its own.
  std::string allowanceDocumentTypes;
  std::string allowanceArticle;
  // Write these allowance settings even over the configuration's own (the
  // demo company always runs with the demo's).
  bool forceAllowanceSettings = false;
};

}  // namespace quill::host

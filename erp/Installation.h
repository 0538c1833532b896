#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "erp/CompanyEntry.h"

namespace quill::erp {

// The ERP's installation folder (the path handed to the ERP API's start
// operation): the registry "ERP.db" with the companies and the users, and by
// default the company databases in "dados/<database>.db".
//
// Users' passwords are kept in plain text: this is a stand-in for the ERP's
// own user store, not a security boundary.
class Installation {
 public:
  static constexpr std::string_view kRegistryFileName = "ERP.db";
  static constexpr std::string_view kDataFolderName = "dados";

  // Opens an existing installation; AutomationError when the folder or its
  // registry is missing or is not a registry.
  static Installation open(const std::filesystem::path& folder);
  // Opens the installation, creating the folder, the data folder and an empty
  // registry when they are missing.
  static Installation create(const std::filesystem::path& folder);
  static bool exists(const std::filesystem::path& folder);

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path registryFile() const { return folder_ / kRegistryFileName; }
  std::filesystem::path dataFolder() const { return folder_ / kDataFolderName; }

  // The company with this code, compared without regard to case or to blanks
  // around it; nothing when it is not registered.
  std::optional<CompanyEntry> findCompany(std::string_view code) const;
  std::vector<CompanyEntry> companies() const;

  // True when the login (any case) exists, is active and the password
  // matches exactly.
  bool checkLogin(std::string_view login, std::string_view password) const;

  // Registers or replaces a company entry. The database name must be a plain
  // file name.
  void registerCompany(const CompanyEntry& company);
  // Adds or replaces a user.
  void addUser(std::string_view login, std::string_view name, std::string_view password);

  // Creates an empty company database in the data folder (the ERP's tables,
  // the company parameters, the national currency and VAT regime, and the
  // extension's tables when asked) and registers it. Refuses a code that is
  // registered already or a database file that exists.
  CompanyEntry createCompany(const NewCompany& company);

  // Checks what a database name may be: a plain file name, no folders.
  static void checkDatabaseName(std::string_view name);

 private:
  explicit Installation(std::filesystem::path folder) : folder_(std::move(folder)) {}

  std::filesystem::path folder_;
};

}  // namespace quill::erp

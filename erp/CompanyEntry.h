#pragma once

#include <filesystem>
#include <string>

namespace quill::erp {

// A company as the installation registry knows it. The extension reaches the
// same database through its INI: "Servidor" is the data folder and
// "BaseDados" the database name, the file being "<BaseDados>.db" in it.
struct CompanyEntry {
  std::string code;
  std::string name;
  std::filesystem::path dataFolder;  // absolute
  std::string databaseName;

  std::filesystem::path databaseFile() const { return dataFolder / (databaseName + ".db"); }
  friend bool operator==(const CompanyEntry&, const CompanyEntry&) = default;
};

// What is needed to create an empty company.
struct NewCompany {
  std::string code;
  std::string name;
  std::string databaseName;
  std::string nationalCurrency = "EUR";
  std::string nationalVatRegime = "CONT";
  double vatRates[4] = {6.0, 13.0, 23.0, 0.0};
  bool linkedToAccounting = false;
  bool withExtensionTables = true;
};

}  // namespace quill::erp

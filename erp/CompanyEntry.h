#pragma once

#include <filesystem>
#include <string>

namespace quill::erp {

// A company as the installation registry knows it. The extension reaches the
// same database through its INI: "Servidor" is the data folder and
// "BaseDados" the database name, the file being "<BaseDados>.db" in it; or,
// for a company on a database server, "Servidor" is the server (host,
// host:port or an ODBC data source name) and "BaseDados" the database there,
// with the server's login in "Utilizador" and "PassWord".
struct CompanyEntry {
  std::string code;
  std::string name;
  std::filesystem::path dataFolder;  // absolute
  std::string databaseName;
  std::string server;          // empty: a database file in the data folder
  std::string serverUser;      // the database server's login
  std::string serverPassword;  //

  bool onServer() const { return !server.empty(); }
  std::filesystem::path databaseFile() const { return dataFolder / (databaseName + ".db"); }
  // "Servidor" as the extension's configuration names it.
  std::string dataSource() const { return onServer() ? server : dataFolder.string(); }
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

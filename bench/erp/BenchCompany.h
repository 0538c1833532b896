#pragma once

#include <filesystem>
#include <string>

namespace quill::bench {

// The large demo company that benchmarks run on (100,000 articles, 20,000
// clients, 1,000,000 document lines): where its ERP installation is, and what
// the extension's INI names it by ("Servidor" = dataSource(), "BaseDados" =
// databaseName, and on a server "User" and "PassWord").
struct BenchCompany {
  std::filesystem::path erpFolder;
  std::filesystem::path dataFolder;
  std::string databaseName;
  std::filesystem::path databaseFile;  // the embedded company's file
  std::string companyCode;
  std::string server;  // host:port of the database server; empty for the file
  std::string user;
  std::string password;

  bool onServer() const { return !server.empty(); }
  std::string dataSource() const { return onServer() ? server : dataFolder.string(); }
};

// Generated on first use in the system's temporary folder (about ten
// seconds) and reused afterwards, by this and by every later benchmark run;
// the folder is named after the generator's version, so a changed generator
// makes it again.
const BenchCompany& largeCompany();

}  // namespace quill::bench

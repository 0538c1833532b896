#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "erp/CompanyEntry.h"
#include "erp/DemoOptions.h"

namespace quill::sql {
class Connection;
class Database;
}  // namespace quill::sql

namespace quill::erp {

// What generated a demo company database (its DEMOINFO row).
struct DemoCompanyInfo {
  int version = 0;
  DemoSize size = DemoSize::Demo;
  std::uint64_t seed = 0;
  int articles = 0;
  int clients = 0;
  int documentLines = 0;
};

// The demo company generator: a deterministic company (same options, same
// rows) registered in an ERP installation folder with the demo user.
class DemoCompany {
 public:
  // Changes whenever the generator's output changes, so that a company made
  // by an older generator is made again.
  static constexpr int kGeneratorVersion = 6;

  // Generates the company into a new file and puts it in place of any
  // earlier one, then registers it and the demo user. The installation folder
  // is created when missing. On failure the earlier company stays as it was.
  static CompanyEntry create(const std::filesystem::path& erpFolder, const DemoOptions& options);

  // Reuses the registered company when this generator version made it with
  // the same size and seed; otherwise creates it. `reused` tells which.
  static CompanyEntry ensure(const std::filesystem::path& erpFolder, const DemoOptions& options,
                             bool* reused = nullptr);

  // Puts the company on a database server: generated into the installation's
  // data folder as ensure() does (reusing that file when it matches), copied
  // to the server's database of the company's database name, and registered
  // with the server and its login. Reuses the server's copy when this
  // generator made it with the same size and seed, unless `force`.
  struct Server {
    std::string dataSource;  // host, host:port or an ODBC data source name
    std::string user;
    std::string password;
  };
  static CompanyEntry ensureOnServer(const std::filesystem::path& erpFolder, const DemoOptions& options,
                                     const Server& server, bool force = false, bool* reused = nullptr);

  // The generator's record in a company database; nothing when the database
  // is missing, unreadable or not a demo company.
  static std::optional<DemoCompanyInfo> readInfo(const std::filesystem::path& databaseFile);
  static std::optional<DemoCompanyInfo> readInfo(const CompanyEntry& company);

  // Writes the whole company (tables, rows, indexes) into an open, empty
  // database.
  static void generate(sql::Database& db, const DemoOptions& options);
};

}  // namespace quill::erp

#include "erp/CompanyDatabase.h"

#include <fmt/format.h>

#include "erp/CompanySchema.h"
#include "erp/ErpError.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"

namespace quill::erp {

sql::ServerAddress serverAddressOf(const CompanyEntry& company) {
  auto address = sql::ServerAddress::fromDataSource(company.server);
  if (!address)
    throw AutomationError(kErpDatabaseError, "ERP",
                          fmt::format("O servidor \"{}\" da empresa {} não é válido.", company.server, company.code));
  address->database = company.databaseName;
  address->user = company.serverUser;
  address->password = company.serverPassword;
  address->integratedLogin = company.serverUser.empty();
  return *address;
}

std::shared_ptr<sql::Connection> openCompanyDatabase(const CompanyEntry& company) {
  if (company.onServer()) return sql::Connection::open(serverAddressOf(company));
  return sql::Connection::open(company.databaseFile());
}

std::vector<std::string> missingCompanyTables(const CompanyEntry& company) {
  if (!company.onServer())
    return sql::Database(company.databaseFile(), sql::Database::Mode::ReadOnly)
        .missingTables(CompanySchema::tableNames());
  auto connection = openCompanyDatabase(company);
  std::vector<std::string> missing;
  for (const auto& table : CompanySchema::tableNames())
    if (connection->tableInfo(table).name.empty()) missing.emplace_back(table);
  return missing;
}

std::string describeCompanyDatabase(const CompanyEntry& company) {
  return company.onServer() ? serverAddressOf(company).describe() : company.databaseFile().string();
}

}  // namespace quill::erp

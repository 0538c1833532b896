#pragma once

#include <memory>
#include <string>
#include <vector>

#include "erp/CompanyEntry.h"
#include "platform/sql/ServerAddress.h"

namespace quill::sql {
class Connection;
}

namespace quill::erp {

// The server address of a company on a database server (its database and
// login included); AutomationError when the registered server is not one.
sql::ServerAddress serverAddressOf(const CompanyEntry& company);

// Opens a company's database, a file or a database on a server, with the
// errors of the SQL layer (a missing file, a server down or refusing the
// login, each saying which).
std::shared_ptr<sql::Connection> openCompanyDatabase(const CompanyEntry& company);

// The ERP tables a company's database does not have; a file is only read,
// so an empty file stays as it is.
std::vector<std::string> missingCompanyTables(const CompanyEntry& company);

// Where the company's database is, for messages: the file, or the server
// and database.
std::string describeCompanyDatabase(const CompanyEntry& company);

}  // namespace quill::erp

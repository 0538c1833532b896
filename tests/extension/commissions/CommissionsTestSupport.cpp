#include "tests/extension/commissions/CommissionsTestSupport.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "erp/CompanyDatabase.h"
#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/ReportOutput.h"

namespace quill::testing {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> rowsOf(const erp::CompanyEntry& company, const std::string& sql) {
  auto db = erp::openCompanyDatabase(company);
  std::vector<std::vector<std::string>> rows;
  for (auto rs = db->query(sql); !rs->eof(); rs->moveNext()) {
    std::vector<std::string> row;
    for (std::size_t i = 0; i < rs->fieldCount(); ++i) row.push_back(sql::textOrEmpty(rs->value(i)));
    rows.push_back(std::move(row));
  }
  db->close();
  return rows;
}

void runOn(const erp::CompanyEntry& company, const std::string& sql) {
  auto db = erp::openCompanyDatabase(company);
  db->execute(sql);
  db->close();
}

HeldWriteLock::HeldWriteLock(const erp::CompanyEntry& company) : db_(sql::Connection::open(company.databaseFile())) {
  db_->execute("BEGIN IMMEDIATE");
}

HeldWriteLock::~HeldWriteLock() {
  db_->execute("ROLLBACK");
  db_->close();
}

PdfFolder::PdfFolder() {
  static std::atomic<int> counter{0};
  folder_ = fs::temp_directory_path() /
            ("quill-commissions-pdf-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  ::setenv(ui::ReportOutput::kFolderVariable, folder_.c_str(), 1);
  ui::ReportOutput::forgetLastPrinted();
}

PdfFolder::~PdfFolder() {
  ::unsetenv(ui::ReportOutput::kFolderVariable);
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

}  // namespace quill::testing

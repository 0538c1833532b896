#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "erp/CompanyEntry.h"
#include "platform/automation/Variant.h"
#include "tests/platform/sql/TestServer.h"

namespace quill::erpapi::test {

using sql::testing::Backend;

// A copy of the demo ERP installation (its registry and the demo company's
// database) in a fresh temporary folder, for one test: tests change data
// without seeing each other's changes. The demo installation itself is
// generated once per test program; the folder goes with the object.
//
// On the server backend the company's database is a database of its own on
// the test server, made from a template database that holds the demo
// company, and the copied registry names that server.
class DemoCompanyCopy {
 public:
  explicit DemoCompanyCopy(Backend backend = Backend::Embedded);
  ~DemoCompanyCopy();
  DemoCompanyCopy(const DemoCompanyCopy&) = delete;
  DemoCompanyCopy& operator=(const DemoCompanyCopy&) = delete;

  // False on the server backend when no test server runs.
  bool available() const { return available_; }
  // The installation folder: the path the ERP API starts from.
  const std::filesystem::path& folder() const { return folder_; }
  const erp::CompanyEntry& company() const { return company_; }
  std::filesystem::path databaseFile() const;
  // What the extension's data-access object opens the same company with.
  std::string connectionString() const;

  // Every row of a query on the copy, each value as text ("<null>" for
  // Null), for comparing what is stored.
  using Rows = std::vector<std::vector<std::string>>;
  Rows rows(const std::string& sql, const std::vector<Variant>& parameters = {}) const;
  // The first value of the first row; Empty when there is none.
  Variant value(const std::string& sql, const std::vector<Variant>& parameters = {}) const;
  // Changes the data for a test's setting.
  void execute(const std::string& sql, const std::vector<Variant>& parameters = {}) const;
  // The header and the lines of one document, as rows.
  Rows document(std::string_view type, int series, int number, int year) const;
  // Every row of PRECOS.
  Rows prices() const;

 private:
  std::filesystem::path folder_;
  erp::CompanyEntry company_;
  bool available_ = true;
};

}  // namespace quill::erpapi::test

#include "tests/erp/api/DemoCompanyCopy.h"

#include <fmt/format.h>
#include <unistd.h>

#include <atomic>
#include <optional>

#include "erp/CompanyDatabase.h"
#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/Installation.h"
#include "erp/ServerCompany.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi::test {

namespace fs = std::filesystem;

namespace {

std::atomic<int> copies{0};

fs::path uniqueFolder(std::string_view purpose) {
  return fs::temp_directory_path() / fmt::format("quill-{}-{}-{}", purpose, static_cast<long>(::getpid()), copies++);
}

// The demo installation of this test program, removed when the program ends.
struct Template {
  fs::path folder = uniqueFolder("erpapi-demo");
  Template() {
    fs::remove_all(folder);
    erp::DemoCompany::create(folder, erp::DemoOptions{});
  }
  ~Template() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

const fs::path& templateFolder() {
  static Template demo;
  return demo.folder;
}

// The demo company's database on the test server, which each copy is
// created from; dropped when the program ends.
struct ServerTemplate {
  std::optional<sql::ServerAddress> server = sql::testing::testServer();
  std::string name = fmt::format("quill_demo_{}", static_cast<long>(::getpid()));
  ServerTemplate() {
    if (!server) return;
    auto address = *server;
    address.database = name;
    erp::ServerCompany::copy(
        templateFolder() / erp::Installation::kDataFolderName / (std::string(erp::demo::kDatabaseName) + ".db"),
        address);
  }
  ~ServerTemplate() {
    if (!server) return;
    try {
      auto address = *server;
      address.database = name;
      erp::ServerCompany::drop(address);
    } catch (...) {
    }
  }
};

const ServerTemplate& serverTemplate() {
  static ServerTemplate demo;
  return demo;
}

std::string textOf(const Variant& v) {
  if (v.isNull()) return "<null>";
  if (v.type() == VarType::Double) return fmt::format("{}", v.doubleValue());
  return vb::CStr(v);
}

}  // namespace

DemoCompanyCopy::DemoCompanyCopy(Backend backend) : folder_(uniqueFolder("erpapi")) {
  fs::remove_all(folder_);
  fs::copy(templateFolder(), folder_, fs::copy_options::recursive);
  auto installation = erp::Installation::open(folder_);
  company_ = *installation.findCompany(erp::demo::kCompanyCode);
  if (backend == Backend::Embedded) return;
  const auto& demo = serverTemplate();
  if (!demo.server) {
    available_ = false;
    return;
  }
  company_.databaseName = fmt::format("quill_c{}_{}", static_cast<long>(::getpid()), copies++);
  company_.server = fmt::format("{}:{}", demo.server->host, demo.server->port);
  company_.serverUser = demo.server->user;
  company_.serverPassword = demo.server->password;
  auto admin = sql::Connection::open(erp::ServerCompany::maintenanceDatabase(*demo.server));
  admin->execute(fmt::format("CREATE DATABASE {} TEMPLATE {}", company_.databaseName, demo.name));
  installation.registerCompany(company_);
}

DemoCompanyCopy::~DemoCompanyCopy() {
  std::error_code ec;
  fs::remove_all(folder_, ec);
  if (!company_.onServer()) return;
  try {
    erp::ServerCompany::drop(erp::serverAddressOf(company_));
  } catch (...) {
  }
}

fs::path DemoCompanyCopy::databaseFile() const {
  return folder_ / erp::Installation::kDataFolderName / (std::string(erp::demo::kDatabaseName) + ".db");
}

std::string DemoCompanyCopy::connectionString() const {
  if (company_.onServer())
    return fmt::format(
        "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source={};Initial Catalog={};User Id={};Password={}; ",
        company_.server, company_.databaseName, company_.serverUser, company_.serverPassword);
  return fmt::format(
      "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source={};Initial Catalog={};User Id=sa;Password=; ",
      (folder_ / erp::Installation::kDataFolderName).string(), erp::demo::kDatabaseName);
}

DemoCompanyCopy::Rows DemoCompanyCopy::rows(const std::string& sql, const std::vector<Variant>& parameters) const {
  auto db = erp::openCompanyDatabase(company_);
  auto rs = db->query(sql, parameters);
  Rows result;
  for (; !rs->eof(); rs->moveNext()) {
    std::vector<std::string> row;
    for (std::size_t i = 0; i < rs->fieldCount(); ++i) row.push_back(textOf(rs->value(i)));
    result.push_back(std::move(row));
  }
  return result;
}

Variant DemoCompanyCopy::value(const std::string& sql, const std::vector<Variant>& parameters) const {
  auto db = erp::openCompanyDatabase(company_);
  auto rs = db->query(sql, parameters);
  return rs->eof() ? Variant() : rs->value(std::size_t{0});
}

void DemoCompanyCopy::execute(const std::string& sql, const std::vector<Variant>& parameters) const {
  erp::openCompanyDatabase(company_)->execute(sql, parameters);
}

DemoCompanyCopy::Rows DemoCompanyCopy::document(std::string_view type, int series, int number, int year) const {
  std::vector<Variant> key{Variant(type), Variant(std::int32_t{series}), Variant(std::int32_t{number}),
                           Variant(std::int32_t{year})};
  Rows all = rows("SELECT * FROM DOCGCCAB WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?", key);
  Rows lines =
      rows("SELECT * FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ? ORDER BY NUMLIN", key);
  all.insert(all.end(), lines.begin(), lines.end());
  return all;
}

DemoCompanyCopy::Rows DemoCompanyCopy::prices() const {
  return rows("SELECT * FROM PRECOS ORDER BY ARTIGO, MOEDA, LINPRC");
}

}  // namespace quill::erpapi::test

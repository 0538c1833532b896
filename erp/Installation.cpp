#include "erp/Installation.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "erp/CompanySchema.h"
#include "erp/DatabaseFile.h"
#include "erp/ErpError.h"
#include "erp/ExtensionTables.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Database.h"
#include "platform/sql/Statement.h"
#include "platform/sql/Transaction.h"

namespace quill::erp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSource = "ERP";

constexpr const char* kRegistrySchema = R"sql(
CREATE TABLE IF NOT EXISTS EMPRESAS (
  CODIGO TEXT COLLATE NOCASE NOT NULL,
  NOME TEXT COLLATE NOCASE,
  PASTADADOS TEXT,
  BASEDADOS TEXT COLLATE NOCASE NOT NULL,
  SERVIDOR TEXT,
  UTILIZADORBD TEXT,
  PASSWORDBD TEXT,
  CONSTRAINT PK_EMPRESAS PRIMARY KEY (CODIGO)
);
CREATE TABLE IF NOT EXISTS UTILIZADORES (
  LOGIN TEXT COLLATE NOCASE NOT NULL,
  NOME TEXT COLLATE NOCASE,
  PASSWORD TEXT NOT NULL,
  INACTIVO INTEGER NOT NULL DEFAULT 0,
  CONSTRAINT PK_UTILIZADORES PRIMARY KEY (LOGIN)
);
)sql";

std::string_view trimmed(std::string_view text) {
  auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Data folders inside the installation are kept relative to it, so that the
// whole installation can be moved or copied.
std::string storedFolder(const fs::path& installation, const fs::path& dataFolder) {
  auto relative = dataFolder.lexically_proximate(installation);
  if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
  return dataFolder.generic_string();
}

fs::path resolvedFolder(const fs::path& installation, const std::string& stored) {
  fs::path p(stored);
  auto folder = (p.is_absolute() ? p : installation / p).lexically_normal();
  // "dados/" and "." name the same folders as "dados" and the installation.
  if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path()) folder = folder.parent_path();
  return folder;
}

// A company on a server keeps its server and login in columns that
// registries written before servers were known do not have.
constexpr const char* kServerColumns[] = {"SERVIDOR", "UTILIZADORBD", "PASSWORDBD"};

bool hasServerColumns(sql::Database& db) {
  return db.scalarInt("SELECT count(*) FROM pragma_table_info('EMPRESAS') WHERE name = 'SERVIDOR'") > 0;
}

void addServerColumns(sql::Database& db) {
  if (hasServerColumns(db)) return;
  for (const char* column : kServerColumns) db.exec(fmt::format("ALTER TABLE EMPRESAS ADD COLUMN {} TEXT", column));
}

std::string companyQuery(sql::Database& db, std::string_view rest) {
  return fmt::format("SELECT CODIGO, NOME, PASTADADOS, BASEDADOS, {} FROM EMPRESAS {}",
                     hasServerColumns(db) ? "SERVIDOR, UTILIZADORBD, PASSWORDBD" : "NULL, NULL, NULL", rest);
}

CompanyEntry readEntry(const fs::path& installation, const sql::Statement& row) {
  return CompanyEntry{row.text(0), row.text(1), resolvedFolder(installation, row.text(2)), row.text(3), row.text(4),
                      row.text(5), row.text(6)};
}

sql::Database openRegistry(const fs::path& file, sql::Database::Mode mode) {
  try {
    sql::Database db(file, mode);
    db.scalarInt("SELECT count(*) FROM EMPRESAS");
    db.scalarInt("SELECT count(*) FROM UTILIZADORES");
    return db;
  } catch (const AutomationError& e) {
    throw AutomationError(
        kErpDatabaseError, kSource,
        fmt::format("O registo de empresas \"{}\" não pode ser lido: {}", file.string(), e.description()));
  }
}

}  // namespace

bool Installation::exists(const fs::path& folder) {
  std::error_code ec;
  return fs::is_regular_file(folder / kRegistryFileName, ec);
}

Installation Installation::open(const fs::path& folder) {
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  if (folder.empty() || !fs::is_directory(absolute, ec))
    throw AutomationError(kErpDatabaseError, kSource,
                          fmt::format("A pasta de instalação do ERP \"{}\" não existe.", folder.string()));
  if (!exists(absolute))
    throw AutomationError(
        kErpDatabaseError, kSource,
        fmt::format("A pasta \"{}\" não tem o registo de empresas \"{}\".", folder.string(), kRegistryFileName));
  openRegistry(absolute / kRegistryFileName, sql::Database::Mode::ReadOnly);
  return Installation(absolute);
}

Installation Installation::create(const fs::path& folder) {
  if (folder.empty())
    throw AutomationError(vberr::InvalidCall, kSource, "A pasta de instalação do ERP não foi indicada.");
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec).lexically_normal();
  fs::create_directories(absolute / kDataFolderName, ec);
  if (ec)
    throw AutomationError(kErpDatabaseError, kSource,
                          fmt::format("Não foi possível criar a pasta \"{}\": {}", absolute.string(), ec.message()));
  {
    sql::Database db(absolute / kRegistryFileName, sql::Database::Mode::Create);
    db.exec(kRegistrySchema);
    addServerColumns(db);
  }
  return open(absolute);
}

std::optional<CompanyEntry> Installation::findCompany(std::string_view code) const {
  auto db = openRegistry(registryFile(), sql::Database::Mode::ReadOnly);
  auto query = db.prepare(companyQuery(db, "WHERE CODIGO = ?1"));
  query.bind(1, trimmed(code));
  if (!query.step()) return std::nullopt;
  return readEntry(folder_, query);
}

std::vector<CompanyEntry> Installation::companies() const {
  auto db = openRegistry(registryFile(), sql::Database::Mode::ReadOnly);
  auto query = db.prepare(companyQuery(db, "ORDER BY CODIGO"));
  std::vector<CompanyEntry> result;
  while (query.step()) result.push_back(readEntry(folder_, query));
  return result;
}

bool Installation::checkLogin(std::string_view login, std::string_view password) const {
  if (trimmed(login).empty()) return false;
  auto db = openRegistry(registryFile(), sql::Database::Mode::ReadOnly);
  auto query = db.prepare("SELECT PASSWORD, INACTIVO FROM UTILIZADORES WHERE LOGIN = ?1");
  query.bind(1, trimmed(login));
  if (!query.step()) return false;
  return query.integer(1) == 0 && query.text(0) == password;
}

void Installation::checkDatabaseName(std::string_view name) {
  bool plain = !name.empty() && name != "." && name != ".." && trimmed(name) == name &&
               std::none_of(name.begin(), name.end(), [](char c) {
                 return c == '/' || c == '\\' || c == ':' || c == '\0' || static_cast<unsigned char>(c) < 32;
               });
  if (!plain)
    throw AutomationError(vberr::InvalidCall, kSource, fmt::format("Nome de base de dados inválido: \"{}\".", name));
}

void Installation::registerCompany(const CompanyEntry& company) {
  auto code = trimmed(company.code);
  if (code.empty()) throw AutomationError(vberr::InvalidCall, kSource, "O código da empresa não foi indicado.");
  checkDatabaseName(company.databaseName);
  auto db = openRegistry(registryFile(), sql::Database::Mode::ReadWrite);
  auto dataFolder = fs::absolute(company.dataFolder).lexically_normal();
  addServerColumns(db);
  db.prepare(
        "INSERT OR REPLACE INTO EMPRESAS (CODIGO, NOME, PASTADADOS, BASEDADOS, SERVIDOR, UTILIZADORBD, PASSWORDBD) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
      .bindAll(code, company.name, storedFolder(folder_, dataFolder), company.databaseName, company.server,
               company.serverUser, company.serverPassword)
      .run();
}

void Installation::addUser(std::string_view login, std::string_view name, std::string_view password) {
  auto key = trimmed(login);
  if (key.empty()) throw AutomationError(vberr::InvalidCall, kSource, "O utilizador não foi indicado.");
  auto db = openRegistry(registryFile(), sql::Database::Mode::ReadWrite);
  db.prepare("INSERT OR REPLACE INTO UTILIZADORES (LOGIN, NOME, PASSWORD, INACTIVO) VALUES (?1, ?2, ?3, 0)")
      .bindAll(key, name, password)
      .run();
}

CompanyEntry Installation::createCompany(const NewCompany& company) {
  auto code = std::string(trimmed(company.code));
  if (code.empty()) throw AutomationError(vberr::InvalidCall, kSource, "O código da empresa não foi indicado.");
  checkDatabaseName(company.databaseName);
  if (findCompany(code))
    throw AutomationError(kErpDatabaseError, kSource, fmt::format("A empresa \"{}\" já existe.", code));
  CompanyEntry entry{code, company.name, dataFolder(), company.databaseName};
  std::error_code ec;
  if (fs::exists(entry.databaseFile(), ec))
    throw AutomationError(kErpDatabaseError, kSource,
                          fmt::format("A base de dados \"{}\" já existe.", entry.databaseFile().string()));

  DatabaseFile file(entry.databaseFile());
  {
    sql::Database db(file.workingPath(), sql::Database::Mode::Create);
    sql::Transaction transaction(db);
    CompanySchema::create(db);
    if (company.withExtensionTables) ExtensionTables::install(db);
    db.prepare("INSERT INTO PARAMETROS (CODIGO, NOMEEMP, MOEDANAC, RGIVANAC, LIGACTB) VALUES (1, ?1, ?2, ?3, ?4)")
        .bindAll(company.name, company.nationalCurrency, company.nationalVatRegime, company.linkedToAccounting ? -1 : 0)
        .run();
    db.prepare("INSERT INTO MOEDAS (CODIGO, DESCR, SIMBOLO, CASASDEC, CAMBIO) VALUES (?1, ?1, ?1, 2, 1)")
        .bindAll(company.nationalCurrency)
        .run();
    db.prepare("INSERT INTO RGIVA (CODIGO, DESCR, TX1, TX2, TX3, TX4) VALUES (?1, ?1, ?2, ?3, ?4, ?5)")
        .bindAll(company.nationalVatRegime, company.vatRates[0], company.vatRates[1], company.vatRates[2],
                 company.vatRates[3])
        .run();
    transaction.commit();
    db.exec("PRAGMA journal_mode=WAL");
  }
  file.commit();
  registerCompany(entry);
  return entry;
}

}  // namespace quill::erp

#include "erp/DemoCompany.h"

#include <fmt/format.h>

#include <cctype>
#include <string>

#include "erp/CompanyDatabase.h"
#include "erp/CompanySchema.h"
#include "erp/DatabaseFile.h"
#include "erp/DemoCatalog.h"
#include "erp/DemoCodes.h"
#include "erp/DemoCustomers.h"
#include "erp/DemoModel.h"
#include "erp/DemoRandom.h"
#include "erp/DemoReferenceData.h"
#include "erp/DemoSales.h"
#include "erp/ExtensionTables.h"
#include "erp/FolderLock.h"
#include "erp/Installation.h"
#include "erp/ServerCompany.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Database.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/Statement.h"
#include "platform/sql/Transaction.h"

namespace quill::erp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDemoInfoTable = R"sql(
CREATE TABLE DEMOINFO (
  CODIGO INTEGER NOT NULL,
  VERSAO INTEGER NOT NULL,
  TAMANHO TEXT NOT NULL,
  SEMENTE TEXT NOT NULL,
  ARTIGOS INTEGER NOT NULL,
  CLIENTES INTEGER NOT NULL,
  LINHAS INTEGER NOT NULL,
  CONSTRAINT PK_DEMOINFO PRIMARY KEY (CODIGO)
);
)sql";

constexpr std::string_view kLockFileName = ".quilldemo.lock";

void step(const DemoOptions& options, std::string_view name) {
  if (options.progress) options.progress(name);
}

bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool madeWith(const std::optional<DemoCompanyInfo>& info, const DemoOptions& options) {
  return info && info->version == DemoCompany::kGeneratorVersion && info->size == options.size &&
         info->seed == options.seed;
}

// The company's database file in the installation's data folder, generated
// aside and put in place; `lastStep` names the step before it is put in place.
CompanyEntry generateFile(const Installation& installation, const DemoOptions& options, std::string_view lastStep) {
  CompanyEntry entry{options.companyCode, options.companyName, installation.dataFolder(),
                     options.effectiveDatabaseName()};
  Installation::checkDatabaseName(entry.databaseName);
  DatabaseFile file(entry.databaseFile());
  {
    sql::Database db(file.workingPath(), sql::Database::Mode::Create);
    DemoCompany::generate(db, options);
  }
  step(options, lastStep);
  file.commit();
  return entry;
}

CompanyEntry registered(Installation& installation, const CompanyEntry& entry) {
  installation.registerCompany(entry);
  installation.addUser(demo::kLogin, "Utilizador de demonstração", demo::kPassword);
  return *installation.findCompany(entry.code);
}

CompanyEntry createLocked(const fs::path& erpFolder, const DemoOptions& options) {
  auto installation = Installation::create(erpFolder);
  return registered(installation, generateFile(installation, options, "register"));
}

}  // namespace

void DemoCompany::generate(sql::Database& db, const DemoOptions& options) {
  // A bulk load into a file nobody else sees yet: no journal, no syncing,
  // indexes after the data. A failure throws the whole file away.
  db.exec(
      "PRAGMA page_size=8192; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA temp_store=MEMORY; "
      "PRAGMA cache_size=-262144;");

  DemoModel model;
  model.options = options;
  model.scale = DemoScale::of(options.size);
  DemoRandom random(options.seed);

  {
    sql::Transaction transaction(db);
    step(options, "schema");
    CompanySchema::createTables(db);
    ExtensionTables::install(db);
    db.exec(kDemoInfoTable);
    step(options, "reference data");
    DemoReferenceData::write(db, model, random);
    step(options, "articles and prices");
    DemoCatalog::build(model, random);
    DemoCatalog::write(db, model);
    step(options, "clients, discounts and commission rates");
    DemoCustomers::build(model, random);
    DemoCustomers::write(db, model, random);
    step(options, "sales documents");
    DemoSales::write(db, model, random);
    db.prepare(
          "INSERT INTO DEMOINFO (CODIGO, VERSAO, TAMANHO, SEMENTE, ARTIGOS, CLIENTES, LINHAS) "
          "VALUES (1, ?1, ?2, ?3, (SELECT count(*) FROM ARTIGOS), (SELECT count(*) FROM CLIENTES), "
          "(SELECT count(*) FROM DOCGCLIN))")
        .bindAll(kGeneratorVersion, demoSizeName(options.size), std::to_string(options.seed))
        .run();
    transaction.commit();
  }

  step(options, "indexes");
  CompanySchema::createIndexes(db);
  db.exec("PRAGMA analysis_limit=1000; ANALYZE;");
  // The host, the bridge and the extension share the file from now on.
  db.exec("PRAGMA journal_mode=WAL;");
}

CompanyEntry DemoCompany::create(const fs::path& erpFolder, const DemoOptions& options) {
  auto installation = Installation::create(erpFolder);
  FolderLock lock(installation.folder() / kLockFileName);
  return createLocked(installation.folder(), options);
}

CompanyEntry DemoCompany::ensure(const fs::path& erpFolder, const DemoOptions& options, bool* reused) {
  if (reused) *reused = false;
  auto installation = Installation::create(erpFolder);
  FolderLock lock(installation.folder() / kLockFileName);
  if (auto entry = installation.findCompany(options.companyCode)) {
    if (!entry->onServer() && madeWith(readInfo(entry->databaseFile()), options) &&
        sameText(entry->databaseName, options.effectiveDatabaseName()) &&
        entry->dataFolder == installation.dataFolder()) {
      if (!installation.checkLogin(demo::kLogin, demo::kPassword))
        installation.addUser(demo::kLogin, "Utilizador de demonstração", demo::kPassword);
      if (reused) *reused = true;
      return *entry;
    }
  }
  return createLocked(installation.folder(), options);
}

CompanyEntry DemoCompany::ensureOnServer(const fs::path& erpFolder, const DemoOptions& options, const Server& server,
                                         bool force, bool* reused) {
  if (reused) *reused = false;
  auto installation = Installation::create(erpFolder);
  FolderLock lock(installation.folder() / kLockFileName);
  CompanyEntry entry{options.companyCode,
                     options.companyName,
                     installation.dataFolder(),
                     options.effectiveDatabaseName(),
                     server.dataSource,
                     server.user,
                     server.password};
  Installation::checkDatabaseName(entry.databaseName);
  auto address = serverAddressOf(entry);
  if (!force && madeWith(readInfo(entry), options)) {
    if (reused) *reused = true;
    return registered(installation, entry);
  }
  auto file = entry;
  file.server.clear();
  if (force || !madeWith(readInfo(file.databaseFile()), options)) file = generateFile(installation, options, "file");
  ServerCompany::copy(file.databaseFile(), address, [&](std::string_view name) { step(options, name); });
  step(options, "register");
  return registered(installation, entry);
}

std::optional<DemoCompanyInfo> DemoCompany::readInfo(const fs::path& databaseFile) {
  std::error_code ec;
  if (!fs::is_regular_file(databaseFile, ec)) return std::nullopt;
  CompanyEntry file;
  file.dataFolder = databaseFile.parent_path();
  file.databaseName = databaseFile.stem().string();
  return readInfo(file);
}

std::optional<DemoCompanyInfo> DemoCompany::readInfo(const CompanyEntry& company) {
  try {
    if (!company.onServer() && !fs::is_regular_file(company.databaseFile())) return std::nullopt;
    auto db = openCompanyDatabase(company);
    auto row = db->query("SELECT VERSAO, TAMANHO, SEMENTE, ARTIGOS, CLIENTES, LINHAS FROM DEMOINFO WHERE CODIGO = 1");
    if (row->eof()) return std::nullopt;
    DemoCompanyInfo info;
    info.version = sql::fieldLong(*row, "VERSAO");
    if (!parseDemoSize(sql::fieldText(*row, "TAMANHO"), info.size)) return std::nullopt;
    info.seed = std::stoull(sql::fieldText(*row, "SEMENTE"));
    info.articles = sql::fieldLong(*row, "ARTIGOS");
    info.clients = sql::fieldLong(*row, "CLIENTES");
    info.documentLines = sql::fieldLong(*row, "LINHAS");
    return info;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace quill::erp

// The data-access component on the large company: reading an article record
// as the sales-line hooks do, and saving a thousand edited rows.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/erp/BenchCompany.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"

namespace {

namespace fs = std::filesystem;
using quill::DataAccess;
using quill::Variant;

std::string connectionString(const fs::path& folder, const std::string& database) {
  return "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=" + folder.string() + ";Initial Catalog=" + database +
         ";User Id=quill;Password=quill; ";
}

std::string articleRecord(const std::string& code) {
  return "SELECT       * FROM         ARTIGOS LEFT OUTER JOIN                 U_ARTIGOS ON ARTIGOS.CODIGO = "
         "U_ARTIGOS.CODIGO WHERE        (ARTIGOS.CODIGO = '" +
         quill::sql::sqlQuote(code) + "') ";
}

// Article codes spread over the whole table.
std::vector<std::string> articleCodes(DataAccess& data, int count) {
  auto rs = data.OpenRecordset("SELECT CODIGO FROM ARTIGOS ORDER BY CODIGO");
  std::vector<std::string> codes;
  const int step = std::max(1, rs->recordCount() / count);
  for (int i = 0; i < rs->recordCount() && static_cast<int>(codes.size()) < count; i += step) {
    rs->setAbsolutePosition(i + 1);
    codes.push_back(rs->value("CODIGO").stringValue());
  }
  return codes;
}

DataAccess& openLargeCompany() {
  static DataAccess data;
  if (!data.isOpen()) {
    const auto& company = quill::bench::largeCompany();
    if (!data.OpenConnection(connectionString(company.dataFolder, company.databaseName)))
      throw std::runtime_error(data.lastError());
  }
  return data;
}

// The article record of the sales-line hooks, for the articles of a document
// being edited: the same few dozen articles come back line after line.
void BM_OpenRecordset_ArticleRecord(benchmark::State& state) {
  DataAccess& data = openLargeCompany();
  std::vector<std::string> statements;
  for (const auto& code : articleCodes(data, 40)) statements.push_back(articleRecord(code));
  std::size_t i = 0;
  for (auto _ : state) {
    auto rs = data.OpenRecordset(statements[i++ % statements.size()]);
    if (rs->recordCount() != 1) state.SkipWithError("article not found");
    benchmark::DoNotOptimize(rs);
  }
}
BENCHMARK(BM_OpenRecordset_ArticleRecord)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same query for an article not asked for before: the statement is
// translated and prepared anew each time.
void BM_OpenRecordset_ArticleRecord_FirstTime(benchmark::State& state) {
  DataAccess& data = openLargeCompany();
  std::vector<std::string> statements;
  for (const auto& code : articleCodes(data, 4000)) statements.push_back(articleRecord(code));
  std::size_t i = 0;
  for (auto _ : state) {
    auto rs = data.OpenRecordset(statements[i++ % statements.size()]);
    benchmark::DoNotOptimize(rs);
  }
}
BENCHMARK(BM_OpenRecordset_ArticleRecord_FirstTime)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Sorting by a text column makes the database compare text all the way: the
// clients by name with the code collation, against SQLite's own ASCII-only
// NOCASE on the same rows as the baseline.
void orderClientsByName(benchmark::State& state, const std::string& collation) {
  DataAccess& data = openLargeCompany();
  const std::string query = "SELECT CODIGO, NOME FROM CLIENTES ORDER BY NOME" + collation + ", CODIGO";
  for (auto _ : state) {
    auto rs = data.OpenRecordset(query);
    benchmark::DoNotOptimize(rs);
  }
}
void BM_OrderBy_ClientName_CodeCollation(benchmark::State& state) { orderClientsByName(state, ""); }
void BM_OrderBy_ClientName_NoCaseBaseline(benchmark::State& state) { orderClientsByName(state, " COLLATE NOCASE"); }
BENCHMARK(BM_OrderBy_ClientName_CodeCollation)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_OrderBy_ClientName_NoCaseBaseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Saving changes writes to the database: it works on its own copy of the
// large company, made once.
struct SaveCopy {
  fs::path folder = fs::temp_directory_path() / fmt::format("quill-bench-sql-{}", static_cast<long>(::getpid()));
  DataAccess data;
  SaveCopy() {
    const auto& company = quill::bench::largeCompany();
    fs::remove_all(folder);
    fs::create_directories(folder);
    {
      // Everything in the main file, so that the copy is the whole database.
      auto source = quill::sql::Connection::open(company.databaseFile);
      source->execute("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    fs::copy_file(company.databaseFile, folder / (company.databaseName + ".db"));
    if (!data.OpenConnection(connectionString(folder, company.databaseName)))
      throw std::runtime_error(data.lastError());
    // Every article gets its scheduled-prices row, as the price window seeds them.
    data.Execute(
        "INSERT U_QOR_PRECOS ([ARTIGO], [DATAACTIVACAO], [PVP1SIVA], [PVP1CIVA], [PVP2SIVA], [PVP2CIVA], [PVP3SIVA], "
        "[PVP3CIVA], [DATAACTUALIZACAO], [HPVP1SIVA], [HPVP1CIVA], [HPVP2SIVA], [HPVP2CIVA], [HPVP3SIVA], "
        "[HPVP3CIVA]) SELECT [CODIGO], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], "
        "[PVP3_COM_IVA], GETDATE (), [PVPSIVA], [PVPCIVA], [PVALSIVA], [PVALCIVA], [PVP3_SEM_IVA], [PVP3_COM_IVA] "
        "FROM ARTIGOS WHERE NOT EXISTS (SELECT * FROM U_QOR_PRECOS WHERE U_QOR_PRECOS.ARTIGO=ARTIGOS.CODIGO)");
  }
  ~SaveCopy() {
    data.CloseConnection();
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

// A thousand scheduled prices changed in memory (new prices, the old ones
// into the history, the date of the change) and saved in one go.
void BM_SaveRecordset_1000Rows(benchmark::State& state) {
  static SaveCopy copy;
  DataAccess& data = copy.data;
  const std::string query =
      "SELECT TOP 1000 U_QOR_PRECOS.ARTIGO, ARTIGOS.NOME, U_QOR_PRECOS.PVP1SIVA, U_QOR_PRECOS.PVP1SIVA AS "
      "PVP1SIVANEW, U_QOR_PRECOS.HPVP1SIVA, U_QOR_PRECOS.DATAACTUALIZACAO FROM U_QOR_PRECOS INNER JOIN ARTIGOS ON "
      "U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO ORDER BY ARTIGOS.CODIGO";
  double change = 0.01;
  for (auto _ : state) {
    state.PauseTiming();
    auto rs = data.OpenRecordset(query);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
      rs->setValue("HPVP1SIVA", rs->value("PVP1SIVA"));
      const Variant& price = rs->value("PVP1SIVA");
      rs->setValue("PVP1SIVA", Variant((price.isNumeric() ? price.doubleValue() : 0.0) + change));
      rs->setValue("DATAACTUALIZACAO", Variant("16-03-2026"));
    }
    change = -change;
    if (rs->recordCount() != 1000) state.SkipWithError("fewer than 1000 rows");
    state.ResumeTiming();
    data.SaveRecordset(*rs);
  }
}
BENCHMARK(BM_SaveRecordset_1000Rows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

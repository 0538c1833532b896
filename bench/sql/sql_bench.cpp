// The data-access component on the large company: reading an article record
// as the sales-line hooks do, and saving a thousand edited rows. Each on the
// embedded database and on the database server; on the server beside the
// same statements through bare ODBC on the same database.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/erp/BareOdbc.h"
#include "bench/erp/BenchServer.h"
#include "bench/erp/MeanTimes.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"

namespace {

namespace fs = std::filesystem;

// Many short repetitions, interleaved with the other cases' (MeanTimes), so
// that a case and its baseline see the same machine.
void repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.2)->Repetitions(10)->ReportAggregatesOnly(true);
}
using quill::DataAccess;
using quill::Variant;
using quill::bench::Backend;
using quill::bench::BareOdbc;
using quill::bench::BenchCompany;

std::string connectionString(const BenchCompany& company) {
  return quill::buildConnectionString("MSDataShape", "SQLOLEDB", company.dataSource(), company.databaseName,
                                      company.onServer() ? company.user : "quill",
                                      company.onServer() ? company.password : "quill");
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

// The large company of a backend, opened once; nullptr having skipped the case.
DataAccess* openLargeCompany(benchmark::State& state, Backend backend) {
  static std::map<Backend, std::unique_ptr<DataAccess>> opened;
  auto& data = opened[backend];
  if (data) return data.get();
  const BenchCompany* company = quill::bench::companyFor(state, backend);
  if (!company) return nullptr;
  data = std::make_unique<DataAccess>();
  if (!data->OpenConnection(connectionString(*company))) throw std::runtime_error(data->lastError());
  return data.get();
}

std::vector<std::string> articleRecords(DataAccess& data, int count) {
  std::vector<std::string> statements;
  for (const auto& code : articleCodes(data, count)) statements.push_back(articleRecord(code));
  return statements;
}

// The article record of the sales-line hooks, for the articles of a document
// being edited: the same few dozen articles come back line after line.
void BM_OpenRecordset_ArticleRecord(benchmark::State& state, Backend backend) {
  DataAccess* data = openLargeCompany(state, backend);
  if (!data) return;
  const auto statements = articleRecords(*data, 40);
  std::size_t i = 0;
  for (auto _ : state) {
    auto rs = data->OpenRecordset(statements[i++ % statements.size()]);
    if (rs->recordCount() != 1) state.SkipWithError("article not found");
    benchmark::DoNotOptimize(rs);
  }
}
BENCHMARK_CAPTURE(BM_OpenRecordset_ArticleRecord, Embedded, Backend::Embedded)->Apply(repeated);
BENCHMARK_CAPTURE(BM_OpenRecordset_ArticleRecord, Server, Backend::Server)->Apply(repeated);

// The same statements through bare ODBC: their one shape prepared once on
// the server (as the backend shares it), run with each code bound, every
// column of the row read.
void BM_OpenRecordset_ArticleRecord_BareOdbc(benchmark::State& state) {
  DataAccess* data = openLargeCompany(state, Backend::Server);
  if (!data) return;
  auto& odbc = BareOdbc::connectionTo(quill::bench::serverAddressOf(*quill::bench::largeCompanyOnServer()));
  std::vector<std::vector<BareOdbc::Value>> codes;
  std::string shape;
  for (const auto& statement : articleRecords(*data, 40)) {
    auto form = BareOdbc::serverForm(statement);
    shape = form.sql;
    codes.push_back(std::move(form.literals));
  }
  auto prepared = odbc.prepare(shape);
  std::size_t i = 0;
  for (auto _ : state)
    if (odbc.run(prepared, codes[i++ % codes.size()]) != 1) state.SkipWithError("article not found");
}
BENCHMARK(BM_OpenRecordset_ArticleRecord_BareOdbc)->Apply(repeated);

// The same query for an article not asked for before: the statement is
// translated anew each time (on the embedded database also prepared anew;
// on the server it shares the prepared statement of its shape).
void BM_OpenRecordset_ArticleRecord_FirstTime(benchmark::State& state, Backend backend) {
  DataAccess* data = openLargeCompany(state, backend);
  if (!data) return;
  const auto statements = articleRecords(*data, 4000);
  std::size_t i = 0;
  for (auto _ : state) {
    auto rs = data->OpenRecordset(statements[i++ % statements.size()]);
    benchmark::DoNotOptimize(rs);
  }
}
BENCHMARK_CAPTURE(BM_OpenRecordset_ArticleRecord_FirstTime, Embedded, Backend::Embedded)->Apply(repeated);
BENCHMARK_CAPTURE(BM_OpenRecordset_ArticleRecord_FirstTime, Server, Backend::Server)->Apply(repeated);

// Sorting by a text column makes the database compare text all the way: the
// clients by name with the code collation, against SQLite's own ASCII-only
// NOCASE on the same rows as the baseline (embedded only: NOCASE is SQLite's).
void orderClientsByName(benchmark::State& state, const std::string& collation) {
  DataAccess* data = openLargeCompany(state, Backend::Embedded);
  const std::string query = "SELECT CODIGO, NOME FROM CLIENTES ORDER BY NOME" + collation + ", CODIGO";
  for (auto _ : state) {
    auto rs = data->OpenRecordset(query);
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

// Saving changes writes to the database: each backend works on its own copy
// of the large company, made when the program starts.
constexpr const char* kSaveCopyName = "QUILL_BENCH_SQL_SAVE";

struct SaveCopy {
  fs::path folder;  // the embedded copy's, removed at the end
  std::string problem;
  std::optional<BenchCompany> company;
  DataAccess data;

  explicit SaveCopy(Backend backend) {
    if (backend == Backend::Embedded) {
      const auto& large = quill::bench::largeCompany();
      folder = fs::temp_directory_path() / fmt::format("quill-bench-sql-{}", static_cast<long>(::getpid()));
      fs::remove_all(folder);
      fs::create_directories(folder);
      {
        // Everything in the main file, so that the copy is the whole database.
        auto source = quill::sql::Connection::open(large.databaseFile);
        source->execute("PRAGMA wal_checkpoint(TRUNCATE)");
      }
      fs::copy_file(large.databaseFile, folder / (large.databaseName + ".db"));
      company = large;
      company->dataFolder = folder;
    } else {
      company = quill::bench::serverCopyOfLarge(kSaveCopyName);
      if (!company) {
        problem = quill::bench::serverProblem();
        return;
      }
    }
    if (!data.OpenConnection(connectionString(*company))) throw std::runtime_error(data.lastError());
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
    if (!folder.empty()) fs::remove_all(folder, ec);
    if (company && company->onServer()) quill::bench::dropServerCopy(*company);
  }

  static SaveCopy& of(Backend backend) {
    static std::map<Backend, std::unique_ptr<SaveCopy>> copies;
    auto& copy = copies[backend];
    if (!copy) copy = std::make_unique<SaveCopy>(backend);
    return *copy;
  }
};

const std::string kThousandPrices =
    "SELECT TOP 1000 U_QOR_PRECOS.ARTIGO, ARTIGOS.NOME, U_QOR_PRECOS.PVP1SIVA, U_QOR_PRECOS.PVP1SIVA AS "
    "PVP1SIVANEW, U_QOR_PRECOS.HPVP1SIVA, U_QOR_PRECOS.DATAACTUALIZACAO FROM U_QOR_PRECOS INNER JOIN ARTIGOS ON "
    "U_QOR_PRECOS.ARTIGO = ARTIGOS.CODIGO ORDER BY ARTIGOS.CODIGO";

// A thousand scheduled prices changed in memory (new prices, the old ones
// into the history, the date of the change) and saved in one go.
void BM_SaveRecordset_1000Rows(benchmark::State& state, Backend backend) {
  SaveCopy& copy = SaveCopy::of(backend);
  if (!copy.problem.empty()) {
    state.SkipWithError(copy.problem.c_str());
    return;
  }
  DataAccess& data = copy.data;
  double change = 0.01;
  for (auto _ : state) {
    state.PauseTiming();
    auto rs = data.OpenRecordset(kThousandPrices);
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
BENCHMARK_CAPTURE(BM_SaveRecordset_1000Rows, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_SaveRecordset_1000Rows, Server, Backend::Server)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What the save sends the server, through bare ODBC: in one transaction, an
// update a row by its key with the new price, the old one and the date.
void BM_SaveRecordset_1000Rows_BareOdbc(benchmark::State& state) {
  SaveCopy& copy = SaveCopy::of(Backend::Server);
  if (!copy.problem.empty()) {
    state.SkipWithError(copy.problem.c_str());
    return;
  }
  auto& odbc = BareOdbc::connectionTo(quill::bench::serverAddressOf(*copy.company));
  auto update = odbc.prepare(
      "UPDATE \"u_qor_precos\" SET \"pvp1siva\" = ?, \"hpvp1siva\" = ?, \"dataactualizacao\" = ? WHERE \"artigo\" = ?");
  auto rs = copy.data.OpenRecordset(kThousandPrices);
  struct Price {
    std::string artigo;
    double price;
  };
  std::vector<Price> prices;
  for (rs->moveFirst(); !rs->eof(); rs->moveNext())
    prices.push_back({rs->value("ARTIGO").stringValue(),
                      rs->value("PVP1SIVA").isNumeric() ? rs->value("PVP1SIVA").doubleValue() : 0.0});
  using Value = BareOdbc::Value;
  double change = 0.01;
  for (auto _ : state) {
    odbc.begin();
    for (auto& row : prices) {
      const double old = row.price;
      row.price += change;
      if (odbc.run(update, {Value::ofReal(row.price), Value::ofReal(old), Value::ofText("2026-03-16 00:00:00"),
                            Value::ofText(row.artigo)}) != 1)
        state.SkipWithError("a row was not updated");
    }
    odbc.commit();
    change = -change;
  }
}
BENCHMARK(BM_SaveRecordset_1000Rows_BareOdbc)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  // The companies and the copies first, so that making them is not timed,
  // and the server's copy before anything connects to the large company
  // there (the server copies a database nobody is connected to).
  quill::bench::largeCompany();
  quill::bench::largeCompanyOnServer();
  SaveCopy::of(Backend::Server);
  SaveCopy::of(Backend::Embedded);
  const auto means = quill::bench::runWithMeanTimes(&argc, argv, quill::bench::casesToRun());
  quill::bench::printMeans(means);
  quill::bench::printRatio(means, "BM_OpenRecordset_ArticleRecord/Server", "BM_OpenRecordset_ArticleRecord_BareOdbc",
                           1.5);
  quill::bench::printRatio(means, "BM_SaveRecordset_1000Rows/Server", "BM_SaveRecordset_1000Rows_BareOdbc", 1.5);
  return 0;
}

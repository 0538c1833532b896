// One month's commissions on the large company (1,000,000 document lines):
// the whole calculation as the window runs it (the month probe, the summing
// statement, the month's delete and one insert per seller and group, in one
// transaction), on the embedded database beside SQLite running the summing
// statement alone on the same file, and on the database server beside the
// summing statement alone and beside every statement of the calculation,
// both through bare ODBC on the same database. The
// calculation writes, so each backend runs it on a copy of the large
// company of its own: the embedded copy made once and reused, the server's
// made anew when the program starts and dropped at its end.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "bench/erp/BareOdbc.h"
#include "bench/erp/BenchCompany.h"
#include "bench/erp/BenchServer.h"
#include "bench/erp/MeanTimes.h"
#include "bench/erp/RawSqlite.h"
#include "erp/DemoCompany.h"
#include "extension/commissions/ComissoesMensais.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlShim.h"

namespace {

using namespace quill;
using bench::Backend;
using bench::BenchCompany;
namespace fs = std::filesystem;

const std::string kAno = "2026";
constexpr int kMes = 3;
constexpr const char* kServerCopyName = "QUILL_BENCH_COMMISSIONS";

// The large company copied into a folder of this program's, again only
// when the large company was made anew.
const BenchCompany& embeddedCopy() {
  static const BenchCompany c = [] {
    const auto& large = bench::largeCompany();
    BenchCompany out = large;
    out.dataFolder =
        fs::temp_directory_path() / fmt::format("quill-commission-bench-v{}", erp::DemoCompany::kGeneratorVersion);
    out.databaseFile = out.dataFolder / large.databaseFile.filename();
    std::error_code ec;
    const bool fresh = fs::exists(out.databaseFile, ec) &&
                       fs::last_write_time(out.databaseFile, ec) >= fs::last_write_time(large.databaseFile, ec);
    if (!fresh) {
      fmt::print(stderr, "Copying the large company to {} ...\n", out.dataFolder.string());
      fs::remove_all(out.dataFolder, ec);
      fs::create_directories(out.dataFolder);
      fs::copy_file(large.databaseFile, out.databaseFile);
    }
    return out;
  }();
  return c;
}

const std::optional<BenchCompany>& serverCopy() {
  static const std::optional<BenchCompany> c = bench::serverCopyOfLarge(kServerCopyName);
  return c;
}

const BenchCompany* copyOn(benchmark::State& state, Backend backend) {
  if (backend == Backend::Embedded) return &embeddedCopy();
  if (serverCopy()) return &*serverCopy();
  state.SkipWithError(bench::serverProblem().c_str());
  return nullptr;
}

std::shared_ptr<DataAccess> open(const BenchCompany& company) {
  auto data = std::make_shared<DataAccess>();
  if (!data->OpenConnection(buildConnectionString("MSDataShape", "SQLOLEDB", company.dataSource(), company.databaseName,
                                                  company.onServer() ? company.user : "sa", company.password))) {
    fmt::print(stderr, "cannot open {} on {}: {}\n", company.databaseName, company.dataSource(), data->lastError());
    std::abort();
  }
  ComissoesMensais(*data).criarTabela();
  return data;
}

void BM_Sqlite_SomaBases_Large(benchmark::State& state) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(embeddedCopy().databaseFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    std::abort();
  bench::addCodeCollation(db);
  const std::string sql = sql::SqlShim().translate(ComissoesMensais::sqlBases(kAno, kMes));
  int rows = 0;
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      state.SkipWithError(sqlite3_errmsg(db));
      break;
    }
    rows = 0;
    double sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      sum += sqlite3_column_double(statement, 0);
      benchmark::DoNotOptimize(sqlite3_column_text(statement, 1));
      benchmark::DoNotOptimize(sqlite3_column_text(statement, 2));
      sum += sqlite3_column_double(statement, 3);
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  state.counters["rows"] = rows;
}
BENCHMARK(BM_Sqlite_SomaBases_Large)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The summing statement as the server backend sends it, alone.
void BM_SomaBases_Large_BareOdbc(benchmark::State& state) {
  const BenchCompany* company = copyOn(state, Backend::Server);
  if (!company) return;
  long rows = 0;
  try {
    auto& odbc = bench::BareOdbc::connectionTo(bench::serverAddressOf(*company));
    auto statement = odbc.prepareSystem(ComissoesMensais::sqlBases(kAno, kMes));
    for (auto _ : state) rows = odbc.run(statement);
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
  state.counters["rows"] = static_cast<double>(rows);
}
// The server's cases in repetitions interleaved with each other (MeanTimes),
// so that the calculation and its baseline see the same machine.
void repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->Iterations(2)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();
}
BENCHMARK(BM_SomaBases_Large_BareOdbc)->Apply(repeated);

// Every statement the calculation sends the server, through bare ODBC: the
// month probe, the summing statement, and in one transaction the month's
// delete and, a base at a time, the empty row set the new row is added to
// and the row's insert.
void BM_CalculaComissoes_Large_BareOdbc(benchmark::State& state) {
  const BenchCompany* company = copyOn(state, Backend::Server);
  if (!company) return;
  using Value = bench::BareOdbc::Value;
  try {
    std::vector<std::vector<Value>> rows;
    {
      auto data = open(*company);
      auto bases = ComissoesMensais(*data).bases(kAno, kMes);
      for (bases->moveFirst(); !bases->eof(); bases->moveNext())
        rows.push_back({Value::ofText(bases->value("VENDEDOR").stringValue()), Value::ofInteger(kMes),
                        Value::ofText(kAno), Value::ofText(bases->value("Grupo").stringValue()),
                        Value::ofReal(bases->value("Comissao").doubleValue()),
                        Value::ofReal(bases->value("Peso").doubleValue())});
    }
    auto& odbc = bench::BareOdbc::connectionTo(bench::serverAddressOf(*company));
    const std::string month = fmt::format("Ano={} and Mes={}", kAno, kMes);
    auto probe = odbc.prepareSystem("Select * from U_qor_ComMensais where " + month);
    auto sum = odbc.prepareSystem(ComissoesMensais::sqlBases(kAno, kMes));
    auto clear = odbc.prepareSystem(fmt::format("Delete U_qor_ComMensais where Ano={}  AND Mes={}", kAno, kMes));
    auto empty = odbc.prepareSystem("Select * from U_qor_ComMensais where Id=-10");
    auto insert = odbc.prepare(
        "INSERT INTO \"u_qor_commensais\" (\"vendedor\", \"mes\", \"ano\", \"grupo\", \"comissao\", "
        "\"valorbase\") VALUES (?, ?, ?, ?, ?, ?)");
    for (auto _ : state) {
      odbc.run(probe);
      odbc.run(sum);
      odbc.begin();
      odbc.run(clear);
      for (const auto& row : rows) {
        odbc.run(empty);
        odbc.run(insert, row);
      }
      odbc.commit();
    }
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
}
BENCHMARK(BM_CalculaComissoes_Large_BareOdbc)->Apply(repeated);

void BM_CalculaComissoes_Large(benchmark::State& state, Backend backend) {
  const BenchCompany* company = copyOn(state, backend);
  if (!company) return;
  auto data = open(*company);
  ComissoesMensais comissoes(*data);
  int rows = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(comissoes.calculado(kAno, kMes));
    auto bases = comissoes.bases(kAno, kMes);
    comissoes.gravar(kAno, kMes, *bases);
    rows = bases->recordCount();
  }
  state.counters["rows"] = rows;
}
BENCHMARK_CAPTURE(BM_CalculaComissoes_Large, Embedded, Backend::Embedded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_CalculaComissoes_Large, Server, Backend::Server)->Apply(repeated);

}  // namespace

int main(int argc, char** argv) {
  embeddedCopy();
  serverCopy();
  const auto means = bench::runWithMeanTimes(&argc, argv, bench::casesToRun());
  bench::printMeans(means);
  bench::printRatio(means, "BM_CalculaComissoes_Large/Embedded", "BM_Sqlite_SomaBases_Large", 2);
  bench::printRatio(means, "BM_CalculaComissoes_Large/Server", "BM_CalculaComissoes_Large_BareOdbc", 1.5);
  if (serverCopy()) bench::dropServerCopy(*serverCopy());
  return 0;
}

// One month's commissions on the large company (1,000,000 document lines):
// the whole calculation as the window runs it (the month probe, the summing
// statement, the month's delete and one insert per seller and group, in one
// transaction), beside SQLite running the summing statement alone on the
// same file. The calculation writes, so it runs on a copy of the large
// company of its own, made once and reused.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/erp/BenchCompany.h"
#include "bench/erp/MeanTimes.h"
#include "erp/DemoCompany.h"
#include "extension/commissions/ComissoesMensais.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlShim.h"

namespace {

using namespace quill;
namespace fs = std::filesystem;

const std::string kAno = "2026";
constexpr int kMes = 3;

// The large company copied into a folder of this program's, again only
// when the large company was made anew.
struct Copy {
  fs::path folder;
  std::string databaseName;
  fs::path file;
};

const Copy& copy() {
  static const Copy c = [] {
    const auto& large = bench::largeCompany();
    Copy out;
    out.folder =
        fs::temp_directory_path() / fmt::format("quill-commission-bench-v{}", erp::DemoCompany::kGeneratorVersion);
    out.databaseName = large.databaseName;
    out.file = out.folder / large.databaseFile.filename();
    std::error_code ec;
    const bool fresh =
        fs::exists(out.file, ec) && fs::last_write_time(out.file, ec) >= fs::last_write_time(large.databaseFile, ec);
    if (!fresh) {
      fmt::print(stderr, "Copying the large company to {} ...\n", out.folder.string());
      fs::remove_all(out.folder, ec);
      fs::create_directories(out.folder);
      fs::copy_file(large.databaseFile, out.file);
    }
    return out;
  }();
  return c;
}

std::shared_ptr<DataAccess> open() {
  auto data = std::make_shared<DataAccess>();
  if (!data->OpenConnection(
          buildConnectionString("MSDataShape", "SQLOLEDB", copy().folder.string(), copy().databaseName, "sa", ""))) {
    fmt::print(stderr, "cannot open {}: {}\n", copy().file.string(), data->lastError());
    std::abort();
  }
  ComissoesMensais(*data).criarTabela();
  return data;
}

void BM_Sqlite_SomaBases_Large(benchmark::State& state) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(copy().file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
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

void BM_CalculaComissoes_Large(benchmark::State& state) {
  auto data = open();
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
BENCHMARK(BM_CalculaComissoes_Large)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  copy();
  const auto means = bench::runWithMeanTimes(&argc, argv);
  bench::printRatio(means, "BM_CalculaComissoes_Large", "BM_Sqlite_SomaBases_Large", 2);
  return 0;
}

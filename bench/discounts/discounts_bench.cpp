// The client/group discounts report for every client of the large company
// (20,000 clients): the rows as the form builds them (the clients statement
// and its empty twin, the procedure per client through a command, the
// lines of five groups, the sort), beside SQLite running the same
// statements alone on the same file: the clients statement once and the
// procedure's three statements for each client it lists. Target: the
// build at most 3 times the statements.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/erp/BenchCompany.h"
#include "bench/erp/MeanTimes.h"
#include "bench/erp/RawSqlite.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "extension/core/DatabaseModel.h"
#include "extension/discounts/DescontosClienteGrupo.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlShim.h"

namespace {

using namespace quill;

// The whole ranges of the form's defaults: codes compare as text.
const std::string kFirst = "";
const std::string kLastSeller = "ZZZZZZ";
const std::string kLastClient = "ZZZZZZZZZZZZZZZ";

sqlite3_stmt* prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    fmt::print(stderr, "{}\n{}\n", sqlite3_errmsg(db), sql);
    std::abort();
  }
  return statement;
}

// Steps every row, touching every column; answers the rows.
int drain(sqlite3_stmt* statement) {
  int rows = 0;
  const int columns = sqlite3_column_count(statement);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
    ++rows;
  }
  sqlite3_reset(statement);
  return rows;
}

void BM_Sqlite_DescontosGrupoCliente_Large(benchmark::State& state) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(bench::largeCompany().databaseFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    std::abort();
  bench::addCodeCollation(db);
  sql::SqlShim shim;
  sqlite3_stmt* working = prepare(
      db, shim.translate(DescontosClienteGrupo::sqlVendedoresCliente(kFirst, kLastSeller, kFirst, kLastClient)));
  sqlite3_stmt* clients = prepare(db, shim.translate(DatabaseModel::kDescontosClientesSql));
  sqlite3_stmt* groups = prepare(db, shim.translate(DatabaseModel::kDescontosGruposSql));
  sqlite3_stmt* discounts = prepare(db, shim.translate(DatabaseModel::kDescontosValoresSql));
  int listed = 0;
  for (auto _ : state) {
    std::vector<std::pair<std::string, std::string>> pairs;  // seller, client
    while (sqlite3_step(working) == SQLITE_ROW) {
      auto text = [&](int c) {
        const auto* t = sqlite3_column_text(working, c);
        return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
      };
      pairs.emplace_back(text(0), text(2));
    }
    sqlite3_reset(working);
    for (const auto& [seller, client] : pairs) {
      for (sqlite3_stmt* s : {clients, discounts}) {
        sqlite3_bind_text(s, 1, client.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, client.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, seller.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 4, seller.c_str(), -1, SQLITE_TRANSIENT);
        benchmark::DoNotOptimize(drain(s));
      }
      benchmark::DoNotOptimize(drain(groups));
    }
    listed = static_cast<int>(pairs.size());
  }
  for (sqlite3_stmt* s : {working, clients, groups, discounts}) sqlite3_finalize(s);
  sqlite3_close(db);
  state.counters["clients"] = listed;
}
BENCHMARK(BM_Sqlite_DescontosGrupoCliente_Large)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_BuildDescontosClienteGrupo_Large(benchmark::State& state) {
  const auto& large = bench::largeCompany();
  DataAccess data;
  data.setConnectionSetup(&registerDatabaseModel);
  if (!data.OpenConnection(
          buildConnectionString("MSDataShape", "SQLOLEDB", large.dataFolder.string(), large.databaseName, "sa", ""))) {
    state.SkipWithError(data.lastError().c_str());
    return;
  }
  DescontosClienteGrupo report(data);
  int rows = 0;
  for (auto _ : state) rows = report.build(kFirst, kLastSeller, kFirst, kLastClient)->recordCount();
  state.counters["rows"] = rows;
}
BENCHMARK(BM_BuildDescontosClienteGrupo_Large)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  bench::largeCompany();
  const auto means = bench::runWithMeanTimes(&argc, argv);
  bench::printRatio(means, "BM_BuildDescontosClienteGrupo_Large", "BM_Sqlite_DescontosGrupoCliente_Large", 3);
  return 0;
}

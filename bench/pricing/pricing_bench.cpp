// The price editors on a copy of the large company, each beside its floor
// measured in the same run:
// - reloading the scheduled prices of every active article with a margin on
//   the three levels, bound to the grid's model, beside SQLite preparing and
//   stepping the same statement and reading every column;
// - saving 1000 marked scheduled prices beside raw literal statements;
// - saving 1000 marked price-line prices through a real bridge process
//   beside raw socket-pair round trips.
// The ratios are the counters "ratio", in elapsed time (targets: 4, 10
// statements a row, 25 round trips a row), and "cpu_ratio", in processor
// time of every process taking part, which a busy machine disturbs less.

#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/erp/BenchCompany.h"
#include "bench/erp/RawSqlite.h"
#include "bench/remote/SocketPairRoundTrip.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/EditAltLinPrecos.h"
#include "extension/pricing/EditAltPrecos.h"
#include "extension/pricing/EditorPrecosDialog.h"
#include "extension/pricing/PricingStatements.h"
#include "platform/automation/PropertyBag.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "tests/support/BridgeStart.h"
#include "tests/support/ChildProcesses.h"

namespace {

using namespace quill;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* kLastCode = "ZZZZZZZZZZZZZZZ";

// The large company's installation copied once for this program: the
// editors write to it. Removed at the end.
struct LargeCopy {
  fs::path folder = fs::temp_directory_path() / fmt::format("quill-bench-pricing-{}", static_cast<long>(::getpid()));
  fs::path database;
  std::string databaseName;
  std::string companyCode;

  LargeCopy() {
    const auto& company = bench::largeCompany();
    // Everything in the main files, so that copying them copies the whole databases.
    for (const fs::path& file : {company.databaseFile, company.erpFolder / "ERP.db"})
      sql::Connection::open(file)->execute("PRAGMA wal_checkpoint(TRUNCATE)");
    fs::remove_all(folder);
    fs::copy(company.erpFolder, folder, fs::copy_options::recursive);
    database = folder / fs::relative(company.databaseFile, company.erpFolder);
    databaseName = company.databaseName;
    companyCode = company.companyCode;
  }
  ~LargeCopy() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  std::shared_ptr<DataAccess> open() const {
    auto data = std::make_shared<DataAccess>();
    if (!data->OpenConnection(
            buildConnectionString("MSDataShape", "SQLOLEDB", database.parent_path().string(), databaseName, "sa", "")))
      throw std::runtime_error(data->lastError());
    return data;
  }
  static LargeCopy& get() {
    static LargeCopy copy;
    return copy;
  }
};

// The windows' toolkit without a display, as the tests run it.
QApplication& application() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "pricing_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The floors, per statement and per round trip, as measured in this run:
// elapsed and processor time.
struct Floor {
  double seconds = 0, cpuSeconds = 0;
};
Floor g_step, g_statement, g_roundTrip;

double secondsPer(Clock::duration elapsed, double count) {
  return std::chrono::duration<double>(elapsed).count() / count;
}

// The processor time this process (or another, by its id) has used.
double cpuSeconds(pid_t pid = 0) {
  if (pid == 0) {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
  }
  std::ifstream stat(fmt::format("/proc/{}/stat", pid));
  std::string line;
  std::getline(stat, line);
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stod(field);
    if (i == 15) stime = std::stod(field);
  }
  return (utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double ratio(double measured, double floor) { return floor > 0 ? measured / floor : 0; }

// ---- The raw floors ----

struct RawDatabase {
  sqlite3* db = nullptr;
  explicit RawDatabase(const fs::path& file) {
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + file.string());
    bench::addCodeCollation(db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(db, 3000);
  }
  ~RawDatabase() { sqlite3_close(db); }
  // Prepares and steps a statement, reading every column of every row; the rows.
  std::int64_t run(const std::string& sql) const {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db));
    std::int64_t rows = 0;
    const int columns = sqlite3_column_count(statement);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      ++rows;
      for (int c = 0; c < columns; ++c) {
        switch (sqlite3_column_type(statement, c)) {
          case SQLITE_INTEGER:
            benchmark::DoNotOptimize(sqlite3_column_int64(statement, c));
            break;
          case SQLITE_FLOAT:
            benchmark::DoNotOptimize(sqlite3_column_double(statement, c));
            break;
          case SQLITE_TEXT:
            benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
            benchmark::DoNotOptimize(sqlite3_column_bytes(statement, c));
            break;
          default:
            break;
        }
      }
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    return rows;
  }
};

// Every active article has its scheduled prices (as the window seeds them).
void seedScheduledPrices() {
  static bool seeded = [] {
    LargeCopy::get().open()->Execute(precos::SeedScheduledPrices());
    return true;
  }();
  benchmark::DoNotOptimize(seeded);
}

void BM_SqliteStep_ScheduledPrices_Baseline(benchmark::State& state) {
  seedScheduledPrices();
  RawDatabase raw(LargeCopy::get().database);
  const std::string sql = precos::QueryScheduledPrices(" ", kLastCode, "", "", "EUR", "CONT");
  std::int64_t rows = 0;
  const auto started = Clock::now();
  const double cpu = cpuSeconds();
  for (auto _ : state) rows = raw.run(sql);
  const auto n = static_cast<double>(state.iterations());
  g_step = {secondsPer(Clock::now() - started, n), (cpuSeconds() - cpu) / n};
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_SqliteStep_ScheduledPrices_Baseline)->Unit(benchmark::kMillisecond)->Iterations(5);

// A literal statement run raw, prepared each time: in turn the select of one
// scheduled price by its key and the update of one (each its own commit).
void BM_RawLiteralStatement_Baseline(benchmark::State& state) {
  seedScheduledPrices();
  RawDatabase raw(LargeCopy::get().database);
  std::vector<std::string> codes;
  {
    auto rs = LargeCopy::get().open()->OpenRecordset("SELECT ARTIGO FROM U_QOR_PRECOS ORDER BY ARTIGO");
    for (int i = 0; i < rs->recordCount(); i += 97) {
      rs->setAbsolutePosition(i + 1);
      codes.push_back(vb::CStr(rs->value("ARTIGO")));
    }
  }
  std::size_t i = 0;
  const auto started = Clock::now();
  const double cpu = cpuSeconds();
  for (auto _ : state) {
    const std::string& code = codes[i++ % codes.size()];
    raw.run("SELECT * FROM U_QOR_PRECOS WHERE ARTIGO = '" + code + "'");
    raw.run("UPDATE U_QOR_PRECOS SET DATAACTUALIZACAO = '2026-03-16 00:00:00' WHERE ARTIGO = '" + code + "'");
  }
  const double n = 2.0 * static_cast<double>(state.iterations());
  g_statement = {secondsPer(Clock::now() - started, n), (cpuSeconds() - cpu) / n};
  state.counters["per_statement_us"] = g_statement.seconds * 1e6;
}
BENCHMARK(BM_RawLiteralStatement_Baseline)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Its processor time counts both ends: the echo does what this end does.
void BM_SocketPairRoundTrip_Baseline(benchmark::State& state) {
  const auto started = Clock::now();
  const double cpu = cpuSeconds();
  bench::socketPairRoundTrips(state);
  const auto n = static_cast<double>(state.iterations());
  g_roundTrip = {secondsPer(Clock::now() - started, n), 2 * (cpuSeconds() - cpu) / n};
}
BENCHMARK(BM_SocketPairRoundTrip_Baseline)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// ---- The editors ----

// An editor on a memory view; it prints nothing here, so it makes no components.
template <typename Editor>
std::unique_ptr<Editor> editor(ui::UiServices& ui, std::shared_ptr<DataAccess> data, DispatchPtr bridge) {
  auto form = std::make_unique<Editor>(
      ui, [](ui::Form& f) { return std::make_unique<ui::MemoryFormView>(f, Editor::controls()); },
      typename Editor::Components());
  form->setDataAccess(std::move(data));
  form->setNextApi(std::move(bridge));
  if (!form->leParametrosNacionais()) throw std::runtime_error("no national currency");
  return form;
}

std::shared_ptr<PropertyBag> parametersBridge() {
  auto bridge = PropertyBag::create("SageNextApi");
  bridge->setValue("MoedaNacional", Variant("EUR"));
  bridge->setValue("RegimeIVANacional", Variant("CONT"));
  return bridge;
}

void BM_RefreshGrid_ScheduledPrices_Large(benchmark::State& state) {
  application();
  seedScheduledPrices();
  ui::ScriptedUiServices ui;
  auto form = editor<EditAltPrecos>(ui, LargeCopy::get().open(), parametersBridge());
  ui::FormView& v = form->view();
  v.setText("txtArtIni", " ");
  v.setText("txtArtFin", kLastCode);
  v.setText("txtValor", "10");
  for (int level = 0; level < 3; ++level) v.setSelected("LbxPrecos", level, true);
  const auto started = Clock::now();
  const double cpu = cpuSeconds();
  for (auto _ : state) form->RefreshGrid();
  const auto n = static_cast<double>(state.iterations());
  const double seconds = secondsPer(Clock::now() - started, n);
  const auto& model = v.grid("grdLinPrecos").model();
  state.counters["rows"] = static_cast<double>(model.dataRowCount());
  state.counters["ratio"] = ratio(seconds, g_step.seconds);
  state.counters["cpu_ratio"] = ratio((cpuSeconds() - cpu) / n, g_step.cpuSeconds);
  state.counters["target"] = 4;
}
BENCHMARK(BM_RefreshGrid_ScheduledPrices_Large)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same in the real window, shown: the grid paints the rows in view and
// makes no widget for any row ("widgets_added").
void BM_RefreshGrid_ScheduledPrices_Large_Window(benchmark::State& state) {
  application();
  seedScheduledPrices();
  ui::ScriptedUiServices ui;
  ui::FormDialog* window = nullptr;
  auto form = std::make_unique<EditAltPrecos>(
      ui,
      [&](ui::Form& f) {
        auto dialog = std::make_unique<frmEditAltPrecos>(f, ui);
        window = dialog.get();
        return ui::FormDialog::viewOwning(std::move(dialog));
      },
      EditAltPrecos::Components());
  form->setDataAccess(LargeCopy::get().open());
  form->setNextApi(parametersBridge());
  if (!form->leParametrosNacionais()) return state.SkipWithError("no national currency");
  ui::FormView& v = form->view();
  v.setText("txtArtIni", " ");
  v.setText("txtArtFin", kLastCode);
  v.setText("txtValor", "10");
  for (int level = 0; level < 3; ++level) v.setSelected("LbxPrecos", level, true);
  window->show();
  QApplication::processEvents();
  const auto widgets = window->findChildren<QWidget*>().size();
  const auto started = Clock::now();
  const double cpu = cpuSeconds();
  for (auto _ : state) {
    form->RefreshGrid();
    QApplication::processEvents();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["rows"] = static_cast<double>(v.grid("grdLinPrecos").model().dataRowCount());
  state.counters["widgets_added"] = static_cast<double>(window->findChildren<QWidget*>().size() - widgets);
  state.counters["ratio"] = ratio(secondsPer(Clock::now() - started, n), g_step.seconds);
  state.counters["cpu_ratio"] = ratio((cpuSeconds() - cpu) / n, g_step.cpuSeconds);
  window->hide();
}
BENCHMARK(BM_RefreshGrid_ScheduledPrices_Large_Window)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first and the 1000th active article: a range of 1000 rows.
std::pair<std::string, std::string> thousandArticles(DataAccess& data) {
  auto rs = data.OpenRecordset(precos::QueryScheduledPrices(" ", kLastCode, "", "", "EUR", "CONT"));
  rs->moveFirst();
  const std::string first = vb::CStr(rs->value("ARTIGO"));
  rs->setAbsolutePosition(1000);
  return {first, vb::CStr(rs->value("ARTIGO"))};
}

void BM_SaveChanges_ScheduledPrices_1000Marked(benchmark::State& state) {
  application();
  seedScheduledPrices();
  ui::ScriptedUiServices ui;
  auto data = LargeCopy::get().open();
  auto form = editor<EditAltPrecos>(ui, data, parametersBridge());
  ui::FormView& v = form->view();
  const auto [first, last] = thousandArticles(*data);
  v.setText("txtArtIni", first);
  v.setText("txtArtFin", last);
  bool up = true;
  Clock::duration saving{};
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    v.setText("txtValor", up ? "1" : "-1");
    up = !up;
    form->RefreshGrid();
    auto& model = v.grid("grdLinPrecos").model();
    model.setAllMarked(true);
    if (model.dataRowCount() != 1000) state.SkipWithError("not 1000 rows");
    state.ResumeTiming();
    const auto started = Clock::now();
    const double before = cpuSeconds();
    form->SaveChanges(false);
    cpu += cpuSeconds() - before;
    saving += Clock::now() - started;
  }
  const double rows = 1000.0 * static_cast<double>(state.iterations());
  const double perRow = secondsPer(saving, rows);
  state.counters["per_row_us"] = perRow * 1e6;
  state.counters["ratio"] = ratio(perRow, g_statement.seconds);
  state.counters["cpu_ratio"] = ratio(cpu / rows, g_statement.cpuSeconds);
  state.counters["target"] = 10;
}
BENCHMARK(BM_SaveChanges_ScheduledPrices_1000Marked)->Unit(benchmark::kMillisecond)->Iterations(3);

// The quillbridge process this process started.
pid_t bridgeProcess() {
  const auto found = testing::childProcesses("quillbridge");
  if (found.empty()) throw std::runtime_error("the bridge's process was not found");
  return found.front();
}

// The bridge started on the copy, as the extension starts it.
struct StartedBridge {
  std::shared_ptr<DataAccess> data = LargeCopy::get().open();
  DispatchPtr bridge;
  pid_t pid = 0;  // the bridge's process
  StartedBridge() {
    bridge = testing::createBridgeIn(LargeCopy::get().folder);
    pid = bridgeProcess();
    if (!testing::startBridge(bridge, LargeCopy::get().folder, LargeCopy::get().companyCode, "quill", "quill", data))
      throw std::runtime_error("the bridge did not start");
  }
  ~StartedBridge() {
    late::call(bridge, "Terminar");
    bridge.reset();
    data->CloseConnection();
  }
};

// One seller and as many fixed-price articles as give at least 1000 rows.
void narrowToThousandLinePrices(EditAltLinPrecos& form, DataAccess& data) {
  ui::FormView& v = form.view();
  const std::string seller =
      vb::CStr(data.OpenRecordset("SELECT CODIGO FROM VENDEDOR ORDER BY CODIGO")->value("CODIGO"));
  auto articles = data.OpenRecordset(precos::QueryFixedPriceArticles(0, 32767, "EUR", "CONT"));
  std::vector<std::string> codes;
  for (articles->moveFirst(); !articles->eof(); articles->moveNext()) {
    const std::string code = vb::CStr(articles->value("CODIGO"));
    if (codes.empty() || codes.back() != code) codes.push_back(code);
  }
  v.setText("txtVendIni", seller);
  v.setText("txtVendFin", seller);
  v.setText("txtLinIni", "0");
  v.setText("txtLinFin", "32767");
  v.setText("txtArtIni", codes.front());
  for (std::size_t n = 16; n <= codes.size(); n *= 2) {
    const std::string last = codes[std::min(n, codes.size()) - 1];
    auto count = data.OpenRecordset(
        "SELECT COUNT(*) AS N FROM (" +
        precos::QueryLinePrices(seller, seller, 0, 32767, codes.front(), last, "EUR", "CONT") + ") AS L");
    v.setText("txtArtFin", last);
    if (vb::CLng(count->value("N")) >= 1000) return;
  }
  throw std::runtime_error("fewer than 1000 price rows for one seller");
}

void BM_SaveChanges_LinePrices_1000Marked(benchmark::State& state) {
  application();
  ui::ScriptedUiServices ui;
  StartedBridge started;
  auto form = editor<EditAltLinPrecos>(ui, started.data, started.bridge);
  narrowToThousandLinePrices(*form, *started.data);
  ui::FormView& v = form->view();
  v.setText("cbxTipo", "Valor");
  bool up = true;
  Clock::duration saving{};
  double cpu = 0;
  std::size_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    v.setText("txtValor", up ? "0,01" : "-0,01");
    up = !up;
    form->RefreshGrid();
    auto& model = v.grid("grdLinPrecos").model();
    rows = model.dataRowCount();
    for (std::size_t p = 0; p < 1000 && p < rows; ++p) model.setMarked(p, true);
    state.ResumeTiming();
    const auto begun = Clock::now();
    const double before = cpuSeconds() + cpuSeconds(started.pid);
    form->SaveChanges(false);
    cpu += cpuSeconds() + cpuSeconds(started.pid) - before;
    saving += Clock::now() - begun;
  }
  const double perRow = secondsPer(saving, 1000.0 * static_cast<double>(state.iterations()));
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["per_row_us"] = perRow * 1e6;
  state.counters["ratio"] = ratio(perRow, g_roundTrip.seconds);
  state.counters["cpu_ratio"] = ratio(cpu / (1000.0 * static_cast<double>(state.iterations())), g_roundTrip.cpuSeconds);
  state.counters["target"] = 25;
}
BENCHMARK(BM_SaveChanges_LinePrices_1000Marked)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

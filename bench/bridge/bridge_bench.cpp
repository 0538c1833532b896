// The bridge's two writing operations through a real quillbridge process,
// called from this process with a real data-access object, as the
// extension calls them.
#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/OleDate.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/support/BridgeStart.h"

namespace {

using namespace quill;
namespace demo = erp::demo;
namespace fs = std::filesystem;

// A document of 200 article lines, made for the benchmark in the copy.
constexpr demo::KnownDocument kLongDocument{demo::kInvoiceType, demo::kUnsignedSeries, 900001, demo::kDocumentYear};
constexpr int kLongDocumentLines = 200;

void addLongDocument(const erpapi::test::DemoCompanyCopy& company) {
  const auto& model = demo::kInvoiceWithAllowanceLine;
  company.execute(
      "INSERT INTO DOCGCCAB (TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, "
      "EMPREP, AREAG, TPTERC, TPOPER, NATCONTA, TIPIFSTK, SINALCT, NVIAS, DATAVENC, VALPEND) "
      "SELECT TPDOC, SERIE, ?, ANO, DATA, TERCEIRO, NOME, MOEDA, EXPEDICAO, VENDEDOR, ZONA, EMPREP, AREAG, TPTERC, "
      "TPOPER, NATCONTA, TIPIFSTK, SINALCT, NVIAS, DATAVENC, 1 FROM DOCGCCAB "
      "WHERE TPDOC = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
      {Variant(std::int32_t{kLongDocument.number}), Variant(model.type), Variant(std::int32_t{model.series}),
       Variant(std::int32_t{model.number}), Variant(std::int32_t{model.year})});
  // Weighed articles in their sale, packing and transport units in turn.
  auto articles = company.rows(
      "SELECT CODIGO, NOME, UNVND, UNEMB, UNTRANS FROM ARTIGOS WHERE ARTOUDES = 0 AND INACTIVO = 0 AND "
      "UNTRANS IS NOT NULL AND UNTRANS <> '' ORDER BY CODIGO");
  if (articles.empty()) throw std::runtime_error("no articles for the long document");
  for (int n = 1; n <= kLongDocumentLines; ++n) {
    const auto& a = articles[static_cast<std::size_t>(n) % articles.size()];
    const std::string& unit = a[2 + n % 3];
    company.execute(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, DESCR, UNIDADE, QUANT, "
        "QUANTORIG, PRECUNIT, PRECUNITINT, TAXAIVA, DATA) VALUES (?, ?, ?, ?, ?, 1, ?, ?, ?, ?, ?, 0.5, 0.5, 6, ?)",
        {Variant(kLongDocument.type), Variant(std::int32_t{kLongDocument.series}),
         Variant(std::int32_t{kLongDocument.number}), Variant(std::int32_t{kLongDocument.year}), Variant(n),
         Variant(a[0]), Variant(a[1]), Variant(unit), Variant(double(n % 7 + 1)), Variant(double(n % 7 + 1)),
         Variant(vb::makeDate(2026, 3, 16))});
  }
}

// The bridge started on a copy of the demo company, as the extension
// starts it.
struct StartedBridge {
  erpapi::test::DemoCompanyCopy company;
  std::shared_ptr<DataAccess> dataAccess = std::make_shared<DataAccess>();
  DispatchPtr bridge;

  StartedBridge() {
    addLongDocument(company);
    if (!dataAccess->OpenConnection(company.connectionString()))
      throw std::runtime_error("the demo company cannot be opened: " + dataAccess->lastError());
    bridge = testing::createBridgeIn(company.folder());
    if (!testing::startBridge(bridge, company.folder(), demo::kCompanyCode, demo::kLogin, demo::kPassword, dataAccess))
      throw std::runtime_error("the bridge did not start");
  }
  ~StartedBridge() {
    late::call(bridge, "Terminar");
    bridge.reset();
    dataAccess->CloseConnection();
  }
};

// Weighs 200 lines (200 article queries that come back to this process)
// and saves the document with its allowance line. Target: median under 50 ms.
void BM_AbonoDeFrete_200Lines(benchmark::State& state) {
  StartedBridge started;
  for (auto _ : state) {
    std::vector<Variant> args{Variant(kLongDocument.type),
                              Variant(std::int32_t{kLongDocument.number}),
                              Variant(static_cast<std::int16_t>(kLongDocument.series)),
                              Variant(static_cast<std::int16_t>(kLongDocument.year)),
                              Variant(demo::kAllowancePerTonne),
                              Variant(demo::kAllowanceArticle)};
    late::callRef(started.bridge, "AbonoDeFrete", args);
  }
  state.counters["target_ms"] = 50;
}
BENCHMARK(BM_AbonoDeFrete_200Lines)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// Changes an existing price (its previous price becomes the history).
// Target: median under 2 ms.
void BM_AlteraPreco_Change(benchmark::State& state) {
  StartedBridge started;
  const Date start = vb::makeDate(2026, 7, 1);
  double price = 0.30;
  for (auto _ : state) {
    price = price == 0.30 ? 0.31 : 0.30;
    late::call(
        started.bridge, "AlteraPreco",
        {Variant(demo::kFixedPriceArticle), Variant(demo::kNationalCurrency), Variant(std::int32_t{demo::kPriceLine}),
         Variant(start), Variant(start), Variant(price), Variant(0.0), Variant(price * 1.06), Variant(0.0)});
  }
  state.counters["target_ms"] = 2;
}
BENCHMARK(BM_AlteraPreco_Change)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

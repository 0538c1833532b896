// The extension's hooks on the large company, called late-bound as the host
// calls them: what a user waits for after each edited field of a sales line.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench/erp/BenchCompany.h"
#include "erp/DemoCodes.h"
#include "extension/core/DescComissoes.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/RecordingUiServices.h"
#include "platform/vb/OleDate.h"

namespace {

using namespace quill;
namespace demo = erp::demo;

struct Session {
  ui::RecordingUiServices ui;
  std::shared_ptr<DescComissoes> extension;

  Session() {
    const auto& company = bench::largeCompany();
    auto folder = std::filesystem::temp_directory_path() / "quill-extension-bench";
    std::filesystem::create_directories(folder / "log");
    std::ofstream(folder / "VALTERO.INI")
        << "[Api Next]\nEmpresa=" << company.companyCode << "\nperclog=" << (folder / "log").string()
        << "\n[Ligação]\nServidor=" << company.dataFolder.string() << "\nBaseDados=" << company.databaseName << "\n";
    DescComissoes::Environment env;
    env.ui = &ui;
    env.libraryFolder = folder;
    // The hooks never reach the bridge; a stand-in that starts keeps the session whole.
    env.createObject = [](std::string_view) -> DispatchPtr {
      auto bridge = PropertyBag::create("SageNextApi");
      bridge->setMethod("Iniciar", [](std::span<Variant>) { return Variant(true); });
      return bridge;
    };
    extension = std::make_shared<DescComissoes>(std::move(env));
    if (!extension->ConnectionOpen(company.companyCode, "quill")) std::abort();
  }

  static Session& get() {
    static Session session;
    return session;
  }
};

std::shared_ptr<PropertyBag> context(std::string_view cliente, std::string_view unidade) {
  auto oApi = PropertyBag::create("oApi");
  auto linha = PropertyBag::create("Linha");
  auto cab = PropertyBag::create("Cab");
  oApi->setValue("Linha", DispatchPtr(linha));
  oApi->setValue("Cab", DispatchPtr(cab));
  cab->setValue("Data", vb::makeDate(2026, 3, 16));
  cab->setValue("Terceiro", cliente);
  cab->setValue("Moeda", demo::kNationalCurrency);
  for (auto [name, value] : {std::pair<const char*, Variant>{"Artigo", ""},
                             {"PrecoUnitario", 0.0},
                             {"TaxaDesconto", 0.0},
                             {"Estado", std::int16_t{0}},
                             {"OrDoc", ""}})
    linha->setValue(name, value);
  linha->setValue("Unidade", unidade);
  return oApi;
}

void validateArtigo(benchmark::State& state, std::string_view cliente, std::string_view artigo) {
  DispatchPtr extension = Session::get().extension;
  auto oApi = context(cliente, "SC");
  for (auto _ : state) {
    std::vector<Variant> args{DispatchPtr(oApi), std::string(artigo), Variant(), Variant(), false};
    late::callRef(extension, "ValidateArtigo", args);
    benchmark::DoNotOptimize(args);
  }
}

void BM_ValidateArtigo_FixedPrice(benchmark::State& state) {
  validateArtigo(state, demo::kPriceLineClient, demo::kFixedPriceArticle);
}
BENCHMARK(BM_ValidateArtigo_FixedPrice)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ValidateArtigo_GroupDiscount(benchmark::State& state) {
  validateArtigo(state, demo::kGroupDiscountClient, demo::kGroupDiscountArticle);
}
BENCHMARK(BM_ValidateArtigo_GroupDiscount)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_VendasTemLinhaPrecos(benchmark::State& state) {
  DispatchPtr extension = Session::get().extension;
  for (auto _ : state) {
    std::vector<Variant> args{std::string(demo::kPriceLineClient),
                              "EUR",
                              std::string(demo::kFixedPriceArticle),
                              "16-03-2026",
                              "SC",
                              Variant()};
    benchmark::DoNotOptimize(late::callRef(extension, "VendasTemLinhaPrecos", args));
  }
}
BENCHMARK(BM_VendasTemLinhaPrecos)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// The extension's hooks on the large company, called late-bound as the host
// calls them: what a user waits for after each edited field of a sales line.
// Each runs on the embedded database and on the database server; on the
// server beside a baseline of the same statements the hook sends, run
// through bare ODBC on the same database, so that the ratio is what the
// extension and its data access add to the server's round trips.

#include <benchmark/benchmark.h>
#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include "bench/erp/BareOdbc.h"
#include "bench/erp/BenchServer.h"
#include "bench/erp/MeanTimes.h"
#include "erp/DemoCodes.h"
#include "extension/core/DescComissoes.h"
#include "platform/automation/PropertyBag.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/RecordingUiServices.h"
#include "platform/vb/OleDate.h"

namespace {

using namespace quill;
using bench::Backend;
namespace demo = erp::demo;
using sql::sqlQuote;

// The extension opened on the large company of one backend, as the host
// opens it: its own library folder with the INI naming the company.
struct Session {
  ui::RecordingUiServices ui;
  std::shared_ptr<DescComissoes> extension;
  std::string problem;

  explicit Session(Backend backend) {
    const bench::BenchCompany* company = bench::largeCompanyOn(backend);
    if (!company) {
      problem = bench::serverProblem();
      return;
    }
    auto folder = std::filesystem::temp_directory_path() /
                  (backend == Backend::Embedded ? "quill-extension-bench" : "quill-extension-bench-server");
    std::filesystem::create_directories(folder / "log");
    std::ofstream(folder / "VALTERO.INI")
        << "[Api Next]\nEmpresa=" << company->companyCode << "\nperclog=" << (folder / "log").string()
        << "\n[Ligação]\nServidor=" << company->dataSource() << "\nBaseDados=" << company->databaseName
        << "\nUser=" << company->user << "\nPassWord=" << company->password << "\n";
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
    if (!extension->ConnectionOpen(company->companyCode, "quill")) {
      problem = "the extension did not open the large company on " + company->dataSource();
      extension.reset();
    }
  }

  // The session of a case, or nullptr having skipped the case.
  static Session* get(benchmark::State& state, Backend backend) {
    static std::map<Backend, std::unique_ptr<Session>> sessions;
    auto& session = sessions[backend];
    if (!session) session = std::make_unique<Session>(backend);
    if (session->extension) return session.get();
    state.SkipWithError(session->problem.c_str());
    return nullptr;
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

void validateArtigo(benchmark::State& state, Backend backend, std::string_view cliente, std::string_view artigo) {
  Session* session = Session::get(state, backend);
  if (!session) return;
  DispatchPtr extension = session->extension;
  auto oApi = context(cliente, "SC");
  for (auto _ : state) {
    std::vector<Variant> args{DispatchPtr(oApi), std::string(artigo), Variant(), Variant(), false};
    late::callRef(extension, "ValidateArtigo", args);
    benchmark::DoNotOptimize(args);
  }
  if (!session->ui.boxes().empty()) state.SkipWithError("the hook showed a message");
}

void BM_ValidateArtigo_FixedPrice(benchmark::State& state, Backend backend) {
  validateArtigo(state, backend, demo::kPriceLineClient, demo::kFixedPriceArticle);
}

void BM_ValidateArtigo_GroupDiscount(benchmark::State& state, Backend backend) {
  validateArtigo(state, backend, demo::kGroupDiscountClient, demo::kGroupDiscountArticle);
}

void BM_VendasTemLinhaPrecos(benchmark::State& state, Backend backend) {
  Session* session = Session::get(state, backend);
  if (!session) return;
  DispatchPtr extension = session->extension;
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

// ---- The hooks' statements through bare ODBC ----
//
// What each hook sends for its case above, call after call, in the order it
// sends them, written as the extension writes them (read from the server's
// statement log): the article and the client, then what the rule needs (the
// price line's price, or the group's discount). The first call on a line
// also reads the scheduled price that a discount starts from; the later
// ones start from the line's price.

std::string artigoRecord(std::string_view artigo) {
  return "SELECT       * FROM         ARTIGOS LEFT OUTER JOIN                 U_ARTIGOS ON ARTIGOS.CODIGO = "
         "U_ARTIGOS.CODIGO WHERE        (ARTIGOS.CODIGO = '" +
         sqlQuote(artigo) + "') ";
}

std::string clienteRecord(std::string_view cliente) {
  return "SELECT       * FROM         CLIENTES LEFT OUTER JOIN                 U_CLIENTES ON CLIENTES.CODIGO = "
         "U_CLIENTES.CODIGO WHERE        (CLIENTES.CODIGO = '" +
         sqlQuote(cliente) + "') ";
}

std::string precoDaLinha(std::string_view artigo, std::string_view moeda, int linha) {
  return "SELECT       * FROM         PRECOS WHERE        (ARTIGO ='" + sqlQuote(artigo) + "') AND (MOEDA = '" +
         sqlQuote(moeda) + "') AND (LINPRC =" + std::to_string(linha) + ") ";
}

std::string descontoDoGrupo(std::string_view grupo, std::string_view cliente) {
  return "SELECT       * FROM         U_QOR_GRUPOSDESCONTO WHERE        (GRUPO ='" + sqlQuote(grupo) +
         "') AND (CLIENTE = '" + sqlQuote(cliente) + "')";
}

std::vector<std::string> fixedPriceStatements() {
  return {artigoRecord(demo::kFixedPriceArticle), clienteRecord(demo::kPriceLineClient),
          precoDaLinha(demo::kFixedPriceArticle, demo::kNationalCurrency, demo::kPriceLine)};
}

std::vector<std::string> groupDiscountStatements() {
  return {artigoRecord(demo::kGroupDiscountArticle), clienteRecord(demo::kGroupDiscountClient),
          descontoDoGrupo(demo::kFeedGroup, demo::kGroupDiscountClient)};
}

std::vector<std::string> vendasTemLinhaPrecosStatements() {
  return {"SELECT       * FROM         CLIENTES WHERE        (CODIGO ='" + sqlQuote(demo::kPriceLineClient) + "') ",
          "SELECT       * FROM         PRECOS WHERE        (ARTIGO ='" + sqlQuote(demo::kFixedPriceArticle) +
              "') AND (MOEDA = '" + sqlQuote(demo::kNationalCurrency) + "') AND (LINPRC =" +
              std::to_string(demo::kPriceLine) + ") AND (DATINIC <= CONVERT(DATETIME, '2026-03-16', 102))",
          artigoRecord(demo::kFixedPriceArticle)};
}

void bareOdbc(benchmark::State& state, const std::vector<std::string>& statements) {
  const bench::BenchCompany* company = bench::companyFor(state, Backend::Server);
  if (!company) return;
  try {
    auto& odbc = bench::BareOdbc::connectionTo(bench::serverAddressOf(*company));
    std::vector<bench::BareOdbc::Statement> prepared;
    for (const auto& statement : statements) prepared.push_back(odbc.prepareSystem(statement));
    for (auto _ : state)
      for (auto& statement : prepared) benchmark::DoNotOptimize(odbc.run(statement));
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
}

void BM_ValidateArtigo_FixedPrice_BareOdbc(benchmark::State& state) { bareOdbc(state, fixedPriceStatements()); }
void BM_ValidateArtigo_GroupDiscount_BareOdbc(benchmark::State& state) { bareOdbc(state, groupDiscountStatements()); }
void BM_VendasTemLinhaPrecos_BareOdbc(benchmark::State& state) { bareOdbc(state, vendasTemLinhaPrecosStatements()); }

// Many short repetitions, interleaved with the other cases' (MeanTimes), so
// that a hook and its baseline see the same machine.
void repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.2)->Repetitions(10)->ReportAggregatesOnly(true);
}

BENCHMARK_CAPTURE(BM_ValidateArtigo_FixedPrice, Embedded, Backend::Embedded)->Apply(repeated);
BENCHMARK_CAPTURE(BM_ValidateArtigo_FixedPrice, Server, Backend::Server)->Apply(repeated);
BENCHMARK(BM_ValidateArtigo_FixedPrice_BareOdbc)->Apply(repeated);
BENCHMARK_CAPTURE(BM_ValidateArtigo_GroupDiscount, Embedded, Backend::Embedded)->Apply(repeated);
BENCHMARK_CAPTURE(BM_ValidateArtigo_GroupDiscount, Server, Backend::Server)->Apply(repeated);
BENCHMARK(BM_ValidateArtigo_GroupDiscount_BareOdbc)->Apply(repeated);
BENCHMARK_CAPTURE(BM_VendasTemLinhaPrecos, Embedded, Backend::Embedded)->Apply(repeated);
BENCHMARK_CAPTURE(BM_VendasTemLinhaPrecos, Server, Backend::Server)->Apply(repeated);
BENCHMARK(BM_VendasTemLinhaPrecos_BareOdbc)->Apply(repeated);

}  // namespace

int main(int argc, char** argv) {
  // The companies first, so that making one is not timed as a case.
  bench::largeCompany();
  bench::largeCompanyOnServer();
  const auto means = bench::runWithMeanTimes(&argc, argv, bench::casesToRun());
  bench::printMeans(means);
  for (const char* hook :
       {"BM_ValidateArtigo_FixedPrice", "BM_ValidateArtigo_GroupDiscount", "BM_VendasTemLinhaPrecos"})
    bench::printRatio(means, fmt::format("{}/Server", hook), fmt::format("{}_BareOdbc", hook), 1.5);
  return 0;
}

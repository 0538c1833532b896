// The extension object with the real bridge server: what a company session
// does from opening to closing, across the two processes.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>

#include "erp/CompanySchema.h"
#include "erp/DemoCodes.h"
#include "extension/components/WaitWindow.h"
#include "extension/core/DescComissoes.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/RecordingUiServices.h"
#include "platform/vb/Conversions.h"
#include "tests/erp/api/DemoCompanyCopy.h"
#include "tests/support/ChildProcesses.h"

namespace quill {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;

// The bridge processes this test process started that are still running.
std::vector<pid_t> bridgePids() { return testing::childProcesses("quillbridge"); }
int runningBridges() { return static_cast<int>(testing::childProcesses("quillbridge").size()); }

// A wait window that records what it is told.
struct SeenWaitWindow : WaitWindow {
  struct Seen {
    std::string caption;
    bool shown = false, hidden = false;
    int steps = 0;
    std::chrono::steady_clock::time_point shownAt;
  };
  explicit SeenWaitWindow(Seen& seen) : seen_(seen) {}
  void setCaption(std::string_view caption) override { seen_.caption = caption; }
  void setMessage(std::string_view) override {}
  void setProgressMaximum(int) override {}
  void setProgressValue(int) override {}
  void show() override {
    seen_.shown = true;
    seen_.shownAt = std::chrono::steady_clock::now();
  }
  void hide() override { seen_.hidden = true; }
  void advance() override { ++seen_.steps; }
  Seen& seen_;
};

constexpr const char* kLigacaoPerdida =
    "A ligação à API perdeu-se: a API deixou de responder. A ligação fica desligada; "
    "pode voltar a ligá-la no menu, em Ligação SageNext API.";

class DescComissoesWithBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = company.folder() / "extension";
    fs::create_directories(folder / "log");
    auto database = company.databaseFile();
    std::ofstream(folder / "VALTERO.INI")
        << "[Api Next]\npassword=" << demo::kPassword << "\nLogin=" << demo::kLogin
        << "\nEmpresa=" << demo::kCompanyCode << "\nperclog=" << (folder / "log").string()
        << "\nPercWindows=" << company.folder().string() << "\n[Ligação]\nServidor=" << database.parent_path().string()
        << "\nBaseDados=" << database.stem().string() << "\n[DOCUMENTOS VENDA]\nTPDOC=" << demo::kAllowanceDocumentTypes
        << "\nDESCRTABONO=" << demo::kAllowanceArticle << "\n";
  }

  std::shared_ptr<DescComissoes> make() {
    DescComissoes::Environment env;
    env.ui = &ui;
    env.libraryFolder = folder;
    env.createObject = [](std::string_view progId) { return createObject(progId); };
    env.createWaitWindow = [this] {
      waitWindows.emplace_back();
      return std::make_unique<SeenWaitWindow>(waitWindows.back());
    };
    return std::make_shared<DescComissoes>(std::move(env));
  }

  bool abono(DescComissoes& d, const demo::KnownDocument& key) {
    return d.VendasAbonoFrete(static_cast<std::int16_t>(key.year), key.type, static_cast<std::int16_t>(key.series),
                              key.number, demo::kAllowanceDispatch, demo::kAllowanceClient);
  }

  erpapi::test::DemoCompanyCopy company;
  fs::path folder;
  ui::RecordingUiServices ui;
  std::deque<SeenWaitWindow::Seen> waitWindows;
};

TEST_F(DescComissoesWithBridge, ASessionStartsTheBridgeAndClosingLeavesNoBridgeBehind) {
  auto d = make();
  ASSERT_TRUE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin)) << (ui.boxes().empty() ? "" : ui.boxes()[0].prompt);
  EXPECT_TRUE(d->apiLigada());
  EXPECT_EQ(runningBridges(), 1);
  EXPECT_EQ(vb::CStr(late::get(d->nextApi(), "MoedaNacional")), demo::kNationalCurrency);

  // Switching the link off stops that bridge; on again starts a new one.
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  EXPECT_EQ(runningBridges(), 0);
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  EXPECT_EQ(runningBridges(), 1);

  EXPECT_TRUE(d->ConnectionClose());
  EXPECT_EQ(runningBridges(), 0);
}

TEST_F(DescComissoesWithBridge, AWrongErpPasswordKeepsTheCompanyClosed) {
  auto d = make();
  std::ofstream(folder / "VALTERO.INI") << "[Api Next]\npassword=errada\nLogin=" << demo::kLogin
                                        << "\nEmpresa=" << demo::kCompanyCode
                                        << "\nPercWindows=" << company.folder().string() << "\n";
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro. Não foi possivel ligar ao Sage Next");
  EXPECT_EQ(runningBridges(), 0);
}

TEST_F(DescComissoesWithBridge, SavingADocumentHasTheBridgeWriteItsFreightAllowance) {
  auto d = make();
  ASSERT_TRUE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin));
  const auto& key = demo::kSeriesZeroInvoice;
  std::string where = " WHERE TPDOCUM='" + std::string(key.type) + "' AND SERIE=" + std::to_string(key.series) +
                      " AND NNUMDOC=" + std::to_string(key.number) + " AND ANO=" + std::to_string(key.year);
  // The weight of the document in kg: each article line's quantity times its unit's factor.
  double peso = vb::CDbl(company.value(
      "SELECT SUM(L.QUANT * CASE WHEN UPPER(L.UNIDADE) = UPPER(A.UNTRANS) AND A.FACTTRA <> 0 THEN A.FACTTRA "
      "WHEN UPPER(L.UNIDADE) = UPPER(A.UNEMB) AND A.FACTEMB <> 0 THEN A.FACTEMB ELSE 1 END) "
      "FROM DOCGCLIN L JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO AND A.ARTOUDES = 0" +
      where + " AND L.TIPOLIN = 1 AND L.ARTIGO <> '" + std::string(demo::kAllowanceArticle) + "'"));

  EXPECT_TRUE(d->VendasAbonoFrete(static_cast<std::int16_t>(key.year), key.type, static_cast<std::int16_t>(key.series),
                                  key.number, demo::kAllowanceDispatch, demo::kAllowanceClient));
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  auto abono = company.rows("SELECT QUANT, PRECUNIT FROM DOCGCLIN" + where + " AND ARTIGO='" +
                            std::string(demo::kAllowanceArticle) + "'");
  ASSERT_EQ(abono.size(), 1u);
  EXPECT_EQ(abono[0][0], "1");
  EXPECT_NEAR(std::stod(abono[0][1]), peso / 1000 * demo::kAllowancePerTonne, 1e-6);

  // Asked again, the same document: still one allowance line.
  EXPECT_TRUE(d->VendasAbonoFrete(static_cast<std::int16_t>(key.year), key.type, static_cast<std::int16_t>(key.series),
                                  key.number, demo::kAllowanceDispatch, demo::kAllowanceClient));
  EXPECT_EQ(
      company.rows("SELECT 1 FROM DOCGCLIN" + where + " AND ARTIGO='" + std::string(demo::kAllowanceArticle) + "'")
          .size(),
      1u);
  d->ConnectionClose();
}

TEST_F(DescComissoesWithBridge, TheErpRefusalOfAnAllowanceIsShownAndNothingIsWritten) {
  auto d = make();
  ASSERT_TRUE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin));
  auto antes = company.rows("SELECT * FROM DOCGCLIN ORDER BY TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN");
  const auto& key = demo::kUnknownDocument;
  EXPECT_FALSE(d->VendasAbonoFrete(static_cast<std::int16_t>(key.year), key.type, static_cast<std::int16_t>(key.series),
                                   key.number, demo::kAllowanceDispatch, demo::kAllowanceClient));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Documentos de Venda");
  EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro ", 0), 0u);
  EXPECT_EQ(company.rows("SELECT * FROM DOCGCLIN ORDER BY TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN"), antes);
  d->ConnectionClose();
}

TEST_F(DescComissoesWithBridge, ABridgeKilledIsFoundGoneOnceThenTheLinkIsOffUntilSwitchedOnAgain) {
  auto d = make();
  ASSERT_TRUE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin));
  auto first = bridgePids();
  ASSERT_EQ(first.size(), 1u);
  ::kill(first[0], SIGKILL);

  EXPECT_FALSE(abono(*d, demo::kSeriesZeroInvoice));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, std::string("Erro ") + kLigacaoPerdida);
  EXPECT_FALSE(d->apiLigada());
  ui.clearBoxes();
  EXPECT_FALSE(abono(*d, demo::kSeriesZeroInvoice));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.");

  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  EXPECT_TRUE(d->apiLigada());
  auto second = bridgePids();
  ASSERT_EQ(second.size(), 1u);
  EXPECT_NE(second[0], first[0]);
  ui.clearBoxes();
  EXPECT_TRUE(abono(*d, demo::kSeriesZeroInvoice));
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  EXPECT_TRUE(d->ConnectionClose());
}

TEST_F(DescComissoesWithBridge, AFrozenBridgeShowsTheWaitWindowUntilTheTimeoutEndsTheCall) {
  ::setenv("QUILL_REMOTE_TIMEOUT_MS", "3000", 1);
  auto d = make();
  const bool opened = d->ConnectionOpen(demo::kCompanyCode, demo::kLogin);
  ::unsetenv("QUILL_REMOTE_TIMEOUT_MS");
  ASSERT_TRUE(opened);
  auto pids = bridgePids();
  ASSERT_EQ(pids.size(), 1u);
  waitWindows.clear();
  ::kill(pids[0], SIGSTOP);

  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(abono(*d, demo::kSeriesZeroInvoice));
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_GE(elapsed, std::chrono::milliseconds(2900));
  EXPECT_LT(elapsed, std::chrono::seconds(10));
  ASSERT_EQ(waitWindows.size(), 1u);
  const auto& seen = waitWindows[0];
  EXPECT_EQ(seen.caption, "Ligação SageNext API");
  EXPECT_TRUE(seen.shown);
  EXPECT_TRUE(seen.hidden);
  EXPECT_GE(seen.shownAt - started, std::chrono::milliseconds(1900)) << "shown after about 2 s";
  EXPECT_LE(seen.shownAt - started, std::chrono::milliseconds(2600));
  EXPECT_GE(seen.steps, 1);
  EXPECT_GE(ui.processEventsExceptInputCalls(), 5) << "the host repaints while it waits";
  EXPECT_FALSE(ui.busy());
  // At the end, the timeout's error: the link is lost.
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, std::string("Erro ") + kLigacaoPerdida);
  EXPECT_FALSE(d->apiLigada());
  ::kill(pids[0], SIGCONT);
  d->ConnectionClose();
}

// An article whose code has accented letters, in another case on the line
// than in the article file: it weighs, as on the original server.
TEST_F(DescComissoesWithBridge, AnAccentedArticleCodeInAnotherCaseCountsInTheAllowance) {
  const auto& key = demo::kSeriesZeroInvoice;
  const std::string where = " WHERE TPDOCUM='" + std::string(key.type) + "' AND SERIE=" + std::to_string(key.series) +
                            " AND NNUMDOC=" + std::to_string(key.number) + " AND ANO=" + std::to_string(key.year);
  auto line = company.rows("SELECT NUMLIN, ARTIGO FROM DOCGCLIN" + where + " AND TIPOLIN = 1 AND ARTIGO <> '" +
                           std::string(demo::kAllowanceArticle) + "' ORDER BY NUMLIN LIMIT 1");
  ASSERT_EQ(line.size(), 1u);
  // The same article under the code "Pão1", the line naming it "pÃO1".
  std::string columns, others;
  for (const auto& c : company.rows("SELECT name FROM pragma_table_info('ARTIGOS') WHERE name <> 'CODIGO'")) {
    columns += ", " + c[0];
    others += ", " + c[0];
  }
  company.execute(
      "INSERT INTO ARTIGOS (CODIGO" + columns + ") SELECT 'Pão1'" + others + " FROM ARTIGOS WHERE CODIGO = ?",
      {Variant(line[0][1])});
  auto d = make();
  ASSERT_TRUE(d->ConnectionOpen(demo::kCompanyCode, demo::kLogin));
  ASSERT_TRUE(abono(*d, key));
  const std::string price =
      "SELECT PRECUNIT FROM DOCGCLIN" + where + " AND ARTIGO='" + std::string(demo::kAllowanceArticle) + "'";
  const double before = vb::CDbl(company.value(price));
  ASSERT_GT(before, 0);

  company.execute("UPDATE DOCGCLIN SET ARTIGO = 'pÃO1'" + where + " AND NUMLIN = " + line[0][0]);
  ASSERT_TRUE(abono(*d, key));
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  EXPECT_NEAR(vb::CDbl(company.value(price)), before, 1e-9);
  d->ConnectionClose();
}

}  // namespace
}  // namespace quill

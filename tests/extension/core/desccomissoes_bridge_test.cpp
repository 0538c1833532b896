// The extension object with the real bridge server: what a company session
// does from opening to closing, across the two processes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "erp/CompanySchema.h"
#include "erp/DemoCodes.h"
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
int runningBridges() { return static_cast<int>(testing::childProcesses("quillbridge").size()); }

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
    return std::make_shared<DescComissoes>(std::move(env));
  }

  erpapi::test::DemoCompanyCopy company;
  fs::path folder;
  ui::RecordingUiServices ui;
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

}  // namespace
}  // namespace quill

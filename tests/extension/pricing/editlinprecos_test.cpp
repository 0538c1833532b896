// The price-line editor on memory views, writing through a real bridge
// process on a copy of the demo company: what PRECOS holds after each save,
// what the bridge refuses, a bridge that died, the report it prints.

#include "extension/pricing/EditLinPrecos.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "extension/components/DataAccess.h"
#include "extension/components/ReportPrinter.h"
#include "extension/reports/CriteriosMapasPorVnd.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/PropertyBag.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Format.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "tests/bridge/BridgeTest.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using bridgetest::DemoCompanyCopy;
using Rows = DemoCompanyCopy::Rows;
namespace demo = erp::demo;

const std::string kEur(demo::kNationalCurrency);
const std::string kGravado = "Alterações gravadas com êxito.";
const std::string kLinhaInvalida = "Linha inválida ou não existe.";

std::string s(std::string_view v) { return std::string(v); }
std::string today() { return vb::FormatDate(vb::today(), "dd-mm-yyyy"); }

// UI services that also count how often the hourglass was asked for.
class CountingUi : public ui::ScriptedUiServices {
 public:
  void setBusyCursor(bool busy) override {
    if (busy) ++busyTimes;
    ScriptedUiServices::setBusyCursor(busy);
  }
  int busyTimes = 0;
};

class EditLinPrecosTest : public bridgetest::BridgeTest {
 protected:
  void SetUp() override {
    testing::testApplication();
    BridgeTest::SetUp();
    if (HasFatalFailure()) return;
    start();
    // The editor writes its debug log in the current folder.
    previousFolder_ = fs::current_path();
    fs::current_path(company_->folder());
    components_.add(CriteriosMapasPorVnd::kFormName, [this]() -> DispatchPtr {
      auto form = std::make_shared<CriteriosMapasPorVnd>(ui, testing::memoryView(CriteriosMapasPorVnd::controls()));
      if (criteria_) testing::memoryOf(*form).whenShown(std::exchange(criteria_, {}));
      return form;
    });
    components_.add("ReportPrinter", [this] { return std::make_shared<ReportPrinter>(ui); });
  }
  void TearDown() override {
    form_.reset();
    if (!previousFolder_.empty()) fs::current_path(previousFolder_);
    BridgeTest::TearDown();
  }

  EditLinPrecos& make() {
    form_ = std::make_unique<EditLinPrecos>(ui, testing::memoryView(EditLinPrecos::controls()),
                                            [this](std::string_view name) { return components_.create(name); });
    form_->setDataAccess(dataAccess_);
    form_->setNextApi(bridge_);
    form_->setServidor(company_->databaseFile().parent_path().string());
    form_->setBaseDados(company_->databaseFile().stem().string());
    return *form_;
  }
  // Opens the editor and plays the user in it.
  void edit(std::function<void(ui::MemoryFormView&)> user) {
    auto& form = make();
    testing::memoryOf(form).whenShown(std::move(user));
    form.Editar(Variant(std::int32_t{0}));
  }

  // The grid row of an article (-1: none) and what a cell shows.
  static int rowOf(ui::FormView& v, std::string_view article) {
    return v.grid("grdLinPrecos").model().findRow(article);
  }
  static std::string cell(ui::FormView& v, std::string_view article, std::string_view field) {
    auto& model = v.grid("grdLinPrecos").model();
    return model.displayText(rowOf(v, article), *model.columnOf(field)).toStdString();
  }
  static bool type(ui::FormView& v, std::string_view article, const std::string& text) {
    return v.userEditCell("grdLinPrecos", rowOf(v, article), "PVP", text);
  }

  // DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA of one price in EUR; no row when there is none.
  Rows price(std::string_view article, int line) const {
    return company_->rows(
        "SELECT DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA FROM PRECOS WHERE ARTIGO = ? AND MOEDA = ? AND LINPRC = ?",
        {Variant(article), Variant(kEur), Variant(std::int32_t{line})});
  }
  Rows line(int line) const {
    return company_->rows(
        "SELECT ARTIGO, DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA FROM PRECOS WHERE MOEDA = ? AND LINPRC = ? ORDER BY "
        "ARTIGO",
        {Variant(kEur), Variant(std::int32_t{line})});
  }
  // The fixed-price articles the editor lists, in code order.
  std::vector<std::string> fixedPriceArticles() const {
    std::vector<std::string> out;
    for (const auto& row :
         company_->rows("SELECT A.CODIGO FROM ARTIGOS A JOIN U_ARTIGOS U ON U.CODIGO = A.CODIGO WHERE U.PRECOFIXO = -1 "
                        "AND A.ARTOUDES = 0 AND A.INACTIVO = 0 ORDER BY A.CODIGO"))
      out.push_back(row[0]);
    return out;
  }
  std::vector<std::string> prompts() const {
    std::vector<std::string> out;
    for (const auto& box : ui.boxes()) out.push_back(box.prompt);
    return out;
  }
  std::string debugLog() const {
    std::ifstream in(company_->folder() / EditLinPrecos::kDebugLog, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  CountingUi ui;
  ClassFactory components_;
  std::function<void(ui::MemoryFormView&)> criteria_;
  std::unique_ptr<EditLinPrecos> form_;
  fs::path previousFolder_;
};

TEST_F(EditLinPrecosTest, OpensOnTheFirstLineWithEveryFixedPriceArticleAndTheLinesFirstStartDate) {
  const auto articles = fixedPriceArticles();
  const auto first = price(articles.front(), demo::kPriceLine);
  edit([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.caption(), "Linhas de Preços");
    EXPECT_EQ(v.text("txtLinPrc"), std::to_string(demo::kPriceLine));
    EXPECT_EQ(v.text("lblLinPrc"), "Revenda");
    EXPECT_EQ(v.items("cmbLinhaPrc"),
              (std::vector<std::string>{"Revenda", "Grossistas", "Cooperativas", "Grandes Superfícies"}));
    EXPECT_EQ(v.listIndex("cmbLinhaPrc"), 0);
    EXPECT_EQ(v.text("dtpDataInicio"), first.empty() ? today() : first[0][0]);
    auto& model = v.grid("grdLinPrecos").model();
    ASSERT_EQ(model.rowCount(), static_cast<int>(articles.size()));
    // The shown columns, in order; the loaded values ride along hidden.
    std::vector<std::string> shown;
    for (const auto& c : model.columns())
      if (!c.hidden) shown.push_back(c.caption);
    EXPECT_EQ(shown, (std::vector<std::string>{"Artigo", "Nome", "Data Início", "Preço s/IVA", "Preço c/IVA"}));
    // A price is shown with four decimals, and as the system's "#,###.###0"
    // has it, no zero before the comma; an article without one shows nothing.
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"), ",3100");
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "DATINIC"), "01-10-2024");
    EXPECT_EQ(cell(v, demo::kFixedPriceArticleWithoutPrice, "PVP"), "");
    EXPECT_EQ(cell(v, demo::kFixedPriceArticleWithoutPrice, "DATINIC"), "");
    v.userClick("CmdCancel");
  });
  EXPECT_TRUE(ui.boxes().empty()) << prompts()[0];
  EXPECT_FALSE(ui.busy());
  EXPECT_GT(ui.busyTimes, 0);
}

TEST_F(EditLinPrecosTest, ANewPriceAChangeAndARemovalAreWrittenByTheErpWithTheirHistory) {
  company_->execute("UPDATE ARTIGOS SET IVA = 3 WHERE CODIGO = ?", {Variant(demo::kFixedPriceArticleWithoutPrice)});
  const Rows before = price(demo::kFixedPriceArticle, demo::kPriceLine);
  ASSERT_EQ(before.size(), 1u);
  std::string start;
  edit([&](ui::MemoryFormView& v) {
    start = v.text("dtpDataInicio");
    // 10 at 23 % VAT, unrounded; the line's start date comes with it.
    EXPECT_TRUE(type(v, demo::kFixedPriceArticleWithoutPrice, "10"));
    EXPECT_EQ(cell(v, demo::kFixedPriceArticleWithoutPrice, "PVPIVA"), "12,3000");
    EXPECT_EQ(cell(v, demo::kFixedPriceArticleWithoutPrice, "DATINIC"), start);
    EXPECT_TRUE(type(v, demo::kFixedPriceArticle, "0,35"));
    // Clearing a price clears its price with VAT and its date.
    EXPECT_TRUE(type(v, demo::kFuturePriceArticle, " "));
    EXPECT_EQ(cell(v, demo::kFuturePriceArticle, "PVPIVA"), "");
    EXPECT_EQ(cell(v, demo::kFuturePriceArticle, "DATINIC"), "");
    EXPECT_TRUE(v.userClick("CmdConf"));
    // Reloaded from what the ERP now holds.
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"), ",3500");
    v.userClick("CmdCancel");
  });
  EXPECT_EQ(prompts(), (std::vector<std::string>{kGravado}));
  EXPECT_EQ(price(demo::kFixedPriceArticleWithoutPrice, demo::kPriceLine), (Rows{{start, "10", "12.3", "0", "0"}}));
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine),
            (Rows{{before[0][0], "0.35", "0.371", before[0][1], before[0][2]}}));
  EXPECT_TRUE(price(demo::kFuturePriceArticle, demo::kPriceLine).empty());
}

TEST_F(EditLinPrecosTest, LettersAndNegativePricesAreRefusedAndChangeNothing) {
  edit([&](ui::MemoryFormView& v) {
    const std::string loaded = cell(v, demo::kFixedPriceArticle, "PVP");
    for (const char* typed : {"abc", "-1", "1,2,3", "-0,01"}) {
      EXPECT_FALSE(type(v, demo::kFixedPriceArticle, typed)) << typed;
      EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"), loaded) << typed;
    }
    EXPECT_TRUE(v.userClick("CmdConf"));
    v.userClick("CmdCancel");
  });
  // Nothing changed: nothing to say, but the grid was reloaded.
  EXPECT_TRUE(ui.boxes().empty()) << prompts()[0];
  EXPECT_EQ(testing::occurrences(debugLog(), "GetLinhasPrecos      SELECT"), 2);
}

struct DateCase {
  const char* name;
  int answer;
  bool moved;
};

class DateMove : public EditLinPrecosTest, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateMove, ANewStartDateMovesEveryPriceOfTheLineOnYesAndNothingOnNo) {
  const DateCase& c = GetParam();
  const Rows before = line(demo::kSecondPriceLine);
  ui.answerNext(c.answer);
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtLinPrc", std::to_string(demo::kSecondPriceLine)));
    EXPECT_EQ(v.text("lblLinPrc"), "Grossistas");
    EXPECT_TRUE(v.userPickDate("dtpDataInicio", "01-09-2026"));
    // Sending every row shows the hourglass and lets the window repaint.
    ui.busyTimes = 0;
    const int events = ui.processEventsCalls();
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_GT(ui.busyTimes, 0);
    EXPECT_FALSE(ui.busy());
    if (c.moved) {
      EXPECT_GE(ui.processEventsCalls() - events, 1);
    }
    // The flag went with the save: saving again asks nothing.
    EXPECT_TRUE(v.userClick("CmdConf"));
    v.userClick("CmdCancel");
  });
  ASSERT_FALSE(ui.boxes().empty());
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A data de activação foi alterada.\r\nPretende alterar todos artigos da Linha (Sim),  ou nenhum "
            "(Não).\r\n");
  EXPECT_EQ(ui.boxes()[0].title, "Data de activação");
  EXPECT_EQ(ui.boxes()[0].style, vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2);
  EXPECT_EQ(prompts().size(), c.moved ? 2u : 1u);
  Rows expected = before;
  if (c.moved)
    for (auto& row : expected) row[1] = "01-09-2026";
  // Dates move, prices and history stay, no article gains a price.
  EXPECT_EQ(line(demo::kSecondPriceLine), expected);
}

INSTANTIATE_TEST_SUITE_P(EditLinPrecos, DateMove,
                         ::testing::Values(DateCase{"Yes", vb::vbYes, true}, DateCase{"No", vb::vbNo, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditLinPrecosTest, ALineNumberIsCheckedWhenTheFieldIsLeft) {
  edit([&](ui::MemoryFormView& v) {
    for (const char* wrong : {"70000", "77", "-1"}) {
      ui.clearBoxes();
      EXPECT_FALSE(v.userType("txtLinPrc", wrong)) << wrong;
      EXPECT_EQ(v.focused(), "txtLinPrc");
      EXPECT_EQ(prompts(), (std::vector<std::string>{kLinhaInvalida})) << wrong;
    }
    // Text that is no number is let through with no description; the grid
    // keeps its line.
    ui.clearBoxes();
    EXPECT_TRUE(v.userType("txtLinPrc", "abc"));
    EXPECT_EQ(v.text("lblLinPrc"), "");
    EXPECT_TRUE(ui.boxes().empty());
    // Choosing a line by its description shows that line.
    EXPECT_TRUE(v.userChoose("cmbLinhaPrc", "Cooperativas"));
    EXPECT_EQ(v.text("txtLinPrc"), "3");
    EXPECT_EQ(v.text("lblLinPrc"), "Cooperativas");
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"),
              vb::Format(Variant(std::stod(price(demo::kFixedPriceArticle, 3)[0][1])), "#,###.###0"));
    // The lookup writes the line picked and leaves its description to the check.
    testing::pickInNextLookup(ui, "4");
    EXPECT_TRUE(v.userKey("txtLinPrc", "Ctrl+L"));
    EXPECT_EQ(v.text("txtLinPrc"), "4");
    EXPECT_EQ(v.text("lblLinPrc"), "");
    v.userClick("CmdCancel");
  });
}

TEST_F(EditLinPrecosTest, LeavingTheLineFieldOnTheSameLineKeepsWhatWasTyped) {
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(type(v, demo::kFixedPriceArticle, "0,5"));
    EXPECT_TRUE(v.userType("txtLinPrc", std::to_string(demo::kPriceLine)));
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"), ",5000");
    EXPECT_TRUE(v.userClick("CmdConf"));
    v.userClick("CmdCancel");
  });
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine)[0][1], "0.5");
}

// A save the ERP refuses half way: the box says why, the prices sent before
// stay sent, nothing after is sent, and the window goes on.
struct Refusal {
  const char* name;
  int line;
  const char* beforeSave;                                  // what happens to the data between loading and saving
  std::vector<std::pair<std::string, std::string>> typed;  // article, price; in code order
  std::size_t refused;                                     // the entry of `typed` the ERP refuses
  int number;
};

class RefusedSave : public EditLinPrecosTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedSave, StopsAtThatPriceAndKeepsWhatWasSent) {
  const Refusal& r = GetParam();
  std::map<std::string, Rows> before;
  for (const auto& [article, typed] : r.typed) before[article] = price(article, r.line);
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtLinPrc", std::to_string(r.line)));
    for (const auto& [article, typed] : r.typed) EXPECT_TRUE(type(v, article, typed)) << article;
    company_->execute(r.beforeSave);
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.isShown());
    EXPECT_TRUE(v.grid("grdLinPrecos").redraw());
    // The user's prices are still there, the sent one too.
    EXPECT_EQ(cell(v, r.typed.back().first, "PVP"),
              vb::Format(Variant(vb::CDbl(Variant(r.typed.back().second))), "#,###.###0"));
    v.userClick("CmdCancel");
  });
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Linhas de preços");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
  EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro " + std::to_string(r.number) + " - ", 0), 0u) << ui.boxes()[0].prompt;
  for (std::size_t i = 0; i < r.typed.size(); ++i) {
    const auto& [article, typed] = r.typed[i];
    const Rows now = price(article, r.line);
    if (i < r.refused) {
      ASSERT_EQ(now.size(), 1u) << article;
      EXPECT_EQ(now[0][1], typed) << article;
    } else if (i == r.refused) {
      EXPECT_TRUE(now.empty() || now[0][1] != typed) << article;
    } else {
      EXPECT_EQ(now, before[article]) << article;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EditLinPrecos, RefusedSave,
                         ::testing::Values(
                             // The line goes away while the user types: an existing price still
                             // changes, a new one is refused by the ERP.
                             Refusal{"UnknownPriceLine",
                                     4,
                                     "DELETE FROM LINPRC WHERE LINHA = 4",
                                     {{"ADU00007", "1"}, {"CEV001", "2"}, {"FAR00003", "3"}},
                                     1,
                                     1202},
                             // A price the ERP holds as negative cannot become history.
                             Refusal{"NegativePrice",
                                     1,
                                     "UPDATE PRECOS SET PVP = -1 WHERE ARTIGO = 'FAR00005' AND LINPRC = 1",
                                     {{"ADU00007", "1"}, {"FAR00005", "2"}, {"MIL001", "3"}},
                                     1,
                                     1204}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditLinPrecosTest, SavingAgainAfterARefusalDoesNotSendAPriceTwice) {
  const Rows before = price("ADU00007", 4);
  ASSERT_EQ(before.size(), 1u);
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtLinPrc", "4"));
    EXPECT_TRUE(type(v, "ADU00007", "1"));
    EXPECT_TRUE(type(v, demo::kFixedPriceArticleWithoutPrice, "2"));
    company_->execute("DELETE FROM LINPRC WHERE LINHA = 4");
    EXPECT_TRUE(v.userClick("CmdConf"));
    company_->execute("INSERT INTO LINPRC (LINHA, DESCR) VALUES (4, 'Grandes Superfícies')");
    EXPECT_TRUE(v.userClick("CmdConf"));
    v.userClick("CmdCancel");
  });
  EXPECT_EQ(prompts().back(), kGravado);
  // The history is still the price before the first save, not 1 itself.
  EXPECT_EQ(price("ADU00007", 4)[0][1], "1");
  EXPECT_EQ(price("ADU00007", 4)[0][3], before[0][1]);
  EXPECT_EQ(price(demo::kFixedPriceArticleWithoutPrice, 4)[0][1], "2");
}

TEST_F(EditLinPrecosTest, ADeadBridgeIsError462AtOnceAndTheWindowGoesOn) {
  const auto processes = bridgetest::bridgeProcesses();
  ASSERT_EQ(processes.size(), 1u);
  const Rows before = line(demo::kPriceLine);
  std::chrono::steady_clock::duration took{};
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(type(v, demo::kFixedPriceArticle, "0,9"));
    ::kill(processes[0], SIGKILL);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(v.userClick("CmdConf"));
    took = std::chrono::steady_clock::now() - started;
    EXPECT_TRUE(v.isShown());
    EXPECT_EQ(cell(v, demo::kFixedPriceArticle, "PVP"), ",9000");
    v.userClick("CmdCancel");
  });
  EXPECT_LT(took, std::chrono::seconds(2));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro 462 - ", 0), 0u) << ui.boxes()[0].prompt;
  EXPECT_EQ(line(demo::kPriceLine), before);
}

TEST_F(EditLinPrecosTest, AnArticleCodeWithAQuoteIsSavedLikeAnyOther) {
  company_->execute("INSERT INTO ARTIGOS (CODIGO, NOME, IVA) VALUES ('AVE''IA', 'Aveia d''Ouro', 1)");
  company_->execute("INSERT INTO U_ARTIGOS (CODIGO, PRECOFIXO) VALUES ('AVE''IA', -1)");
  edit([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(type(v, "AVE'IA", "1,5"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_EQ(cell(v, "AVE'IA", "PVP"), "1,5000");
    v.userClick("CmdCancel");
  });
  EXPECT_EQ(prompts(), (std::vector<std::string>{kGravado}));
  EXPECT_EQ(price("AVE'IA", demo::kPriceLine).size(), 1u);
  // The company's codes go into the editor's own statement the same way.
  const std::string sql = EditLinPrecos::GetLinhasPrecosSql(2, "E'R", "CO'NT");
  EXPECT_NE(sql.find("'E''R' = PRECOS.MOEDA"), std::string::npos);
  EXPECT_NE(sql.find("'CO''NT' = RGIVA.CODIGO"), std::string::npos);
}

TEST_F(EditLinPrecosTest, WithoutNationalSettingsOrPriceLinesTheWindowIsNotShown) {
  auto semMoeda = PropertyBag::create("SageNextApi");
  semMoeda->setValue("MoedaNacional", Variant(""));
  semMoeda->setValue("RegimeIVANacional", Variant(s(demo::kNationalVatRegime)));
  struct Case {
    DispatchPtr api;
    const char* change;
    const char* message;
  };
  for (const Case& c : {Case{semMoeda, "",
                             "A moeda Nacional e o Regime de IVA Nacional devem ser definidos nos parametros da "
                             "aplicação."},
                        Case{bridge_, "DELETE FROM LINPRC", "Não existem linhas de preços definidas."}}) {
    if (*c.change) company_->execute(c.change);
    ui.clearBoxes();
    auto& form = make();
    form.setNextApi(c.api);
    form.Editar(Variant(std::int32_t{0}));
    EXPECT_EQ(testing::memoryOf(form).timesShown(), 0) << c.message;
    ASSERT_EQ(ui.boxes().size(), 1u) << c.message;
    EXPECT_EQ(ui.boxes()[0].prompt, c.message);
    EXPECT_EQ(ui.boxes()[0].title, "Linhas de preços");
    EXPECT_EQ(ui.boxes()[0].icon(), vb::vbInformation);
  }
}

TEST_F(EditLinPrecosTest, EachStepLeavesItsDebugLine) {
  edit([&](ui::MemoryFormView& v) { v.userClick("CmdCancel"); });
  const std::string log = debugLog();
  const std::string rows = std::to_string(fixedPriceArticles().size());
  for (const std::string& line : std::vector<std::string>{
           "Editar               INI -------------------------------------------------\r\n",
           "pFrmRefresh          INI\r\n", "GetLinhasPrecos      SELECT       ARTIGOS.CODIGO, ",
           "GetLinhasPrecos      " + rows + "\r\n", "pFrmGrdConfigurar    FIM\r\n", "pFrmGrdShow           1\r\n",
           "pFrmGrdShow           3-CODIGO\r\n", "pFrmGrdShow           3-PVPIVAORI\r\n", "pFrmGrdShow           6\r\n",
           "pFrmRefresh          FIM\r\n",
           "Editar               FIM -------------------------------------------------\r\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(EditLinPrecosTest, PrintingSavesFirstThenPrintsTheChosenSellersAndLinesAndEndsTheEditing) {
  fs::create_directories(company_->folder() / "pdf");
  ::setenv(ui::ReportOutput::kFolderVariable, (company_->folder() / "pdf").c_str(), 1);
  ui::ReportOutput::forgetLastPrinted();
  auto confirm = [&](ui::MemoryFormView& c) {
    EXPECT_EQ(c.caption(), "Linhas de Preços");
    EXPECT_TRUE(c.userType("txtVndIni", s(demo::kSeller)));
    EXPECT_TRUE(c.userType("txtVndFin", s(demo::kSeller)));
    EXPECT_TRUE(c.userType("txtPrcIni", "1"));
    EXPECT_TRUE(c.userType("txtPrcFin", "1"));
    EXPECT_TRUE(c.userClick("CmdConf"));
  };
  bool shownAfter = true;
  edit([&](ui::MemoryFormView& v) {
    // Criteria cancelled: nothing printed, the editor stays.
    criteria_ = [](ui::MemoryFormView& c) { c.userClick("CmdCancel"); };
    EXPECT_TRUE(v.userClick("CmdPrint"));
    EXPECT_TRUE(v.isShown());
    EXPECT_FALSE(ui::ReportOutput::lastPrinted());
    criteria_ = confirm;
    EXPECT_TRUE(type(v, demo::kFixedPriceArticle, "0,4321"));
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(v.userClick("CmdPrint"));
    ::testing::internal::GetCapturedStdout();
    shownAfter = v.isShown();
  });
  ::unsetenv(ui::ReportOutput::kFolderVariable);
  EXPECT_FALSE(shownAfter);
  EXPECT_EQ(price(demo::kFixedPriceArticle, demo::kPriceLine)[0][1], "0.4321");
  EXPECT_EQ(prompts(), (std::vector<std::string>{kGravado}));
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->name, "qor_VT_LinhasPrecos");
  EXPECT_NE(printed->text.find("Vendedor V01 - "), std::string::npos);
  EXPECT_NE(printed->text.find("Linha 1 - Revenda"), std::string::npos);
  EXPECT_EQ(printed->text.find("Linha 2 - "), std::string::npos);
  EXPECT_NE(printed->text.find("0,4321"), std::string::npos);
  EXPECT_NE(printed->text.find("Vendedores: de V01 a V01"), std::string::npos);
}

}  // namespace
}  // namespace quill

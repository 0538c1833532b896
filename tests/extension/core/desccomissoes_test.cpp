#include "extension/core/DescComissoes.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/ServerCompany.h"
#include "extension/components/DataAccess.h"
#include "extension/components/WaitWindow.h"
#include "extension/core/BridgeWait.h"
#include "extension/core/WatchedBridge.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/PropertyBag.h"
#include "platform/automation/SlowCalls.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/RecordingUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"
#include "tests/platform/sql/BackendTestSupport.h"

namespace quill {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;

// The demo company, made once for this test program.
const erp::CompanyEntry& demoCompany() {
  static const erp::CompanyEntry company = [] {
    auto folder = fs::temp_directory_path() / "quill-desccomissoes-test" / "erp";
    return erp::DemoCompany::ensure(folder, erp::DemoOptions{});
  }();
  return company;
}

// A bridge that records what it is asked and answers as told.
struct FakeBridge {
  std::shared_ptr<PropertyBag> object = PropertyBag::create("SageNextApi");
  bool iniciarAnswers = true;
  std::vector<Variant> iniciarArgs;
  std::vector<Variant> abonoArgs;
  int terminarCalls = 0;

  FakeBridge() {
    object->setMethod("Iniciar", [this](std::span<Variant> a) {
      iniciarArgs.assign(a.begin(), a.end());
      return Variant(iniciarAnswers);
    });
    object->setMethod("Terminar", [this](std::span<Variant>) {
      ++terminarCalls;
      return Variant(true);
    });
    object->setMethod("AbonoDeFrete", [this](std::span<Variant> a) {
      abonoArgs.assign(a.begin(), a.end());
      return Variant();
    });
  }
};

// A wait window that records what it is told.
struct RecordingWaitWindow : WaitWindow {
  struct Seen {
    std::string caption;
    std::string message;
    int maximum = -1;
    int value = -1;
    bool shown = false;
    bool hidden = false;
    int steps = 0;
  };
  explicit RecordingWaitWindow(Seen& seen) : seen_(seen) {}
  void setCaption(std::string_view caption) override { seen_.caption = caption; }
  void setMessage(std::string_view message) override { seen_.message = message; }
  void setProgressMaximum(int maximum) override { seen_.maximum = maximum; }
  void setProgressValue(int value) override { seen_.value = value; }
  void show() override { seen_.shown = true; }
  void hide() override { seen_.hidden = true; }
  void advance() override { ++seen_.steps; }

 private:
  Seen& seen_;
};

class DescComissoesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / "quill-desccomissoes-test" /
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder / "log");
    writeIni("VALTERO.INI", demo::kCompanyCode);
  }

  // The extension's INI naming the demo company: its file, or `server`'s
  // database with the server's login.
  void writeIni(const std::string& name, std::string_view empresa, std::string servidor = {},
                const std::optional<sql::ServerAddress>& server = {}) {
    if (servidor.empty()) servidor = demoCompany().dataFolder.string();
    std::string baseDados = demoCompany().databaseName, user, passWord;
    if (server) {
      servidor = fmt::format("{}:{}", server->host, server->port);
      baseDados = server->database;
      user = server->user;
      passWord = server->password;
    }
    std::ofstream(folder / name) << "[Api Next]\r\npassword=" << demo::kPassword << "\r\nLogin=" << demo::kLogin
                                 << "\r\nEmpresa=" << empresa << "\r\nperclog=" << (folder / "log").string()
                                 << "\r\nPercWindows=/erp\r\n\r\n[Ligação]\r\nServidor=" << servidor
                                 << "\r\nBaseDados=" << baseDados << "\r\nUser=" << user << "\r\nPassWord=" << passWord
                                 << "\r\n\r\n[DOCUMENTOS VENDA]\r\nTPDOC= FT , NC\r\nDESCRTABONO="
                                 << demo::kAllowanceArticle << "\r\n";
  }

  std::shared_ptr<DescComissoes> make() {
    DescComissoes::Environment env;
    env.ui = &ui;
    env.libraryFolder = folder;
    env.createWaitWindow = [this] {
      waitWindows.emplace_back();
      return std::make_unique<RecordingWaitWindow>(waitWindows.back());
    };
    env.createObject = [this](std::string_view progId) -> DispatchPtr {
      createdIds.emplace_back(progId);
      if (failCreate) throw vbError(vberr::CannotCreateObject);
      bridges.push_back(std::make_unique<FakeBridge>());
      bridges.back()->iniciarAnswers = iniciarAnswers;
      return bridges.back()->object;
    };
    env.createComponent = [this](std::string_view name) -> DispatchPtr {
      createdComponents.emplace_back(name);
      auto it = components.find(std::string(name));
      return it == components.end() ? nullptr : it->second();
    };
    return std::make_shared<DescComissoes>(std::move(env));
  }

  std::shared_ptr<DescComissoes> opened() {
    auto d = make();
    EXPECT_TRUE(
        late::call(d, "ConnectionOpen", {std::string(demo::kCompanyCode), std::string(demo::kLogin)}).boolValue());
    ui.clearBoxes();
    return d;
  }

  fs::path folder;
  ui::RecordingUiServices ui;
  std::deque<RecordingWaitWindow::Seen> waitWindows;
  std::vector<std::unique_ptr<FakeBridge>> bridges;
  std::vector<std::string> createdIds;
  // The forms and the report printer the commands create, by name.
  std::map<std::string, std::function<DispatchPtr()>> components;
  std::vector<std::string> createdComponents;
  bool failCreate = false;
  bool iniciarAnswers = true;
};

// ------------------------------------------------------------------ session

TEST_F(DescComissoesTest, InterfaceListsTheMembersInTheHostsOrder) {
  auto d = make();
  auto names = d->memberNames();
  std::vector<std::string> expected = {"EmpresaInteressa",
                                       "ConnectionOpen",
                                       "ConnectionClose",
                                       "ConnectDisconnectApiNext",
                                       "ValidadeDescontoCliente",
                                       "Desconto",
                                       "ValidateArtigo",
                                       "ValidateQuantidade",
                                       "ValidateUnidade",
                                       "ValidatePrecoUnit",
                                       "ValidateDesconto",
                                       "ValidateDescontoValor",
                                       "IsNotaCredito",
                                       "VendasDocumentoInteressa",
                                       "VendasTemLinhaPrecos",
                                       "VendasAbonoFrete",
                                       "EditGruposDescontos",
                                       "EditLinhasPrecos",
                                       "EditAltLinhasPrecos",
                                       "EditAltPrecos",
                                       "EditComissoes",
                                       "EditComPorGrupo",
                                       "MapaDescontosClienteGrupo",
                                       "MapaPendentesComTolerancia",
                                       "MapaMediaVendas",
                                       "MapaPendentes",
                                       "ApiLigada"};
  EXPECT_EQ(names, expected);
  // The last is the host's way to the link flag, read-only.
  EXPECT_EQ(late::get(d, "ApiLigada"), Variant(false));
  EXPECT_THROW(late::let(d, "ApiLigada", Variant(true)), AutomationError);
}

TEST_F(DescComissoesTest, OpeningStartsTheBridgeWithTheConfiguredLoginAndHandsItTheDataAccess) {
  auto d = opened();
  ASSERT_EQ(bridges.size(), 1u);
  EXPECT_EQ(createdIds[0], "Quillbridge.SageNextApi");
  const auto& a = bridges[0]->iniciarArgs;
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(a[0], Variant("/erp"));
  EXPECT_EQ(a[1], Variant((folder / "log").string()));
  EXPECT_EQ(a[2], Variant(demo::kCompanyCode));
  EXPECT_EQ(a[3], Variant(demo::kLogin));
  EXPECT_EQ(a[4], Variant(demo::kPassword));
  EXPECT_EQ(bridges[0]->object->value("DataAccess").objectValue(), d->dataAccess());
  EXPECT_TRUE(d->apiLigada());
  EXPECT_TRUE(d->dataAccess()->isOpen());
  // The wait window and its timer are gone once the call returns.
  EXPECT_EQ(ui.runningTimers(), 0u);
  EXPECT_GT(ui.processEventsCalls(), 3);
}

TEST_F(DescComissoesTest, TheWaitWindowShowsWhileTheCompanyOpensItsBarMovedByA500msTimer) {
  ui.setTickOnProcessEvents(true);
  for (bool bridgeStarts : {true, false}) {
    iniciarAnswers = bridgeStarts;
    auto d = make();
    d->ConnectionOpen(demo::kCompanyCode, "quill");
    const auto& seen = waitWindows.back();
    EXPECT_EQ(seen.caption, "Inicialização Sage API");
    EXPECT_EQ(seen.maximum, 100);
    EXPECT_EQ(seen.value, 0);
    EXPECT_TRUE(seen.shown);
    EXPECT_TRUE(seen.hidden) << "hidden before the call returns";
    EXPECT_GT(seen.steps, 2) << "each DoEvents lets the timer tick";
    EXPECT_EQ(ui.timerIntervals().back(), 500);
    EXPECT_EQ(ui.runningTimers(), 0u);
  }
  // An error on the way closes the window and stops the timer as well.
  failCreate = true;
  make()->ConnectionOpen(demo::kCompanyCode, "quill");
  EXPECT_TRUE(waitWindows.back().hidden);
  EXPECT_EQ(ui.runningTimers(), 0u);
}

TEST_F(DescComissoesTest, ACompanyThatDoesNotConcernTheExtensionOpensNothing) {
  auto d = make();
  EXPECT_FALSE(late::call(d, "ConnectionOpen", {"OUTRA", std::string(demo::kLogin)}).boolValue());
  EXPECT_TRUE(bridges.empty());
  EXPECT_FALSE(d->dataAccess()->isOpen());
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(DescComissoesTest, CompanyMatchingIgnoresCaseAndBlanksAndAnEmptySettingConcernsEveryCompany) {
  auto d = make();
  EXPECT_FALSE(d->EmpresaInteressa(demo::kCompanyCode));  // nothing read yet
  EXPECT_TRUE(d->EmpresaInteressa("   "));
  EXPECT_TRUE(d->ConnectionOpen("  demo ", "quill"));
  EXPECT_TRUE(d->EmpresaInteressa(" Demo"));

  writeIni("VALTERO.INI", "");
  auto any = make();
  EXPECT_TRUE(any->ConnectionOpen("QUALQUER", "quill"));
  EXPECT_FALSE(any->EmpresaInteressa("QUALQUER"));
  EXPECT_TRUE(any->EmpresaInteressa(""));
}

TEST_F(DescComissoesTest, APerUserFileIsReadAloneAndNoFileGivesIntegratedSecurity) {
  writeIni("VALTERO.maria", "OUTRA");
  auto d = make();
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, "maria"));
  EXPECT_EQ(d->configurationPath(), folder / "VALTERO.maria");

  fs::remove(folder / "VALTERO.INI");
  auto none = make();
  none->ConnectionOpen("X", "ninguem");
  EXPECT_EQ(none->connectionString(),
            "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=;Initial Catalog=;Integrated Security=SSPI;");
}

std::string fileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(DescComissoesTest, TheDebugLogSaysWhichFileLacksWhichConnectionSetting) {
  const std::string file = (folder / "VALTERO.INI").string();
  const std::string api =
      "[Api Next]\r\nEmpresa=" + std::string(demo::kCompanyCode) + "\r\nperclog=" + (folder / "log").string() + "\r\n";
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> said;
  } cases[] = {
      {"no such section", api, {"ficheiro " + file + " lido: falta a secção [Ligação]"}},
      {"no database key",
       api + "[Ligação]\r\nServidor=/dados\r\n",
       {"ficheiro " + file + " lido: falta a chave BaseDados na secção [Ligação]"}},
      {"both keys empty",
       api + "[ligação]\r\nServidor=\r\nBaseDados=  \r\n",
       {"ficheiro " + file + " lido: a chave Servidor da secção [Ligação] está vazia",
        "ficheiro " + file + " lido: a chave BaseDados da secção [Ligação] está vazia"}},
  };
  for (const auto& c : cases) {
    fs::remove(folder / "log" / "DBGVALTERO.TXT");
    std::ofstream(folder / "VALTERO.INI", std::ios::binary) << c.text;
    EXPECT_FALSE(make()->ConnectionOpen(demo::kCompanyCode, "quill")) << c.name;
    const std::string log = fileText(folder / "log" / "DBGVALTERO.TXT");
    for (const auto& line : c.said)
      EXPECT_NE(log.find(vb::padRight("Configuração", 50) + " " + line + "\r\n"), std::string::npos) << c.name << ":\n"
                                                                                                     << log;
  }
  // A complete configuration logs nothing of the kind.
  fs::remove(folder / "log" / "DBGVALTERO.TXT");
  writeIni("VALTERO.INI", demo::kCompanyCode);
  EXPECT_TRUE(make()->ConnectionOpen(demo::kCompanyCode, "quill"));
  EXPECT_EQ(fileText(folder / "log" / "DBGVALTERO.TXT").find("Configuração"), std::string::npos);
}

TEST_F(DescComissoesTest, ADatabaseThatIsNotACompanyDoesNotOpenAndTheLogSaysWhy) {
  fs::create_directories(folder / "dados");
  std::ofstream(folder / "dados" / (demoCompany().databaseName + ".db"));  // 0 bytes
  writeIni("VALTERO.INI", demo::kCompanyCode, (folder / "dados").string());
  auto d = make();
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, "quill"));
  EXPECT_FALSE(d->dataAccess()->isOpen());
  EXPECT_NE(d->dataAccess()->lastError().find("is not a company database"), std::string::npos)
      << d->dataAccess()->lastError();
  EXPECT_NE(fileText(folder / "log" / "DBGVALTERO.TXT").find("OpenConnection"), std::string::npos);
  EXPECT_EQ(fs::file_size(folder / "dados" / (demoCompany().databaseName + ".db")), 0u);
}

TEST(ConnectionString, AUserOrAPasswordAloneWritesBoth) {
  EXPECT_EQ(buildConnectionString("MSDataShape", "SQLOLEDB", "srv", "db", "sa", ""),
            "Provider=MSDataShape;Data Provider=SQLOLEDB;Data Source=srv;Initial Catalog=db;User Id=sa;Password=; ");
  EXPECT_EQ(buildConnectionString("", "SQLOLEDB", "srv", "db", "", "x"),
            "Provider=SQLOLEDB;Data Source=srv;Initial Catalog=db;User Id=;Password=x; ");
}

TEST_F(DescComissoesTest, ABridgeThatRefusesToStartClosesTheDatabase) {
  iniciarAnswers = false;
  auto d = make();
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, "quill"));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro. Não foi possivel ligar ao Sage Next");
  EXPECT_EQ(ui.boxes()[0].title, "Ligação ao Servidor/Sage Next");
  EXPECT_EQ(ui.boxes()[0].icon(), 48);
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(d->dataAccess(), nullptr);
  // The object is spent: opening again fails through the error path.
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, "quill"));
  EXPECT_EQ(ui.boxes().back().title, "Ligação ao Servidor");
}

TEST_F(DescComissoesTest, ABridgeThatCannotBeCreatedIsReportedAndTheOpenDatabaseAnswers) {
  failCreate = true;
  auto d = make();
  EXPECT_TRUE(d->ConnectionOpen(demo::kCompanyCode, "quill"));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro ActiveX component can't create object");
  EXPECT_EQ(ui.boxes()[0].title, "Ligação ao Servidor");
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(ui.runningTimers(), 0u);
}

TEST_F(DescComissoesTest, ADatabaseThatDoesNotOpenLeavesTheBridgeRunningUntilClose) {
  writeIni("VALTERO.INI", demo::kCompanyCode, (folder / "nowhere").string());
  auto d = make();
  EXPECT_FALSE(d->ConnectionOpen(demo::kCompanyCode, "quill"));
  EXPECT_TRUE(d->apiLigada());
  EXPECT_TRUE(d->ConnectionClose());
  EXPECT_EQ(bridges[0]->terminarCalls, 1);
  EXPECT_EQ(d->nextApi(), nullptr);
}

TEST_F(DescComissoesTest, SwitchingTheApiLinkOffAndOnAgain) {
  auto d = opened();
  ui.answerNext(7);  // No
  late::call(d, "ConnectDisconnectApiNext");
  EXPECT_TRUE(d->apiLigada());
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "A API SageNext encontra-se ligada. Pretende desligar?");

  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(bridges[0]->terminarCalls, 1);
  EXPECT_EQ(ui.boxes().back().prompt, "A API SageNext encontra-se agora, desligada.");

  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  EXPECT_TRUE(d->apiLigada());
  EXPECT_EQ(bridges.size(), 2u);  // every switch-on makes a fresh bridge
  EXPECT_EQ(ui.boxes().back().prompt, "A API SageNext encontra-se agora, ligada.");
  EXPECT_EQ(ui.boxes()[ui.boxes().size() - 2].prompt, "A API SageNext encontra-se desligada. Pretende ligar?");
}

// ------------------------------------------------------------------ sales lines

// The host's document context for one line.
struct Context {
  std::shared_ptr<PropertyBag> oApi = PropertyBag::create("oApi");
  std::shared_ptr<PropertyBag> linha = PropertyBag::create("Linha");
  std::shared_ptr<PropertyBag> cab = PropertyBag::create("Cab");

  Context(std::string_view cliente, std::string_view artigo = "", std::string_view unidade = "KG") {
    oApi->setValue("Linha", DispatchPtr(linha));
    oApi->setValue("Cab", DispatchPtr(cab));
    cab->setValue("Data", vb::makeDate(2026, 3, 16));
    cab->setValue("Terceiro", cliente);
    cab->setValue("Moeda", demo::kNationalCurrency);
    linha->setValue("Artigo", artigo);
    linha->setValue("Unidade", unidade);
    linha->setValue("PrecoUnitario", 0.0);
    linha->setValue("TaxaDesconto", 0.0);
    linha->setValue("Estado", std::int16_t{0});
    linha->setValue("OrDoc", "");
  }
  double preco() const { return vb::CDbl(linha->value("PrecoUnitario")); }
  Variant desconto() const { return linha->value("Desconto"); }
};

// The demo company's database on the test server, copied once for this
// program and dropped when it ends; nothing when no test server runs.
const std::optional<sql::ServerAddress>& demoOnServer() {
  struct Copy {
    std::optional<sql::ServerAddress> server = sql::testing::testServer();
    Copy() {
      if (!server) return;
      server->database = fmt::format("quill_hooks_{}", static_cast<long>(::getpid()));
      erp::ServerCompany::copy(demoCompany().databaseFile(), *server);
    }
    ~Copy() {
      try {
        if (server) erp::ServerCompany::drop(*server);
      } catch (...) {
      }
    }
  };
  static Copy copy;
  return copy.server;
}

// The sales-line and sales-document hooks read the company database: each
// case runs on the demo company's file and on its copy on the test server.
class SalesHooks : public DescComissoesTest, public ::testing::WithParamInterface<sql::testing::Backend> {
 protected:
  void SetUp() override {
    DescComissoesTest::SetUp();
    if (GetParam() == sql::testing::Backend::Embedded) return;
    if (!demoOnServer()) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
    writeIni("VALTERO.INI", demo::kCompanyCode, {}, demoOnServer());
  }
};

double queryNumber(const std::string& sql) {
  auto c = sql::Connection::open(demoCompany().databaseFile());
  auto rs = c->query(sql);
  return vb::CDbl(rs->value(std::size_t{0}));
}

TEST_P(SalesHooks, AFixedPriceArticleTakesItsPriceLinePriceTimesTheUnitFactor) {
  auto d = opened();
  double pvp = queryNumber("SELECT PVP FROM PRECOS WHERE ARTIGO='" + std::string(demo::kFixedPriceArticle) +
                           "' AND MOEDA='EUR' AND LINPRC=" + std::to_string(demo::kPriceLine));
  Context ctx(demo::kPriceLineClient, "", "SC");
  std::vector<Variant> args{DispatchPtr(ctx.oApi), std::string(demo::kFixedPriceArticle), Variant(), Variant(), false};
  late::callRef(d, "ValidateArtigo", args);
  EXPECT_DOUBLE_EQ(ctx.preco(), pvp * demo::kFixedPriceArticlePackingFactor);
  EXPECT_EQ(ctx.desconto(), Variant("0"));
  EXPECT_EQ(vb::CDbl(args[3]), 0);
  EXPECT_TRUE(ui.boxes().empty());

  // Entering a discount on it is refused, even a typed "0", and the entry cleared.
  std::vector<Variant> desconto{DispatchPtr(ctx.oApi), "0", Variant(), false};
  ctx.linha->setValue("Artigo", demo::kFixedPriceArticle);
  late::callRef(d, "ValidateDesconto", desconto);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Artigo com Linha de preços não permite desconto.");
  EXPECT_EQ(ui.boxes()[0].title, "Descontos");
  EXPECT_EQ(desconto[1], Variant(""));
  EXPECT_EQ(desconto[2], Variant(""));
  EXPECT_EQ(desconto[3], Variant(true));
}

TEST_P(SalesHooks, GroupAndPerKgDiscountsBecomeTheLinesDiscount) {
  auto d = opened();
  Context grupo(demo::kGroupDiscountClient);
  std::vector<Variant> args{DispatchPtr(grupo.oApi), std::string(demo::kGroupDiscountArticle), Variant(), Variant(),
                            false};
  late::callRef(d, "ValidateArtigo", args);
  double preco = grupo.preco();
  ASSERT_GT(preco, 0);
  EXPECT_DOUBLE_EQ(vb::CDbl(args[3]), demo::kGroupDiscount);
  EXPECT_NEAR(vb::CDbl(grupo.desconto()), demo::kGroupDiscount / preco * 100, 0.005);

  Context porKg(demo::kPerKgDiscountClient, "", "PAL");
  std::vector<Variant> kg{DispatchPtr(porKg.oApi), std::string(demo::kOrdinaryArticle), Variant(), Variant(), false};
  late::callRef(d, "ValidateArtigo", kg);
  double palete = queryNumber("SELECT FACTTRA FROM ARTIGOS WHERE CODIGO='" + std::string(demo::kOrdinaryArticle) + "'");
  EXPECT_DOUBLE_EQ(vb::CDbl(kg[3]), demo::kPerKgDiscount * palete);
}

TEST_P(SalesHooks, LinesThatNoRuleGovernsAreLeftAlone) {
  auto d = opened();
  for (auto [cliente, artigo] : {std::pair{demo::kRetailClient, demo::kDescriptionOnlyArticle},
                                 std::pair{demo::kUnknownClient, demo::kOrdinaryArticle},
                                 std::pair{demo::kRetailClient, demo::kUnknownArticle}}) {
    Context ctx(cliente);
    ctx.linha->setValue("PrecoUnitario", 3.25);
    std::vector<Variant> args{DispatchPtr(ctx.oApi), std::string(artigo), Variant(), Variant(), false};
    late::callRef(d, "ValidateArtigo", args);
    EXPECT_DOUBLE_EQ(ctx.preco(), 3.25) << cliente << " " << artigo;
  }
  // A new line (no article yet) with an ordinary article keeps the host's price.
  Context novo(demo::kRetailClient);
  novo.linha->setValue("PrecoUnitario", 1.5);
  std::vector<Variant> args{DispatchPtr(novo.oApi), std::string(demo::kOrdinaryArticle), Variant(), Variant(), false};
  late::callRef(d, "ValidateArtigo", args);
  EXPECT_DOUBLE_EQ(novo.preco(), 1.5);
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_P(SalesHooks, HooksWithoutALineOrWithWrongValuesShowTheirBoxAndNeverThrow) {
  auto d = opened();
  Context semLinha(demo::kRetailClient);
  semLinha.oApi->setValue("Linha", Variant());
  std::vector<Variant> args{DispatchPtr(semLinha.oApi), "X", Variant(), Variant(), false};
  late::callRef(d, "ValidateArtigo", args);
  EXPECT_TRUE(ui.boxes().empty());

  Context ctx(demo::kRetailClient, demo::kOrdinaryArticle);
  std::vector<Variant> q{DispatchPtr(ctx.oApi), 5.0, Variant(), "não é número", false};
  late::callRef(d, "ValidateQuantidade", q);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Validate Quantidade");
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro Type mismatch");

  std::vector<Variant> cliente{std::string(demo::kMalformedDiscountClient), Variant(), Variant()};
  late::callRef(d, "ValidadeDescontoCliente", cliente);
  EXPECT_EQ(ui.boxes().back().title, "Validar Desconto Cliente");
  EXPECT_TRUE(cliente[2].isEmpty());

  std::vector<Variant> composto{std::string(demo::kCompoundDiscountClient), Variant(), Variant()};
  late::callRef(d, "ValidadeDescontoCliente", composto);
  EXPECT_DOUBLE_EQ(vb::CDbl(composto[2]), 14.5);
}

TEST_F(DescComissoesTest, TheUnitOfALineChangesOnlyOnACreditNote) {
  auto d = opened();
  Context ctx(demo::kRetailClient, demo::kOrdinaryArticle, "KG");
  std::vector<Variant> args{DispatchPtr(ctx.oApi), "SC", Variant(), false};
  late::callRef(d, "ValidateUnidade", args);
  EXPECT_EQ(args[2], Variant("KG"));
  EXPECT_EQ(args[3], Variant(true));

  for (auto [campo, valor] : {std::pair{"AreaGestao", 4}, std::pair{"TipoTerceiro", 2}, std::pair{"TipoOperacao", 2},
                              std::pair{"NaturezaContab", 1}, std::pair{"TipificacaoStocks", 1}})
    ctx.cab->setValue(campo, std::int16_t(valor));
  Variant oApi{DispatchPtr(ctx.oApi)};
  EXPECT_TRUE(d->IsNotaCredito(oApi));
  std::vector<Variant> nc{DispatchPtr(ctx.oApi), "SC", Variant(), false};
  late::callRef(d, "ValidateUnidade", nc);
  EXPECT_EQ(nc[3], Variant(false));
  ctx.cab->setValue("NaturezaContab", Variant::null());
  EXPECT_FALSE(d->IsNotaCredito(oApi));
}

TEST_F(DescComissoesTest, HooksWriteDebugLinesWithTheTagIn50Characters) {
  auto d = opened();
  Context ctx(demo::kRetailClient);
  std::vector<Variant> args{DispatchPtr(ctx.oApi), std::string(demo::kOrdinaryArticle), Variant(), Variant(), false};
  late::callRef(d, "ValidateArtigo", args);
  std::ifstream log(folder / "log" / "DBGVALTERO.TXT", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_EQ(text.substr(0, 56), "ValidateArtigo" + std::string(36, ' ') + " Ini\r\n");
  EXPECT_NE(text.find("ValidateArtigo" + std::string(36, ' ') + " Fim\r\n"), std::string::npos);
}

// ------------------------------------------------------------------ sales documents

TEST_F(DescComissoesTest, DocumentTypesMatchTrimmedPiecesButTheArgumentIsNotTrimmed) {
  auto d = opened();
  EXPECT_TRUE(d->VendasDocumentoInteressa("ft"));
  EXPECT_TRUE(d->VendasDocumentoInteressa("NC"));
  EXPECT_FALSE(d->VendasDocumentoInteressa(" FT"));
  EXPECT_FALSE(d->VendasDocumentoInteressa("ENC"));
}

TEST_P(SalesHooks, PriceLinePriceOfAClientOnADate) {
  auto d = opened();
  Variant data("16-03-2026"), preco;
  EXPECT_TRUE(d->VendasTemLinhaPrecos(demo::kPriceLineClient, "EUR", demo::kFixedPriceArticle, data, "SC", preco));
  double pvp = queryNumber("SELECT PVP FROM PRECOS WHERE ARTIGO='" + std::string(demo::kFixedPriceArticle) +
                           "' AND MOEDA='EUR' AND LINPRC=" + std::to_string(demo::kPriceLine));
  EXPECT_DOUBLE_EQ(vb::CDbl(preco), pvp * demo::kFixedPriceArticlePackingFactor);

  // A price that starts after the document: a fixed-price article answers its retail price.
  Variant futuro;
  EXPECT_TRUE(d->VendasTemLinhaPrecos(demo::kPriceLineClient, "EUR", demo::kFuturePriceArticle, data, "", futuro));
  EXPECT_DOUBLE_EQ(vb::CDbl(futuro), queryNumber("SELECT PVPSIVA FROM ARTIGOS WHERE CODIGO='" +
                                                 std::string(demo::kFuturePriceArticle) + "'"));
  // A client without a price line has none, whatever PRECOS holds for line 0.
  Variant nada(1.0);
  EXPECT_FALSE(d->VendasTemLinhaPrecos(demo::kRetailClient, "EUR", demo::kFixedPriceArticle, data, "", nada));
  EXPECT_EQ(nada, Variant(1.0));
}

TEST_P(SalesHooks, FreightAllowanceIsAskedOfTheBridgeOnlyWhenDue) {
  auto d = opened();
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kNoAllowanceDispatch, demo::kAllowanceClient));
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kAllowanceDispatch, demo::kClientWithoutUserFields));
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kAllowanceDispatch, demo::kZeroAllowanceClient));
  EXPECT_TRUE(bridges[0]->abonoArgs.empty());
  EXPECT_TRUE(ui.boxes().empty());

  EXPECT_TRUE(late::call(d, "VendasAbonoFrete",
                         {std::int16_t{2026}, "FT", std::int16_t{1}, std::int32_t{7},
                          std::string(demo::kAllowanceDispatch), std::string(demo::kAllowanceClient)})
                  .boolValue());
  const auto& a = bridges[0]->abonoArgs;
  ASSERT_EQ(a.size(), 6u);
  EXPECT_EQ(a[0], Variant("FT"));
  EXPECT_EQ(a[1], Variant(std::int32_t{7}));
  EXPECT_EQ(a[2], Variant(std::int16_t{1}));
  EXPECT_EQ(a[3], Variant(std::int16_t{2026}));
  EXPECT_EQ(a[4], Variant(demo::kAllowancePerTonne));
  EXPECT_EQ(a[5], Variant(demo::kAllowanceArticle));

  // With the link off the user is warned and nothing is asked.
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ui.clearBoxes();
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 8, demo::kAllowanceDispatch, demo::kAllowanceClient));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.");
  EXPECT_EQ(ui.boxes()[0].title, "Ligação SageNext API");
}

INSTANTIATE_TEST_SUITE_P(Backends, SalesHooks,
                         ::testing::Values(sql::testing::Backend::Embedded, sql::testing::Backend::Server),
                         sql::testing::backendName);

constexpr const char* kLigacaoPerdida =
    "A ligação à API perdeu-se: a API deixou de responder. A ligação fica desligada; "
    "pode voltar a ligá-la no menu, em Ligação SageNext API.";

AutomationError bridgeGone() {
  return AutomationError(vberr::ServerUnavailable, "SageNextApi",
                         "The remote server machine does not exist or is unavailable");
}

TEST_F(DescComissoesTest, ABridgeFoundGoneIsReleasedTheUserToldOnceAndTheLinkIsOffUntilSwitchedOn) {
  auto d = opened();
  bridges[0]->object->setMethod("AbonoDeFrete", [](std::span<Variant>) -> Variant { throw bridgeGone(); });
  bridges[0]->object->setMethod("Terminar", [](std::span<Variant>) -> Variant { throw bridgeGone(); });

  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kAllowanceDispatch, demo::kAllowanceClient));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, std::string("Erro ") + kLigacaoPerdida);
  EXPECT_EQ(ui.boxes()[0].title, "Documentos de Venda");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(late::get(d, "ApiLigada"), Variant(false));
  EXPECT_EQ(d->nextApi(), nullptr);

  // From then on, as with the link off: the system's warning, no call.
  ui.clearBoxes();
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 8, demo::kAllowanceDispatch, demo::kAllowanceClient));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.");

  // Switching on starts a fresh bridge.
  ui.clearBoxes();
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].prompt, "A API SageNext encontra-se desligada. Pretende ligar?");
  EXPECT_EQ(ui.boxes()[1].prompt, "A API SageNext encontra-se agora, ligada.");
  ASSERT_EQ(bridges.size(), 2u);
  EXPECT_TRUE(d->apiLigada());
  EXPECT_TRUE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kAllowanceDispatch, demo::kAllowanceClient));
  EXPECT_EQ(bridges[1]->abonoArgs.size(), 6u);
}

TEST_F(DescComissoesTest, StoppingABridgeThatDiedUnseenIsNoError) {
  // Switched off: the confirmation, not the dead bridge's error.
  auto d = opened();
  bridges[0]->object->setMethod("Terminar", [](std::span<Variant>) -> Variant { throw bridgeGone(); });
  ui.answerNext(6);
  EXPECT_NO_THROW(d->ConnectDisconnectApiNext());
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(ui.boxes().back().prompt, "A API SageNext encontra-se agora, desligada.");

  // Closed: true, and nothing for the host to show.
  auto e = opened();
  bridges.back()->object->setMethod("Terminar", [](std::span<Variant>) -> Variant { throw bridgeGone(); });
  EXPECT_TRUE(e->ConnectionClose());

  // Any other error of Terminar still reaches the host.
  auto f = opened();
  bridges.back()->object->setMethod("Terminar", [](std::span<Variant>) -> Variant {
    throw AutomationError(5, "cNextDocComercial::ApiTermina", "Invalid procedure call or argument");
  });
  EXPECT_THROW(f->ConnectionClose(), AutomationError);
}

TEST(BridgeWait, ASlowCallShowsTheWaitWindowAndTheBusyPointerUntilItEnds) {
  ui::RecordingUiServices ui;
  std::deque<RecordingWaitWindow::Seen> windows;
  bool openingWindow = false;
  BridgeWait wait(
      ui,
      [&] {
        windows.emplace_back();
        return std::make_unique<RecordingWaitWindow>(windows.back());
      },
      [&] { return openingWindow; });

  wait.slowCallStarted();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].caption, "Ligação SageNext API");
  EXPECT_EQ(windows[0].message, "A aguardar resposta da API. Aguarde ...");
  EXPECT_EQ(windows[0].maximum, 100);
  EXPECT_TRUE(windows[0].shown);
  EXPECT_TRUE(ui.busy());
  // Every tick (0,1 s) lets the windows repaint; the bar moves every 0,5 s.
  for (int i = 0; i < 10; ++i) wait.slowCallWaiting();
  EXPECT_EQ(windows[0].steps, 2);
  EXPECT_EQ(ui.processEventsExceptInputCalls(), 11);
  EXPECT_EQ(ui.processEventsCalls(), 0) << "the user's input waits";
  // A call nested in the slow one keeps the same window.
  wait.slowCallStarted();
  wait.slowCallEnded();
  EXPECT_FALSE(windows[0].hidden);
  wait.slowCallEnded();
  EXPECT_TRUE(windows[0].hidden);
  EXPECT_FALSE(ui.busy());
  EXPECT_EQ(windows.size(), 1u);

  // While the company opens, its own wait window serves.
  openingWindow = true;
  wait.slowCallStarted();
  wait.slowCallWaiting();
  wait.slowCallEnded();
  EXPECT_EQ(windows.size(), 1u);
  EXPECT_FALSE(ui.busy());
}

TEST_F(DescComissoesTest, TheObjectWatchesSlowCallsWhileItLives) {
  SlowCallObserver* before = slowCallObserver();
  auto d = make();
  SlowCallObserver* mine = slowCallObserver();
  ASSERT_NE(mine, before);
  mine->slowCallStarted();
  ASSERT_FALSE(waitWindows.empty());
  EXPECT_EQ(waitWindows.back().caption, "Ligação SageNext API");
  mine->slowCallEnded();
  EXPECT_TRUE(waitWindows.back().hidden);
  // Objects may go in any order; the one still alive keeps watching.
  auto e = make();
  d.reset();
  EXPECT_NE(slowCallObserver(), mine);
  EXPECT_NE(slowCallObserver(), before);
  e.reset();
  EXPECT_EQ(slowCallObserver(), before);
}

TEST_F(DescComissoesTest, AnAllowanceTheBridgeRefusesIsShownWithTheErpMessage) {
  auto d = opened();
  bridges[0]->object->setMethod("AbonoDeFrete", [](std::span<Variant>) -> Variant {
    throw AutomationError(-2147221503, "Processa Abono de Frete", "O documento não pode ser alterado.");
  });
  EXPECT_FALSE(d->VendasAbonoFrete(2026, "FT", 1, 7, demo::kAllowanceDispatch, demo::kAllowanceClient));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro O documento não pode ser alterado.");
  EXPECT_EQ(ui.boxes()[0].title, "Documentos de Venda");
}

}  // namespace
}  // namespace quill

namespace quill {
namespace {

// ------------------------------------------------------------------ commands

// A criteria form that records what it is given and answers as a user who
// confirmed (or cancelled) with these values.
struct FakeForm {
  std::shared_ptr<PropertyBag> object = PropertyBag::create("Form");
  std::vector<Variant> editarArgs;
  explicit FakeForm(bool cancelled, std::map<std::string, std::string> parameters = {}) {
    object->setValue("Cancelou", Variant(cancelled));
    object->setMethod("Editar", [this](std::span<Variant> a) {
      editarArgs.assign(a.begin(), a.end());
      return Variant();
    });
    object->setMethod("GetParametro", [parameters](std::span<Variant> a) {
      auto it = parameters.find(a[0].stringValue());
      return Variant(it == parameters.end() ? std::string() : it->second);
    });
  }
};

struct FakePrinter {
  std::shared_ptr<PropertyBag> object = PropertyBag::create("ReportPrinter");
  std::vector<Variant> printed;
  FakePrinter() {
    object->setMethod("Imprimir", [this](std::span<Variant> a) {
      printed.assign(a.begin(), a.end());
      return Variant(true);
    });
  }
  std::vector<std::string> parameters() const {
    std::vector<std::string> out;
    for (const auto& v : printed.at(0).arrayValue().items) out.push_back(v.stringValue());
    return out;
  }
};

class CommandsTest : public DescComissoesTest {
 protected:
  void offer(const std::string& name, std::shared_ptr<FakeForm> form) {
    forms.push_back(form);
    components[name] = [form] { return form->object; };
  }
  void SetUp() override {
    DescComissoesTest::SetUp();
    components["ReportPrinter"] = [this] { return printer.object; };
  }
  std::vector<std::shared_ptr<FakeForm>> forms;
  FakePrinter printer;
};

TEST_F(CommandsTest, PendingDocumentsGivesModeThenDataAccessNoOwnerAndPrintsTheKeysWithABlankFirstClient) {
  auto d = opened();
  auto form = std::make_shared<FakeForm>(
      false, std::map<std::string, std::string>{{"CLIF", "C00009"}, {"VNDI", "V01"}, {"DATI", "08-12-2026"}});
  offer("frmCriteriosMapas", form);
  late::call(d, "MapaPendentes", {Variant(std::int32_t{77}), Variant("demo")});
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(form->object->propertyNames(), (std::vector<std::string>{"Cancelou", "Mapa", "DataAccess"}));
  EXPECT_EQ(form->object->value("Mapa"), Variant(std::int16_t{3}));
  ASSERT_EQ(form->editarArgs.size(), 1u);
  EXPECT_TRUE(form->editarArgs[0].isObject());  // an empty object: no owner
  EXPECT_EQ(form->editarArgs[0].objectValue(), nullptr);

  EXPECT_EQ(printer.parameters(),
            (std::vector<std::string>{"", " ", "C00009", "V01", "", "", "", "", "", "08-12-2026"}));
  EXPECT_EQ(printer.object->value("TipoRelatorio"), Variant(std::int32_t{2}));
  EXPECT_EQ(printer.object->value("FicheiroRelatorio"), Variant(folder.string() + "\\qor_VT_Pendentes.rpt"));
  EXPECT_EQ(printer.object->value("Destino"), Variant(std::int32_t{1}));
  EXPECT_EQ(printer.object->value("Pai"), Variant(std::int32_t{77}));
  EXPECT_EQ(printer.object->propertyNames(),
            (std::vector<std::string>{"TipoRelatorio", "Servidor", "BaseDados", "Utilizador", "PassWord",
                                      "FicheiroRelatorio", "Destino", "Pai"}));
}

TEST_F(CommandsTest, ToleranceAndAverageSalesPrintTheirValuesInTheTabledOrder) {
  auto d = opened();
  auto tolerance = std::make_shared<FakeForm>(false);
  tolerance->object->setValue("PrimeiroVendedor", Variant("V01"));
  tolerance->object->setValue("UltimoVendedor", Variant("V09"));
  tolerance->object->setValue("PrimeiroCliente", Variant("C1"));
  tolerance->object->setValue("UltimoCliente", Variant("C9"));
  offer("frmCriteriosPendTolerancia", tolerance);
  late::call(d, "MapaPendentesComTolerancia", {Variant(std::int32_t{5}), Variant(std::string(demo::kCompanyCode))});
  EXPECT_EQ(tolerance->editarArgs.at(0), Variant(std::int32_t{5}));
  EXPECT_EQ(printer.parameters(), (std::vector<std::string>{"", "V01", "V09", "C1", "C9"}));
  EXPECT_EQ(printer.object->value("FicheiroRelatorio"),
            Variant(folder.string() + "\\qor_VT_PendentesToleranciaVencidos.rpt"));

  auto average = std::make_shared<FakeForm>(false);
  average->object->setValue("PrimeiraData", Variant("1-2-2026"));
  average->object->setValue("UltimaData", Variant("28-02-2026"));
  average->object->setValue("PrimeiroArt", Variant("A"));
  average->object->setValue("UltimoArt", Variant("Z"));
  offer("frmCriteriosMapasMediaVenda", average);
  late::call(d, "MapaMediaVendas", {Variant(std::int32_t{5}), Variant(std::string(demo::kCompanyCode))});
  EXPECT_EQ(printer.parameters(),
            (std::vector<std::string>{"", "01-02-2026", "28-02-2026", "A", "Z", "", "", "", "", ""}));
  EXPECT_EQ(printer.object->value("FicheiroRelatorio"), Variant(folder.string() + "\\Qor_VT_MediaVendas.rpt"));
}

TEST_F(CommandsTest, ACancelledFormPrintsNothingAndAnotherCompanyOpensNothing) {
  auto d = opened();
  offer("frmCriteriosMapasMediaVenda", std::make_shared<FakeForm>(true));
  late::call(d, "MapaMediaVendas", {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
  EXPECT_TRUE(printer.printed.empty());
  createdComponents.clear();
  late::call(d, "MapaMediaVendas", {Variant(std::int32_t{1}), Variant("OUTRA")});
  EXPECT_TRUE(createdComponents.empty());
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(CommandsTest, TheDiscountAndCommissionEditorsGetTheirPropertiesInTheTabledOrderAndTheirOwner) {
  auto d = opened();
  struct Case {
    const char* command;
    const char* form;
    std::vector<std::string> properties;
    Variant owner;
  };
  const std::vector<std::string> connection = {"DataAccess", "Utilizador", "BaseDados", "PassWord", "Servidor"};
  const Case cases[] = {
      {"EditGruposDescontos", "frmEditGrpDescontos", connection, Variant(std::int32_t{42})},
      {"EditComissoes", "frmEditComissoes", connection, Variant(std::int32_t{42})},
      {"EditComPorGrupo", "frmEditComGrp", {"DataAccess"}, Variant(std::int32_t{0})},
      {"MapaDescontosClienteGrupo", "frmCriteriosDescCliGrupo", {"DataAccess"}, Variant(std::int32_t{42})}};
  for (const auto& c : cases) {
    auto form = std::make_shared<FakeForm>(false);
    offer(c.form, form);
    if (std::string(c.command) == "EditComPorGrupo")
      late::call(d, c.command, {Variant(std::string(demo::kCompanyCode))});
    else
      late::call(d, c.command, {Variant(std::int32_t{42}), Variant(std::string(demo::kCompanyCode))});
    std::vector<std::string> expected = {"Cancelou"};  // the fake's own
    expected.insert(expected.end(), c.properties.begin(), c.properties.end());
    EXPECT_EQ(form->object->propertyNames(), expected) << c.command;
    EXPECT_TRUE(form->object->value("DataAccess").isObject()) << c.command;
    ASSERT_EQ(form->editarArgs.size(), 1u) << c.command;
    EXPECT_EQ(form->editarArgs[0], c.owner) << c.command;
  }
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_TRUE(printer.printed.empty());
  // Another company opens nothing.
  createdComponents.clear();
  late::call(d, "EditComissoes", {Variant(std::int32_t{1}), Variant("OUTRA")});
  late::call(d, "EditComPorGrupo", {Variant("OUTRA")});
  late::call(d, "MapaDescontosClienteGrupo", {Variant(std::int32_t{1}), Variant("OUTRA")});
  EXPECT_TRUE(createdComponents.empty());
}

TEST_F(CommandsTest, TheEditorsFailuresAreTitledByTheirCommand) {
  auto d = opened();
  const std::pair<const char*, const char*> titles[] = {{"EditGruposDescontos", "Grupos/Descontos"},
                                                        {"EditComissoes", "Comissões"},
                                                        {"EditComPorGrupo", "Comissões por Grupo"},
                                                        {"MapaDescontosClienteGrupo", "Descontos Cliente Grupo"}};
  for (const auto& [command, title] : titles) {
    ui.clearBoxes();
    if (std::string(command) == "EditComPorGrupo")
      late::call(d, command, {Variant(std::string(demo::kCompanyCode))});
    else
      late::call(d, command, {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
    ASSERT_EQ(ui.boxes().size(), 1u) << command;  // no such form here
    EXPECT_EQ(ui.boxes()[0].title, title);
    EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro ", 0), 0u);
  }
}

TEST_F(CommandsTest, AFailureIsShownTitledByTheCommandAndGoesNoFurther) {
  auto d = opened();
  auto form = std::make_shared<FakeForm>(false);
  form->object->setMethod("Editar", [](std::span<Variant>) -> Variant {
    throw AutomationError(91, "frmCriteriosMapas", "Object variable not set");
  });
  offer("frmCriteriosMapas", form);
  late::call(d, "MapaPendentes", {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro Object variable not set");
  EXPECT_EQ(ui.boxes()[0].title, "Pendentes");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
  // A form the library cannot make is an error of the command too.
  late::call(d, "MapaPendentesComTolerancia", {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[1].title, "Mapa Pendentes com Tolerancia");
}

TEST_F(CommandsTest, ThePriceLineEditorIsGivenTheBridgeAndTheSettingsInTheTabledOrder) {
  auto d = opened();
  auto form = std::make_shared<FakeForm>(false);
  offer("frmEditLinPrecos", form);
  late::call(d, "EditLinhasPrecos", {Variant(std::int32_t{7}), Variant(" demo")});
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(form->object->propertyNames(), (std::vector<std::string>{"Cancelou", "DataAccess", "NextApi", "Utilizador",
                                                                     "BaseDados", "PassWord", "Servidor"}));
  // The bridge itself answers what the form asks of it.
  late::call(form->object->value("NextApi").objectValue(), "Terminar");
  EXPECT_EQ(bridges[0]->terminarCalls, 1);
  EXPECT_EQ(form->object->value("DataAccess").objectValue(), d->dataAccess());
  EXPECT_EQ(form->object->value("BaseDados"), Variant(demoCompany().databaseName));
  EXPECT_EQ(form->editarArgs, (std::vector<Variant>{Variant(std::int32_t{7})}));
  EXPECT_TRUE(printer.printed.empty());

  // Another company: nothing made, nothing said.
  createdComponents.clear();
  d->EditLinhasPrecos(7, "OUTRA");
  EXPECT_TRUE(createdComponents.empty());
  EXPECT_TRUE(ui.boxes().empty());

  // A failure of the form is the command's, titled by it.
  form->object->setMethod("Editar", [](std::span<Variant>) -> Variant {
    throw AutomationError(91, "frmEditLinPrecos", "Object variable not set");
  });
  d->EditLinhasPrecos(7, demo::kCompanyCode);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro Object variable not set");
  EXPECT_EQ(ui.boxes()[0].title, "Linhas de preços");
}

TEST_F(CommandsTest, WithTheApiLinkOffThePriceLineEditorWarnsBeforeAnythingElse) {
  auto d = opened();
  offer("frmEditLinPrecos", std::make_shared<FakeForm>(false));
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ui.clearBoxes();
  createdComponents.clear();
  // Even for a company it does not concern: the warning comes first.
  for (const char* empresa : {"DEMO", "OUTRA"}) d->EditLinhasPrecos(1, empresa);
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[1].prompt,
            "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.");
  EXPECT_TRUE(createdComponents.empty());
}

// The price editors: the bridge and the database settings follow the data
// access, in the tabled order; the host window is the owner.
TEST_F(CommandsTest, PriceEditorsGetTheBridgeAndTheDatabaseSettingsInOrderOverTheHostWindow) {
  auto d = opened();
  for (const char* name : {"frmEditAltLinPrecos", "frmEditAltPrecos"}) offer(name, std::make_shared<FakeForm>(false));
  late::call(d, "EditAltLinhasPrecos", {Variant(std::int32_t{9}), Variant(std::string(demo::kCompanyCode))});
  late::call(d, "EditAltPrecos", {Variant(std::int32_t{9}), Variant(std::string(demo::kCompanyCode))});
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  EXPECT_EQ(createdComponents, (std::vector<std::string>{"frmEditAltLinPrecos", "frmEditAltPrecos"}));
  for (const auto& form : forms) {
    // (Cancelou is the fake's own.)
    EXPECT_EQ(form->object->propertyNames(),
              (std::vector<std::string>{"Cancelou", "DataAccess", "NextApi", "Utilizador", "BaseDados", "PassWord",
                                        "Servidor"}));
    EXPECT_EQ(form->object->value("NextApi").objectValue(), d->nextApi());
    EXPECT_EQ(form->editarArgs, (std::vector<Variant>{Variant(std::int32_t{9})}));
  }
  EXPECT_TRUE(printer.printed.empty());
}

TEST_F(CommandsTest, PriceEditorsWarnFirstWhenTheApiIsOffAndStaySilentForAnotherCompany) {
  auto d = opened();
  offer("frmEditAltPrecos", std::make_shared<FakeForm>(false));
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ui.clearBoxes();
  // Off: the warning, even for a company that does not concern the extension.
  late::call(d, "EditAltPrecos", {Variant(std::int32_t{1}), Variant("OUTRA")});
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt,
            "A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.");
  EXPECT_TRUE(createdComponents.empty());

  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ui.clearBoxes();
  late::call(d, "EditAltLinhasPrecos", {Variant(std::int32_t{1}), Variant("OUTRA")});
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_TRUE(createdComponents.empty());
}

TEST_F(CommandsTest, PriceEditorFailuresAreTitledByTheirCommands) {
  auto d = opened();
  auto form = std::make_shared<FakeForm>(false);
  form->object->setMethod("Editar", [](std::span<Variant>) -> Variant {
    throw AutomationError(3265, "DataAccess", "Item cannot be found");
  });
  offer("frmEditAltPrecos", form);
  late::call(d, "EditAltPrecos", {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
  late::call(d, "EditAltLinhasPrecos", {Variant(std::int32_t{1}), Variant(std::string(demo::kCompanyCode))});
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro Item cannot be found");
  EXPECT_EQ(ui.boxes()[0].title, "Alteração de Preços");
  EXPECT_EQ(ui.boxes()[1].title, "Alteração de Linhas de preços");  // no such form here
}

TEST_F(CommandsTest, ABridgeAFormFindsGoneSwitchesTheLinkOffAndTheFormSaysSoInPortuguese) {
  auto d = opened();
  auto form = std::make_shared<FakeForm>(false);
  offer("frmEditLinPrecos", form);
  d->EditLinhasPrecos(7, demo::kCompanyCode);
  DispatchPtr held = form->object->value("NextApi").objectValue();
  bridges[0]->object->setMethod("AlteraPreco", [](std::span<Variant>) -> Variant {
    throw AutomationError(vberr::ServerUnavailable, "SageNextApi", "The remote server machine does not exist");
  });

  auto error = [&] {
    try {
      late::call(held, "AlteraPreco");
    } catch (const AutomationError& e) {
      return e;
    }
    return AutomationError(0, "", "");
  };
  const AutomationError first = error();
  EXPECT_EQ(first.number(), vberr::ServerUnavailable);
  EXPECT_EQ(first.description(), WatchedBridge::kLost);
  EXPECT_FALSE(d->apiLigada());
  EXPECT_EQ(d->nextApi(), nullptr);
  EXPECT_EQ(error().description(), WatchedBridge::kLost) << "and at once on every later call";

  // A fresh bridge; the old one, still held, cannot switch the new one off.
  ui.answerNext(6);
  d->ConnectDisconnectApiNext();
  ASSERT_TRUE(d->apiLigada());
  error();
  EXPECT_TRUE(d->apiLigada());
}

}  // namespace
}  // namespace quill

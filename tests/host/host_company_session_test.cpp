// The company session and the extension menu, against an extension object
// whose answers each test chooses.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "erp/Installation.h"
#include "host/ExtensionMenu.h"
#include "host/ExtensionObject.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Database.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"
#include "platform/winapi/PrivateProfile.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;
using namespace test;

class HostCompanySessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    extensionFolder = processFolder() / (name + "-extension");
    session = sessionWith(ui, fake, extensionFolder);
  }

  std::string ini(const char* section, const char* key) {
    std::string value;
    winapi::getPrivateProfileString(section, key, "", value, 1024, extensionFolder / "VALTERO.INI");
    return value;
  }

  std::string name;
  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  CompanyChoice company;
  fs::path extensionFolder;
  std::unique_ptr<HostCompanySession> session;
};

TEST_F(HostCompanySessionTest, OpeningConfiguresTheExtensionThenOpensItWithTheCompanyAndLogin) {
  std::string empresaWhenOpened;
  fake->on("ConnectionOpen", [&](std::span<Variant> a) {
    // The configuration is in place before the extension reads it.
    empresaWhenOpened = ini("Api Next", "Empresa");
    return Variant(true);
  });
  ASSERT_TRUE(session->open(company));
  EXPECT_EQ(empresaWhenOpened, demo::kCompanyCode);
  auto open = fake->callsOf("ConnectionOpen");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].args, (std::vector<Variant>{std::string(demo::kCompanyCode), std::string(demo::kLogin)}));
  EXPECT_EQ(fake->callsOf("EmpresaInteressa").size(), 1u);
  EXPECT_TRUE(session->extensionActive());
  EXPECT_TRUE(session->apiLinkOn());

  fs::path erp = fs::absolute(company.erpFolder);
  EXPECT_EQ(ini("Api Next", "PercWindows"), erp.string());
  EXPECT_EQ(ini("Api Next", "perclog"), (erp / "log").string());
  EXPECT_TRUE(fs::is_directory(erp / "log"));
  EXPECT_EQ(ini("Api Next", "Login"), demo::kLogin);
  EXPECT_EQ(ini("Api Next", "password"), demo::kPassword);
  EXPECT_EQ(ini("Ligação", "Servidor"), (erp / "dados").string());
  EXPECT_EQ(ini("Ligação", "BaseDados"), demo::kDatabaseName);
  EXPECT_EQ(ini("DOCUMENTOS VENDA", "TPDOC"), demo::kAllowanceDocumentTypes);
  EXPECT_EQ(ini("DOCUMENTOS VENDA", "DESCRTABONO"), demo::kAllowanceArticle);
}

TEST_F(HostCompanySessionTest, ExtensionThatDoesNotOpenLeavesTheCompanyOpenWithoutIt) {
  fake->connectionOpenAnswer = false;
  ASSERT_TRUE(session->open(company));
  EXPECT_TRUE(session->isOpen());
  EXPECT_FALSE(session->extensionActive());
  EXPECT_FALSE(session->apiLinkOn());
  EXPECT_EQ(session->editorServices().extension, nullptr);
  EXPECT_TRUE(ExtensionMenu::entries(*session).empty());
  EXPECT_EQ(ui.boxesWith("A extensão não abriu a empresa").size(), 1u);
  // It is still told of the company's end, which stops a bridge it may have started.
  session->close();
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
}

TEST_F(HostCompanySessionTest, ErrorFromConnectionCloseIsShownAndTheCompanyStillCloses) {
  ASSERT_TRUE(session->open(company));
  fake->on("ConnectionClose", [](std::span<Variant>) -> Variant {
    throw AutomationError(462, "Quillbridge", "The remote server machine does not exist or is unavailable");
  });
  EXPECT_NO_THROW(session->close());
  EXPECT_FALSE(session->isOpen());
  auto shown = ui.boxesWith("Erro The remote server machine");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, HostCompanySession::kCloseTitle);
  EXPECT_EQ(shown[0].icon(), vb::vbExclamation);
}

TEST_F(HostCompanySessionTest, OpeningAnotherCompanyClosesTheFirstAndDestroyingTheSessionClosesTheLast) {
  ASSERT_TRUE(session->open(company));
  ASSERT_TRUE(session->open(company));
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
  session.reset();
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 2u);
}

TEST_F(HostCompanySessionTest, ADatabaseThatIsNotACompanyIsRefusedWithTheReasonAndLeftAsItWas) {
  const fs::path file = erp::Installation::open(company.erpFolder).findCompany(company.company)->databaseFile();
  const struct {
    const char* name;
    std::function<void()> spoil;
  } cases[] = {
      {"an empty file", [&] { std::ofstream(file, std::ios::trunc); }},
      {"another program's database",
       [&] {
         fs::remove(file);
         sql::Database(file, sql::Database::Mode::Create).exec("CREATE TABLE CONTACTOS (NOME TEXT)");
       }},
  };
  for (const auto& c : cases) {
    fs::remove(file.string() + "-wal");
    fs::remove(file.string() + "-shm");
    c.spoil();
    const auto sizeBefore = fs::file_size(file);
    ui.scripted->clearBoxes();
    EXPECT_FALSE(session->open(company)) << c.name;
    EXPECT_FALSE(session->isOpen()) << c.name;
    EXPECT_NE(session->lastError().find("não é uma base de dados de empresa: não tem a tabela PARAMETROS"),
              std::string::npos)
        << c.name << ": " << session->lastError();
    auto shown = ui.boxesWith("não é uma base de dados de empresa");
    ASSERT_EQ(shown.size(), 1u) << c.name;
    EXPECT_EQ(shown[0].title, HostCompanySession::kOpenTitle);
    EXPECT_TRUE(fake->callsOf("ConnectionOpen").empty()) << c.name;
    EXPECT_EQ(fs::file_size(file), sizeBefore) << c.name;
  }
}

TEST_F(HostCompanySessionTest, ExtensionThatCannotBeCreatedIsAReasonNotACrash) {
  HostCompanySession::Environment env;
  env.ui = ui.observed.get();
  env.createObject = [](std::string_view) -> DispatchPtr { throw vbError(vberr::CannotCreateObject); };
  env.extensionFolder = extensionFolder;
  HostCompanySession failing(env);
  EXPECT_FALSE(failing.open(company));
  EXPECT_FALSE(failing.isOpen());
  EXPECT_NE(failing.lastError().find("ActiveX component can't create object"), std::string::npos);
}

TEST_F(HostCompanySessionTest, TheApiLinkShownIsTheExtensionsOwnFlagAfterEveryCallThatMayChangeIt) {
  int changes = 0;
  session->setOnChange([&] { ++changes; });
  ASSERT_TRUE(session->open(company));
  ASSERT_TRUE(session->apiLinkOn());

  // Boxes that speak of the link change nothing: only the flag counts.
  fake->on("ConnectDisconnectApiNext", [this](std::span<Variant>) {
    ui.observed->msgBox("A API SageNext encontra-se agora, desligada.", vb::vbInformation, "Ligação SageNext API");
    return Variant();
  });
  changes = 0;
  session->toggleApiLink();
  EXPECT_TRUE(session->apiLinkOn());

  // A save that finds the bridge gone turns the link off: the window hears of it.
  fake->on("VendasAbonoFrete", [this](std::span<Variant>) {
    fake->apiLinkOn = false;
    return Variant(false);
  });
  changes = 0;
  session->extension()->VendasAbonoFrete(2026, "FT", 1, 7, "EXP", "C1");
  EXPECT_FALSE(session->apiLinkOn());
  EXPECT_EQ(changes, 1);

  // So does a switch that fails half-way, and a command.
  fake->on("ConnectDisconnectApiNext", [this](std::span<Variant>) -> Variant {
    fake->apiLinkOn = true;
    throw vbError(vberr::CannotCreateObject);
  });
  EXPECT_NO_THROW(session->toggleApiLink());
  EXPECT_EQ(ui.boxesWith("Erro ActiveX component can't create object").size(), 1u);
  EXPECT_TRUE(session->apiLinkOn());
  fake->on("MapaPendentes", [this](std::span<Variant>) {
    fake->apiLinkOn = false;
    return Variant();
  });
  session->extension()->command("MapaPendentes", {std::int32_t{0}, std::string(demo::kCompanyCode)});
  EXPECT_FALSE(session->apiLinkOn());

  // An extension that does not open the company has no link to show.
  fake->apiLinkOn = true;
  fake->connectionOpenAnswer = false;
  ASSERT_TRUE(session->open(company));
  EXPECT_FALSE(session->apiLinkOn());
}

// ------------------------------------------------------------------ menu

const std::vector<ExtensionCommand> kCommands = {
    {"EditGruposDescontos", "Grupos/Descontos...", ExtensionCommand::Arguments::WindowAndCompany},
    {"EditComPorGrupo", "Comissões por Grupo...", ExtensionCommand::Arguments::CompanyOnly},
};

TEST_F(HostCompanySessionTest, MenuOffersTheCommandsTheExtensionListsAndAlwaysTheApiSwitch) {
  fake->listed = {"ConnectionOpen", "EditComPorGrupo"};
  ASSERT_TRUE(session->open(company));
  auto entries = ExtensionMenu::entries(*session, kCommands);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].command.member, "EditComPorGrupo");
  EXPECT_TRUE(entries[0].enabled);
  EXPECT_EQ(entries[1].kind, ExtensionMenu::Entry::Kind::ApiSwitch);
  // The table of the program: of its commands the extension lists only this one.
  auto own = ExtensionMenu::entries(*session);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[0].command.member, "EditComPorGrupo");
  EXPECT_EQ(own[0].command.arguments, ExtensionCommand::Arguments::CompanyOnly);
  EXPECT_EQ(own[1].kind, ExtensionMenu::Entry::Kind::ApiSwitch);
}

TEST_F(HostCompanySessionTest, CommandsAreDisabledForACompanyThatDoesNotConcernTheExtension) {
  fake->interested = false;
  ASSERT_TRUE(session->open(company));
  auto entries = ExtensionMenu::entries(*session, kCommands);  // lists nothing: every command shown
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_FALSE(entries[0].enabled);
  EXPECT_FALSE(entries[1].enabled);
  EXPECT_TRUE(entries[2].enabled);
  ExtensionMenu::run(entries[0], *session, 77);
  EXPECT_TRUE(fake->callsOf("EditGruposDescontos").empty());
}

TEST_F(HostCompanySessionTest, CommandGetsTheWindowAndTheCompanyAndAMissingOneIsSaidSo) {
  std::vector<Variant> args;
  fake->on("EditGruposDescontos", [&](std::span<Variant> a) {
    args.assign(a.begin(), a.end());
    return Variant();
  });
  fake->on("EditComPorGrupo", [&](std::span<Variant> a) {
    args.assign(a.begin(), a.end());
    return Variant();
  });
  ASSERT_TRUE(session->open(company));
  auto entries = ExtensionMenu::entries(*session, kCommands);
  ExtensionMenu::run(entries[0], *session, 4242);
  EXPECT_EQ(args, (std::vector<Variant>{std::int32_t{4242}, std::string(demo::kCompanyCode)}));
  ExtensionMenu::run(entries[1], *session, 4242);
  EXPECT_EQ(args, (std::vector<Variant>{std::string(demo::kCompanyCode)}));

  // An object of another process lists nothing: a command it lacks answers 438.
  ExtensionMenu::Entry missing{ExtensionMenu::Entry::Kind::Command,
                               "Pendentes...",
                               {"MapaPendentes", "Pendentes...", ExtensionCommand::Arguments::WindowAndCompany}};
  EXPECT_NO_THROW(ExtensionMenu::run(missing, *session, 1));
  auto shown = ui.boxesWith("A extensão não tem o comando MapaPendentes.");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Pendentes...");
}

}  // namespace
}  // namespace quill::host

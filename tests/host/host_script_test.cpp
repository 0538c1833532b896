// The headless way to drive the host: the script's words, its commands and
// checks, and quillhost itself running a script.

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <fstream>
#include <sstream>

#include "HostTestSupport.h"
#include "erp/CompanyDatabase.h"
#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "erp/ServerCompany.h"
#include "host/HostScript.h"
#include "host/ScriptTokens.h"
#include "platform/automation/ProgramRegistry.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "tests/platform/sql/TestServer.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
namespace fs = std::filesystem;
using namespace test;

TEST(ScriptTokens, WordsAreSplitAtBlanksAndQuotesHoldBlanksAndQuotes) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"", {}},
      {"   # a comment", {}},
      {"set 1 artigo MIL001", {"set", "1", "artigo", "MIL001"}},
      {"  header\tcliente   \"D'OURO\" ", {"header", "cliente", "D'OURO"}},
      {"expect box \"não existe.\"", {"expect", "box", "não existe."}},
      {"print \"a \"\"b\"\" c\" \"\"", {"print", "a \"b\" c", ""}},
      {"set 1 desconto 10#5", {"set", "1", "desconto", "10#5"}},
  };
  for (const auto& c : cases) {
    std::string error;
    auto words = splitScriptLine(c.line, error);
    ASSERT_TRUE(words) << c.line;
    EXPECT_EQ(*words, c.words) << c.line;
  }
  std::string error;
  EXPECT_FALSE(splitScriptLine("header cliente \"open", error));
  EXPECT_FALSE(error.empty());
}

class HostScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    session = sessionWith(ui, fake, processFolder() / (name + "-extension"));
    script = std::make_unique<HostScript>(
        *session, *ui.scripted, [this] { return company; }, out);
  }

  bool run(const std::string& text) {
    std::istringstream in(text);
    return script->run(in);
  }

  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
  std::ostringstream out;
  std::unique_ptr<HostScript> script;
};

TEST_F(HostScriptTest, DocumentIsEditedSavedAndCheckedLineByLine) {
  bool passed =
      run("open-demo\n"
          "expect company open\n"
          "expect extension active\n"
          "new FT 2 16-03-2026\n"
          "expect header ano 2026\n"
          "header cliente c00008\n"
          "expect header cliente C00008\n"
          "header expedicao PROPRIA\n"
          "line ARR001 SC 4\n"
          "expect accepted\n"
          "set 1 desconto \"10+5\"\n"
          "expect line 1 unidade SC\n"
          "expect line 1 quantidade 4\n"
          "expect line 1 desconto 10+5\n"
          "line NAOEXISTE\n"
          "expect refused\n"
          "expect box \"O artigo \"\"NAOEXISTE\"\" não existe.\"\n"
          "remove 2\n"
          "expect lines 1\n"
          "save\n"
          "expect saved\n"
          "expect allowance no\n"
          "reopen\n"
          "expect lines 1\n"
          "expect line 1 artigo ARR001\n"
          "close\n"
          "expect company closed\n");
  EXPECT_TRUE(passed) << out.str();
  EXPECT_NE(out.str().find("[box] Documento de venda: O artigo \"NAOEXISTE\" não existe."), std::string::npos);
  EXPECT_NE(out.str().find("script passed"), std::string::npos);
}

TEST_F(HostScriptTest, FailedChecksAndBadCommandsAreReportedByLineAndTheScriptGoesOn) {
  bool passed =
      run("open-demo\n"
          "new FT 2 16-03-2026\n"
          "expect lines 3\n"
          "bogus\n"
          "set 1 artigo\n"
          "header cliente C00008\n"
          "expect header cliente C00008\n"
          "expect no-box\n");
  EXPECT_FALSE(passed);
  std::string text = out.str();
  EXPECT_NE(text.find("line 3: expected 3 lines, there are 0"), std::string::npos) << text;
  EXPECT_NE(text.find("line 4: unknown command \"bogus\""), std::string::npos) << text;
  EXPECT_NE(text.find("line 5: set <row> <field> <value>"), std::string::npos) << text;
  EXPECT_EQ(text.find("line 7"), std::string::npos) << text;  // the later lines still ran and passed
  EXPECT_NE(text.find("script FAILED"), std::string::npos);
}

// A refused command fails the script unless the script says it expects it.
TEST_F(HostScriptTest, ARefusedCommandFailsTheScriptUnlessAnExpectRefusedFollows) {
  struct Case {
    const char* name;
    std::string script;
    bool passes;
    const char* reported;  // in the output when it fails
  };
  const std::string closed = "open-document FT 1 1 2026\n";
  const Case cases[] = {
      {"a closed document edited and saved", closed + "set 1 quantidade 9999\nsave\n", false,
       "line 3: \"set 1 quantidade 9999\" was refused: O documento FT 1/1 de 2026 pertence a uma série assinada"},
      {"the same, the refusals expected", closed + "set 1 quantidade 9999\nexpect refused\nsave\nexpect refused\n",
       true, ""},
      {"a check between the refusal and its expect", closed + "save\nexpect box assinada\nexpect refused\n", true, ""},
      {"a refusal at the end of the script", closed + "save\n", false, "line 3: \"save\" was refused"},
      {"a document that does not exist", "open-document FT 2 999999 2026\nexpect no-box\n", false,
       "line 2: \"open-document FT 2 999999 2026\" was refused: O documento FT 2/999999 de 2026 não existe."},
      {"expect accepted answers a refusal too", "open-document FT 2 999999 2026\nexpect accepted\n", false,
       "line 3: expected the last command accepted"},
      {"an unknown line field is named", closed + "set 1 quantia 3\n", false,
       "line 3: unknown line field \"quantia\" (artigo, unidade, quantidade"},
      {"an unknown field in a check is named", closed + "expect line 1 peso 3\n", false,
       "line 3: unknown line field \"peso\""},
      {"a line that is not there", closed + "expect line 40 artigo X\n", false, "line 3: there is no line 40"},
  };
  // Each script opens the demo company first: its own lines start at 2.
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    out.str("");
    EXPECT_EQ(run("open-demo\n" + c.script), c.passes) << out.str();
    if (!c.passes) {
      EXPECT_NE(out.str().find(c.reported), std::string::npos) << out.str();
    }
  }
  // Nothing of the closed document was written.
  auto db = openDatabase(company);
  auto rs = db->query("SELECT count(*) AS N FROM DOCGCLIN WHERE QUANT = 9999");
  EXPECT_EQ(vb::CLng(rs->value(std::size_t{0})), 0);
}

TEST_F(HostScriptTest, ALookupIsPlayedByTheFormBlockAfterIt) {
  bool passed =
      run("open-demo\n"
          "new FT 2 16-03-2026\n"
          "lookup cliente c0000\n"
          "form\n"
          "  expect caption Clientes\n"
          "  type txtProcura c00005\n"
          "  expect rows grdLista 1\n"
          "  click cmdOK\n"
          "end\n"
          "expect header cliente C00005\n"
          "line ARR001\n"
          "lookup artigo 1 mil\n"
          "form\n"
          "  choose grdLista MIL001\n"
          "  click cmdOK\n"
          "end\n"
          "expect line 1 artigo MIL001\n"
          "lookup cliente\n"
          "form\n"
          "  click cmdCancelar\n"
          "end\n"
          "expect refused\n");
  EXPECT_TRUE(passed) << out.str();
}

TEST_F(HostScriptTest, CommandsThatNeedACompanyOrADocumentSaySo) {
  EXPECT_FALSE(run("new\n"));
  EXPECT_NE(out.str().find("needs an open company"), std::string::npos);
  out.str("");
  EXPECT_FALSE(run("open-demo\nsave\n"));
  EXPECT_NE(out.str().find("no document"), std::string::npos);
}

TEST_F(HostScriptTest, AnswersAreGivenToTheNextMessageBox) {
  bool asked = false;
  fake->on("ConnectDisconnectApiNext", [&](std::span<Variant>) {
    int answer =
        ui.observed->msgBox("A API SageNext encontra-se ligada. Pretende desligar?", 4 + 32, "Ligação SageNext API");
    asked = true;
    if (answer == 6) {
      fake->apiLinkOn = false;
      ui.observed->msgBox("A API SageNext encontra-se agora, desligada.", 64, "Ligação SageNext API");
    }
    return Variant();
  });
  EXPECT_TRUE(run("open-demo\nexpect api on\nanswer no\napi-switch\nexpect api on\napi-switch\nexpect api off\n"))
      << out.str();
  EXPECT_TRUE(asked);
}

// quillhost itself, with the real extension, running a script without a display.
class QuillhostProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = processFolder() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
  }

  // Runs quillhost with `args` and, unless `script` is false, a script file of `scriptText`.
  int run(const std::string& scriptText, std::vector<std::string> args = {"--demo"}, bool script = true) {
    QProcess process;
    start(process, "script.txt", scriptText, std::move(args), script);
    return finish(process);
  }

  // Starts quillhost with `args` and, unless `script` is false, the script
  // file `name` of `scriptText`; finish() waits for it and keeps its output.
  void start(QProcess& process, const std::string& name, const std::string& scriptText, std::vector<std::string> args,
             bool script = true) {
    fs::path file = folder / name;
    std::ofstream(file) << scriptText;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILL_DEMO_DIR", QString::fromStdString((folder / "demo").string()));
    // The extension of this test process: its configuration stays in our folder.
    env.insert("QUILL_REGISTRY",
               QString::fromStdString((realExtension().folder / ProgramRegistry::kFileName).string()));
    env.remove("QT_QPA_PLATFORM");  // a script needs no display: quillhost says so itself
    env.insert("QUILL_REPORT_DIR", QString::fromStdString((folder / "reports").string()));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    QStringList arguments;
    for (const auto& a : args) arguments << QString::fromStdString(a);
    if (script) arguments << "--script" << QString::fromStdString(file.string());
    process.start(QString::fromStdString((realExtension().binFolder / "quillhost").string()), arguments);
  }
  int finish(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(120000));
    output = process.readAllStandardOutput().toStdString();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  }

  fs::path folder;
  std::string output;
};

TEST_F(QuillhostProgram, DemoScriptThatPassesEndsWithStatusZero) {
  int status =
      run("expect company open\n"
          "expect extension active\n"
          "new FT 2 16-03-2026\n"
          "header cliente " +
          std::string(demo::kAllRulesClient) +
          "\n"
          "header expedicao " +
          std::string(demo::kAllowanceDispatch) +
          "\n"
          "line MIL001 SC 40\n"
          "line RAV001 PAL 2\n"
          "line ARR001 KG 500\n"
          "save\n"
          "expect saved\n"
          "close\n");
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("script passed"), std::string::npos) << output;
  EXPECT_TRUE(fs::exists(folder / "demo" / "dados"));
  EXPECT_TRUE(fs::exists(realExtension().folder / "VALTERO.INI"));
}

// Two hosts on two machines, as it were, saving invoices to one company on
// the database server at the same moment: every invoice is stored, each under
// a number of its own, with its own line.
TEST_F(QuillhostProgram, TwoHostsSavingInvoicesAtOnceOnTheServerLoseNoneAndShareNoNumber) {
  auto server = sql::testing::testServer();
  if (!server) GTEST_SKIP() << "no test server (scripts/test-server.sh start)";
  erp::DemoOptions options;
  options.databaseName = fmt::format("quill_two_hosts_{}", static_cast<long>(::getpid()));
  const fs::path erpFolder = folder / "erp";
  auto company = erp::DemoCompany::ensureOnServer(
      erpFolder, options, {fmt::format("{}:{}", server->host, server->port), server->user, server->password}, true);
  struct Dropped {
    erp::CompanyEntry company;
    ~Dropped() {
      try {
        erp::ServerCompany::drop(erp::serverAddressOf(company));
      } catch (...) {
      }
    }
  } dropped{company};
  auto db = erp::openCompanyDatabase(company);
  auto count = [&](const std::string& sql) { return vb::CLng(db->query(sql)->value(std::size_t{0})); };
  auto linesOf = [&](int quantity) {
    return count(
        fmt::format("SELECT count(*) FROM DOCGCLIN WHERE TPDOCUM = 'FT' AND SERIE = 2 AND QUANT = {} AND ARTIGO = '{}'",
                    quantity, demo::kOrdinaryArticle));
  };
  const int before = count("SELECT count(*) FROM DOCGCCAB WHERE TPDOC = 'FT' AND SERIE = 2");
  const int linesBefore[] = {linesOf(3), linesOf(7)};

  constexpr int kEach = 15;
  const std::vector<std::string> args = {
      "--erp",  erpFolder.string(),        "--company",  company.code,
      "--user", std::string(demo::kLogin), "--password", std::string(demo::kPassword)};
  QProcess first, second;
  for (auto [process, quantity] : {std::pair{&first, 3}, std::pair{&second, 7}}) {
    std::string script = "expect company open\n";
    for (int i = 0; i < kEach; ++i)
      script += fmt::format("new FT 2 16-03-2026\nheader cliente {}\nline {} KG {}\nsave\nexpect saved\n",
                            demo::kRetailClient, demo::kOrdinaryArticle, quantity);
    start(*process, fmt::format("host{}.txt", quantity), script, args);
  }
  EXPECT_EQ(finish(first), 0) << output;
  EXPECT_EQ(finish(second), 0) << output;

  EXPECT_EQ(count("SELECT count(*) FROM DOCGCCAB WHERE TPDOC = 'FT' AND SERIE = 2"), before + 2 * kEach);
  EXPECT_EQ(count("SELECT count(DISTINCT NNUMDOC) FROM DOCGCCAB WHERE TPDOC = 'FT' AND SERIE = 2"), before + 2 * kEach);
  EXPECT_EQ(linesOf(3), linesBefore[0] + kEach);
  EXPECT_EQ(linesOf(7), linesBefore[1] + kEach);
}

TEST_F(QuillhostProgram, ScriptThatFailsEndsWithStatusOneAndAMissingScriptWithTwo) {
  EXPECT_EQ(run("expect company closed\n"), 1) << output;
  EXPECT_NE(output.find("line 1: expected company closed"), std::string::npos) << output;
  EXPECT_EQ(run("", {"--demo", "--script", (folder / "missing.txt").string()}, false), 2);
  EXPECT_EQ(run("", {"--demo", "--unknown"}, false), 2);
}

TEST_F(QuillhostProgram, CompanyThatCannotBeOpenedLeavesTheHostUsable) {
  int status =
      run("expect company closed\n"
          "expect box \"NAOHA\"\n"
          "open-demo\n"
          "expect company open\n",
          {"--demo", "--company", "NAOHA"});
  EXPECT_EQ(status, 0) << output;
}

TEST_F(QuillhostProgram, FormBlocksPlayTheFormsACommandOpensAndTellWhatWentWrong) {
  const int status =
      run("answer ok\n"
          "form\n"
          "  click CmdConf\n"
          "end\n"
          "command MapaMediaVendas\n"
          "form\n"
          "  expect caption \"Média de Vendas\"\n"
          "  type txtArtIni MIL001\n"
          "  expect text txtArtIni OUTRO\n"
          "end\n"
          "click CmdConf\n"
          "expect report MIL001\n"
          "form\n");
  EXPECT_EQ(status, 1) << output;
  for (const char* expected :
       {"line 1: no form was shown for the block at line 2",
        "line 9: expected the text of txtArtIni \"OUTRO\", it is \"MIL001\"",
        "line 6: the form \"Média de Vendas\" is still open at the end of its block; it is closed",
        "line 11: \"click\" plays the user in a form", "line 12: expected a printed report",
        "line 13: \"form\" without its \"end\""})
    EXPECT_NE(output.find(expected), std::string::npos) << expected << "\n" << output;
}

// The scripts of tests/host/scripts: each runs extension commands end to end
// through their forms, on the demo company, and must pass.
class CommandScripts : public QuillhostProgram, public ::testing::WithParamInterface<std::string> {};

TEST_P(CommandScripts, RunEndToEnd) {
  std::ifstream in(fs::path(QUILL_HOST_SCRIPTS) / GetParam());
  std::stringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty()) << GetParam();
  EXPECT_EQ(run(text.str()), 0) << output;
}

std::vector<std::string> commandScripts() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(QUILL_HOST_SCRIPTS))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scripts, CommandScripts, ::testing::ValuesIn(commandScripts()), [](const auto& info) {
  std::string name = fs::path(info.param).stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
});

}  // namespace
}  // namespace quill::host

// The monthly commission window on copies of the demo company, through a
// memory view: the table it creates, the year and its keys, the month's
// calculation against a computation of our own over the sales documents,
// recomputing, a month without sales, a failure halfway and a locked
// database (the month keeps its rows), the message boxes, and printing.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "erp/DemoCodes.h"
#include "extension/commissions/ComissoesMensais.h"
#include "extension/commissions/EditComissoes.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/commissions/CommissionsTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/platform/sql/BackendTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::memoryOf;
using testing::rowsOf;
using Rows = std::vector<std::vector<std::string>>;

double number(const std::string& text) { return text.empty() ? 0.0 : vb::CDbl(Variant(text)); }

// The bases of a month per seller and group, computed here from the raw
// documents and lines: the sales documents of the year whose date falls in
// the month, not cancelled (NVIAS -1), of the sales classification (TPTERC 2,
// AREAG 4, TPOPER 2, NATCONTA 1); each article line adds its quantity, and a
// credit note (SINALCT 2) takes it away; only the groups the seller has a
// rate for count.
struct Base {
  double base = 0;
  double rate = 0;
  int creditLines = 0;
};
using Bases = std::map<std::pair<std::string, std::string>, Base>;

Bases expectedBases(const erp::CompanyEntry& company, int year, int month) {
  std::map<std::pair<std::string, std::string>, double> rates;
  for (const auto& r : rowsOf(company, "SELECT VENDEDOR, GRUPO, COMISSAO FROM U_QOR_COMGRUPOS"))
    rates[{r[0], r[1]}] = number(r[2]);
  std::map<std::string, std::string> groupOf;
  for (const auto& r : rowsOf(company, "SELECT CODIGO, GRUPO FROM ARTIGOS")) groupOf[r[0]] = r[1];
  struct Document {
    bool counts = false;
    bool credit = false;
  };
  std::map<std::string, Document> documents;
  for (const auto& r : rowsOf(company,
                              "SELECT TPDOC || '/' || SERIE || '/' || NNUMDOC || '/' || ANO, ANO, DATA, TPTERC, "
                              "SINALCT, AREAG, TPOPER, NATCONTA, NVIAS FROM DOCGCCAB")) {
    Document d;
    d.counts = number(r[1]) == year && !r[2].empty() && vb::dateParts(vb::CDate(Variant(r[2]))).month == month &&
               r[3] == "2" && r[5] == "4" && r[6] == "2" && r[7] == "1" && r[8] != "-1";
    d.credit = r[4] == "2";
    documents[r[0]] = d;
  }
  Bases bases;
  for (const auto& r : rowsOf(company,
                              "SELECT TPDOCUM || '/' || SERIE || '/' || NNUMDOC || '/' || ANO, ARTIGO, QUANT, "
                              "VENDEDOR FROM DOCGCLIN")) {
    const auto doc = documents.find(r[0]);
    if (doc == documents.end() || !doc->second.counts || r[1].empty()) continue;
    const auto group = groupOf.find(r[1]);
    if (group == groupOf.end()) continue;
    const auto rate = rates.find({r[3], group->second});
    if (rate == rates.end()) continue;
    Base& b = bases[{r[3], group->second}];
    b.base += (doc->second.credit ? -1 : 1) * number(r[2]);
    b.rate = rate->second;
    b.creditLines += doc->second.credit;
  }
  return bases;
}

// The stored rows of a month, in the same shape.
Bases storedBases(const erp::CompanyEntry& company, int year, int month) {
  Bases bases;
  for (const auto& r : rowsOf(company, fmt::format("SELECT Vendedor, Grupo, ValorBase, Comissao FROM "
                                                   "U_qor_ComMensais WHERE Ano = {} AND Mes = {}",
                                                   year, month)))
    bases[{r[0], r[1]}] = Base{number(r[2]), number(r[3]), 0};
  return bases;
}

void expectSameBases(const Bases& stored, const Bases& expected) {
  ASSERT_EQ(stored.size(), expected.size());
  for (const auto& [key, e] : expected) {
    auto it = stored.find(key);
    ASSERT_NE(it, stored.end()) << key.first << " " << key.second;
    EXPECT_NEAR(it->second.base, e.base, 1e-6) << key.first << " " << key.second;
    EXPECT_DOUBLE_EQ(it->second.rate, e.rate) << key.first << " " << key.second;
  }
}

class Comissoes : public testing::EditorTest<EditComissoes> {
 protected:
  explicit Comissoes(sql::testing::Backend backend = sql::testing::Backend::Embedded) : EditorTest(backend) {}

  void open(std::function<void(ui::MemoryFormView&)> user) { openWith("btSair", std::move(user)); }
  // Calculates a month as a user does.
  void calculate(ui::MemoryFormView& v, int year, int month) {
    EXPECT_TRUE(v.userType("campo", std::to_string(year)));
    EXPECT_TRUE(v.userChoose("cb1", EditComissoes::meses()[static_cast<std::size_t>(month - 1)]));
    EXPECT_TRUE(v.userClick("btConf"));
  }
  std::vector<std::string> prompts() const {
    std::vector<std::string> out;
    for (const auto& box : ui.boxes()) out.push_back(box.prompt);
    return out;
  }
  Rows monthRows(int year, int month) {
    return rowsOf(copy.company(), fmt::format("SELECT Id, Vendedor, Grupo, ValorBase, Comissao FROM U_qor_ComMensais "
                                              "WHERE Ano = {} AND Mes = {} ORDER BY Vendedor, Grupo",
                                              year, month));
  }
};

TEST_F(Comissoes, OpeningCreatesTheTableOnceWithTheIdentityLastAndStartsAtTodaysMonth) {
  ASSERT_TRUE(rowsOf(copy.company(), "SELECT name FROM sqlite_master WHERE name = 'U_qor_ComMensais'").empty());
  const auto today = vb::dateParts(vb::today());
  open([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.caption(), "Comissões");
    EXPECT_EQ(v.text("campo"), std::to_string(today.year));
    EXPECT_EQ(v.items("cb1"), EditComissoes::meses());
    EXPECT_EQ(v.listIndex("cb1"), today.month - 1);
  });
  const Rows columns = rowsOf(copy.company(), "SELECT name, type, pk FROM pragma_table_info('U_qor_ComMensais')");
  EXPECT_EQ(columns, (Rows{{"Vendedor", "TEXT", "0"},
                           {"Mes", "SMALLINT", "0"},
                           {"Ano", "SMALLINT", "0"},
                           {"Grupo", "TEXT", "0"},
                           {"Comissao", "REAL", "0"},
                           {"ValorBase", "REAL", "0"},
                           {"Id", "INTEGER", "1"}}));
  testing::runOn(copy.company(), "INSERT INTO U_qor_ComMensais (Vendedor, Ano, Mes) VALUES ('V01', 2026, 1)");
  open([](ui::MemoryFormView&) {});
  EXPECT_EQ(rowsOf(copy.company(), "SELECT COUNT(*) FROM U_qor_ComMensais")[0][0], "1");
  EXPECT_TRUE(ui.boxes().empty());
}

// The calculation on the demo company's file and on its copy on the test
// server.
class ComissoesOn : public Comissoes, public ::testing::WithParamInterface<sql::testing::Backend> {
 protected:
  ComissoesOn() : Comissoes(GetParam()) {}
};
INSTANTIATE_TEST_SUITE_P(Backends, ComissoesOn,
                         ::testing::Values(sql::testing::Backend::Embedded, sql::testing::Backend::Server),
                         sql::testing::backendName);

TEST_P(ComissoesOn, AMonthsCommissionsAreTheSignedSalesOfEachSellerAndGroupWithARate) {
  for (int month : {1, 3, 6}) {
    ui.clearBoxes();
    open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, month); });
    EXPECT_EQ(prompts(), std::vector<std::string>{"Cálculo Terminado!"}) << month;
    const Bases expected = expectedBases(copy.company(), demo::kDocumentYear, month);
    ASSERT_FALSE(expected.empty());
    int credits = 0;
    for (const auto& [key, b] : expected) credits += b.creditLines;
    EXPECT_GT(credits, 0) << "the month has credit notes that reduce the bases";
    expectSameBases(storedBases(copy.company(), demo::kDocumentYear, month), expected);
  }
  // The seller without rates earns nothing; each month kept its own rows.
  EXPECT_TRUE(rowsOf(copy.company(), "SELECT 1 FROM U_qor_ComMensais WHERE Vendedor = 'V07'").empty());
  EXPECT_EQ(rowsOf(copy.company(), "SELECT DISTINCT Mes FROM U_qor_ComMensais ORDER BY Mes"),
            (Rows{{"1"}, {"3"}, {"6"}}));
}

TEST_P(ComissoesOn, RecomputingAfterOkReplacesTheMonthAndCancelKeepsIt) {
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  const Rows once = monthRows(demo::kDocumentYear, 3);
  ASSERT_FALSE(once.empty());
  // A row that is not the calculation's: a recomputation removes it.
  testing::runOn(copy.company(),
                 "INSERT INTO U_qor_ComMensais (Vendedor, Ano, Mes, Grupo) VALUES ('V99', 2026, 3, 'X')");

  ui.clearBoxes();
  ui.answerNext(vb::vbCancel);
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Cálculo já efectuado!\n\rPretende continuar?");
  EXPECT_EQ(ui.boxes()[0].style, vb::vbOKCancel + vb::vbInformation + vb::vbDefaultButton2);
  EXPECT_EQ(ui.boxes()[0].title, "Informação");
  EXPECT_EQ(monthRows(demo::kDocumentYear, 3).size(), once.size() + 1);

  ui.clearBoxes();
  ui.answerNext(vb::vbOK);
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  EXPECT_EQ(prompts(),
            (std::vector<std::string>{"Cálculo já efectuado!\n\rPretende continuar?", "Cálculo Terminado!"}));
  const Rows twice = monthRows(demo::kDocumentYear, 3);
  ASSERT_EQ(twice.size(), once.size());
  for (std::size_t i = 0; i < once.size(); ++i) {
    EXPECT_NE(twice[i][0], once[i][0]);  // new rows
    EXPECT_EQ(std::vector<std::string>(twice[i].begin() + 1, twice[i].end()),
              std::vector<std::string>(once[i].begin() + 1, once[i].end()));
  }
}

TEST_P(ComissoesOn, AMonthWithoutSalesSaysSoAndKeepsWhatItHad) {
  open([](ui::MemoryFormView&) {});
  testing::runOn(copy.company(),
                 "INSERT INTO U_qor_ComMensais (Vendedor, Ano, Mes, Grupo, ValorBase) "
                 "VALUES ('V01', 2030, 2, 'RACAVE', 5)");
  ui.answerNext(vb::vbOK);
  open([&](ui::MemoryFormView& v) { calculate(v, 2030, 2); });
  EXPECT_EQ(prompts(), (std::vector<std::string>{"Cálculo já efectuado!\n\rPretende continuar?",
                                                 "Não existe informação para as condições solicitadas!"}));
  EXPECT_EQ(monthRows(2030, 2).size(), 1u);
}

TEST_P(ComissoesOn, AMonthOfCreditNotesOnlyHasNegativeBases) {
  testing::runOn(copy.company(),
                 "INSERT INTO DOCGCCAB (TPDOC, SERIE, NNUMDOC, ANO, DATA, TERCEIRO, AREAG, TPTERC, TPOPER, NATCONTA, "
                 "SINALCT, NVIAS) VALUES ('NC', 2, 900, 2026, '2026-08-10 00:00:00', 'C00003', 4, 2, 2, 1, 2, 1)");
  testing::runOn(copy.company(),
                 "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, ARTIGO, QUANT, VENDEDOR) VALUES "
                 "('NC', 2, 900, 2026, 1, 'RAV001', 40, 'V01'), ('NC', 2, 900, 2026, 2, 'RAV001', 2.5, 'V01'), "
                 "('NC', 2, 900, 2026, 3, 'RAV001', 7, 'V07')");
  open([&](ui::MemoryFormView& v) { calculate(v, 2026, 8); });
  const Rows rows = monthRows(2026, 8);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], "V01");
  EXPECT_EQ(rows[0][2], demo::kFeedGroup);
  EXPECT_DOUBLE_EQ(number(rows[0][3]), -42.5);
}

TEST_F(Comissoes, AFailureBetweenTheDeleteAndTheInsertsLeavesTheMonthAsItWas) {
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  const Rows before = monthRows(demo::kDocumentYear, 3);
  ASSERT_FALSE(before.empty());
  // From now on every row written fails, after the month was deleted.
  testing::runOn(copy.company(),
                 "CREATE TRIGGER falha BEFORE INSERT ON U_qor_ComMensais "
                 "BEGIN SELECT RAISE(ABORT, 'disco cheio a meio'); END");
  ui.clearBoxes();
  ui.answerNext(vb::vbOK);
  open([&](ui::MemoryFormView& v) {
    calculate(v, demo::kDocumentYear, 3);
    EXPECT_TRUE(v.isShown());  // the window stays open
  });
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[1].title, "Comissões");
  EXPECT_EQ(ui.boxes()[1].prompt.rfind("Erro ", 0), 0u);
  EXPECT_NE(ui.boxes()[1].prompt.find("disco cheio a meio"), std::string::npos) << ui.boxes()[1].prompt;
  EXPECT_FALSE(ui.busy());
  EXPECT_FALSE(ui.progressShown());
  EXPECT_EQ(monthRows(demo::kDocumentYear, 3), before);
}

TEST_F(Comissoes, ALockedDatabaseGivesAClearMessageAndChangesNothing) {
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  const Rows before = monthRows(demo::kDocumentYear, 3);
  ui.clearBoxes();
  ui.answerNext(vb::vbOK);
  open([&](ui::MemoryFormView& v) {
    testing::HeldWriteLock other(copy.company());
    calculate(v, demo::kDocumentYear, 3);
  });
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_NE(ui.boxes()[1].prompt.find("in use by another user; nothing was changed"), std::string::npos)
      << ui.boxes()[1].prompt;
  EXPECT_EQ(monthRows(demo::kDocumentYear, 3), before);
}

TEST_F(Comissoes, TheCalculationShowsTheBusyPointerAndItsProgress) {
  open([&](ui::MemoryFormView& v) { calculate(v, demo::kDocumentYear, 3); });
  // A bar over the rows written, gone with the hourglass once they are.
  const auto rows = static_cast<std::int64_t>(monthRows(demo::kDocumentYear, 3).size());
  EXPECT_GE(ui.progressUpdates(), 2);
  EXPECT_EQ(ui.progressTotal(), rows);
  EXPECT_EQ(ui.progressCaption(), "A gravar as comissões do mês...");
  EXPECT_FALSE(ui.progressShown());
  EXPECT_FALSE(ui.busy());
}

TEST_F(Comissoes, TheYearFieldOnceTypedInTakes2007To2050Only) {
  struct Case {
    const char* typed;
    const char* box;  // nullptr: taken
  };
  const Case cases[] = {{"2007", nullptr},
                        {"2050", nullptr},
                        {" 2026 ", nullptr},
                        {"2006", "Valor não permitido!"},
                        {"2051", "Valor não permitido!"},
                        {"abc", "Valor não permitido!"},
                        {"2026 or 1=1", "Valor não permitido!"},
                        {"", "Campo obrigatório!"},
                        {"   ", "Campo obrigatório!"}};
  open([&](ui::MemoryFormView& v) {
    for (const auto& c : cases) {
      ui.clearBoxes();
      EXPECT_EQ(v.userType("campo", c.typed), c.box == nullptr) << c.typed;
      if (c.box) {
        EXPECT_EQ(prompts(), std::vector<std::string>{c.box}) << c.typed;
        EXPECT_EQ(v.focused(), "campo");
      } else {
        EXPECT_TRUE(ui.boxes().empty()) << c.typed;
      }
    }
  });
}

TEST_F(Comissoes, EscInTheYearDisarmsItsCheckButTheCalculationStillRefusesABadYear) {
  open([&](ui::MemoryFormView& v) {
    // Untouched, the year is not checked when left.
    v.setText("campo", "1999");
    EXPECT_TRUE(v.userKey("campo", "Tab"));
    EXPECT_TRUE(ui.boxes().empty());

    EXPECT_FALSE(v.userType("campo", "2051"));
    ui.clearBoxes();
    EXPECT_TRUE(v.userKey("campo", "Esc"));
    EXPECT_TRUE(v.isShown());
    EXPECT_EQ(v.focused(), "btSair");  // back, as Shift+Tab
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_TRUE(v.userClick("btConf"));
    EXPECT_EQ(prompts(), std::vector<std::string>{"Valor não permitido!"});
    EXPECT_EQ(v.focused(), "campo");
    ui.clearBoxes();
    EXPECT_TRUE(v.userClick("btImp"));
    EXPECT_EQ(prompts(), std::vector<std::string>{"Valor não permitido!"});
  });
  EXPECT_TRUE(monthRows(2051, 1).empty());
}

TEST_F(Comissoes, EnterInTheMonthListMovesOnAndEscClosesTheWindow) {
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userKey("cb1", "Enter"));
    EXPECT_EQ(v.focused(), "btConf");
    EXPECT_TRUE(v.userKey("cb1", "Esc"));
    EXPECT_FALSE(v.isShown());
  });
}

TEST_F(Comissoes, AvisaShowsEachKindTitledInformacao) {
  struct Case {
    std::int16_t kind;
    int style;  // -1: nothing shown
    int answer;
    std::string prompt;
  };
  const Case cases[] = {
      {1, vb::vbOKOnly + vb::vbExclamation, 0, "Campo obrigatório [Ano]."},
      {2, vb::vbOKOnly + vb::vbInformation, 0, "Mensagem"},
      {3, vb::vbOKCancel + vb::vbInformation + vb::vbDefaultButton2, vb::vbCancel, "Mensagem"},
      {4, vb::vbYesNoCancel + vb::vbInformation + vb::vbDefaultButton3, vb::vbCancel, "Mensagem"},
      {5, vb::vbYesNo + vb::vbInformation + vb::vbDefaultButton2, vb::vbNo, "Mensagem"},
      {6, -1, 77, ""},
  };
  for (const auto& c : cases) {
    ui.clearBoxes();
    std::int32_t answer = 77;
    form->Avisa("Ano", "Mensagem", c.kind, answer);
    EXPECT_EQ(answer, c.answer) << c.kind;
    if (c.style < 0) {
      EXPECT_TRUE(ui.boxes().empty());
      continue;
    }
    ASSERT_EQ(ui.boxes().size(), 1u) << c.kind;
    EXPECT_EQ(ui.boxes()[0].style, c.style) << c.kind;
    EXPECT_EQ(ui.boxes()[0].title, "Informação");
    EXPECT_EQ(ui.boxes()[0].prompt, c.prompt);
  }
}

class ComissoesPrint : public Comissoes {
 protected:
  void SetUp() override {
    Comissoes::SetUp();
    form->reportDatabase() = {copy.company().dataFolder.string(), copy.company().databaseName, "sa", ""};
  }
  testing::PdfFolder pdf;
};

TEST_F(ComissoesPrint, PrintingAMonthNeverComputedSaysSoAndPrintsNothing) {
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("campo", "2026"));
    EXPECT_TRUE(v.userChoose("cb1", "Março"));
    EXPECT_TRUE(v.userClick("btImp"));
    EXPECT_TRUE(v.isShown());
  });
  EXPECT_EQ(prompts(), std::vector<std::string>{"Não existe informação para as condições solicitadas!"});
  EXPECT_FALSE(ui::ReportOutput::lastPrinted());
}

TEST_F(ComissoesPrint, TheReportShowsBaseRateAndAmountPerSellerAndGroupWithTotals) {
  ::testing::internal::CaptureStdout();
  open([&](ui::MemoryFormView& v) {
    calculate(v, demo::kDocumentYear, 3);
    EXPECT_TRUE(v.userClick("btImp"));
    EXPECT_FALSE(v.isShown());  // printing closes the window
  });
  ::testing::internal::GetCapturedStdout();
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_NE(printed->text.find("Mês 3 de 2026"), std::string::npos) << printed->text;

  const Bases bases = expectedBases(copy.company(), demo::kDocumentYear, 3);
  std::map<std::string, std::pair<double, double>> perSeller;  // base, amount
  double grand = 0;
  auto money = [](double v) { return vb::Format(Variant(v), "#,##0.00"); };
  for (const auto& [key, b] : bases) {
    const double amount = b.base * b.rate / 100;
    const std::string line =
        fmt::format("{}\t{}\t{}\t{}\t{}", key.second,
                    rowsOf(copy.company(), "SELECT DESCR FROM GRUPOS WHERE COD = '" + key.second + "'")[0][0],
                    money(b.base), money(b.rate), money(amount));
    EXPECT_NE(printed->text.find(line), std::string::npos) << line;
    perSeller[key.first].first += b.base;
    perSeller[key.first].second += amount;
    grand += amount;
  }
  for (const auto& [seller, sums] : perSeller)
    EXPECT_NE(
        printed->text.find(fmt::format("Total do vendedor {}\t{}\t{}", seller, money(sums.first), money(sums.second))),
        std::string::npos)
        << seller;
  EXPECT_NE(printed->text.find("Total geral\t"), std::string::npos);
  EXPECT_NE(printed->text.find("\t" + money(grand) + "\n"), std::string::npos) << money(grand);
}

}  // namespace
}  // namespace quill

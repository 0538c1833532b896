// The report printer on the demo company: the three reports of the report
// commands printed to PDF and read back, compared with what the database
// holds; the second way of printing, from a recordset; the late-bound object;
// and every way a report can fail to print.

#include "extension/components/ReportPrinter.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "erp/DemoCodes.h"
#include "erp/DemoCompany.h"
#include "extension/components/ConnectionString.h"
#include "extension/components/DataAccess.h"
#include "platform/automation/Dispatch.h"
#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/MsgBox.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
namespace demo = erp::demo;
using quill::testing::pdfText;
using Rows = std::vector<std::vector<std::string>>;

fs::path binFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

fs::path tempFolder(std::string_view purpose) {
  static int counter = 0;
  fs::path folder = fs::temp_directory_path() / fmt::format("quill-{}-{}-{}", purpose, ::getpid(), counter++);
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

std::string money(double value) { return vb::Format(Variant(value), "#,##0.00"); }

// The rows of a query on the company database, each value as its text.
Rows query(const erp::CompanyEntry& company, const std::string& sql) {
  auto db = sql::Connection::open(company.databaseFile());
  auto rs = db->query(sql);
  Rows rows;
  for (; !rs->eof(); rs->moveNext()) {
    std::vector<std::string> row;
    for (std::size_t f = 0; f < rs->fieldCount(); ++f) {
      // Numbers in the C form, so that the test reads them with std::stod.
      const Variant& v = rs->value(f);
      row.push_back(v.isNull()                    ? std::string()
                    : v.type() == VarType::Double ? fmt::format("{}", v.doubleValue())
                                                  : vb::CStr(v));
    }
    rows.push_back(std::move(row));
  }
  db->close();
  return rows;
}

void execute(const erp::CompanyEntry& company, const std::string& sql) {
  auto db = sql::Connection::open(company.databaseFile());
  db->execute(sql);
  db->close();
}

// A printed text line by line, each line's cells apart.
Rows printedLines(const std::string& text) {
  Rows out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
      cells.push_back(line.substr(from, tab - from));
    cells.push_back(line.substr(from));
    out.push_back(std::move(cells));
  }
  return out;
}

// The lines of a printed text whose first cell is a document ("FT 1/12"),
// cut to the cells asked for.
Rows documentLines(const std::string& text, std::vector<std::size_t> cells) {
  static const std::regex document("^(FT|NC) [0-9]+/[0-9]+$");
  Rows out;
  for (const auto& all : printedLines(text)) {
    if (!std::regex_match(all[0], document)) continue;
    std::vector<std::string> row;
    for (std::size_t c : cells) row.push_back(c < all.size() ? all[c] : "?");
    out.push_back(std::move(row));
  }
  return out;
}

class ReportPrinterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    quill::testing::testApplication();
    erpFolder_ = new fs::path(tempFolder("reports-erp"));
    company_ = new erp::CompanyEntry(erp::DemoCompany::create(*erpFolder_, erp::DemoOptions{}));
    reportFolder_ = new fs::path(tempFolder("reports-pdf"));
    ::setenv(ui::ReportOutput::kFolderVariable, reportFolder_->c_str(), 1);
  }
  static void TearDownTestSuite() {
    ::unsetenv(ui::ReportOutput::kFolderVariable);
    fs::remove_all(*erpFolder_);
    fs::remove_all(*reportFolder_);
    delete company_;
    delete erpFolder_;
    delete reportFolder_;
  }

  const erp::CompanyEntry& company() const { return *company_; }

  // A printer set as the report commands set it.
  std::unique_ptr<ReportPrinter> printer(const std::string& file, const erp::CompanyEntry* on = nullptr) {
    const erp::CompanyEntry& c = on ? *on : company();
    auto p = std::make_unique<ReportPrinter>(ui);
    p->setTipoRelatorio(2);
    p->setServidor(c.dataFolder.string());
    p->setBaseDados(c.databaseName);
    p->setUtilizador("sa");
    p->setPassWord("");
    p->setFicheiroRelatorio((binFolder() / file).string());
    p->setDestino(1);
    p->setPai(0);
    return p;
  }

  // Prints and answers the printed text; the PDF must hold the same texts.
  std::string print(ReportPrinter& p, const std::vector<std::string>& parameters) {
    ui::ReportOutput::forgetLastPrinted();
    ::testing::internal::CaptureStdout();
    const bool printed = p.Imprimir(parameters, true);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(printed);
    for (const auto& box : ui.boxes()) ADD_FAILURE() << "box: " << box.prompt;
    auto last = ui::ReportOutput::lastPrinted();
    if (!last) return {};
    EXPECT_EQ(last->file, p.FicheiroImpresso());
    EXPECT_EQ(out, last->file.string() + "\n") << "the path goes to standard output";
    pdf = pdfText(last->file);
    EXPECT_FALSE(pdf.empty());
    return last->text;
  }

  std::string first(const char* table, const char* column, const char* order = "ASC") {
    return query(company(), fmt::format("SELECT {1} FROM {0} ORDER BY {1} {2} LIMIT 1", table, column, order))[0][0];
  }

  // The parameters of the pending-documents command for every client, seller,
  // zone and portfolio at a reference date.
  std::vector<std::string> everyPending(const std::string& date) {
    return {"",
            " ",
            first("CLIENTES", "CODIGO", "DESC"),
            first("VENDEDOR", "CODIGO"),
            first("VENDEDOR", "CODIGO", "DESC"),
            first("ZONAGEO", "ZONA"),
            first("ZONAGEO", "ZONA", "DESC"),
            first("CARTEIRA", "CODIGO"),
            first("CARTEIRA", "CODIGO", "DESC"),
            date};
  }

  ui::ScriptedUiServices ui;
  std::string pdf;

 private:
  static fs::path* erpFolder_;
  static fs::path* reportFolder_;
  static erp::CompanyEntry* company_;
};

fs::path* ReportPrinterTest::erpFolder_ = nullptr;
fs::path* ReportPrinterTest::reportFolder_ = nullptr;
erp::CompanyEntry* ReportPrinterTest::company_ = nullptr;

// What was pending on a day, from the accounts: the value less what had been
// paid by then.
std::string pendingOn(const std::string& isoDay, const std::string& where = "1 = 1") {
  return fmt::format(
      "SELECT A.TPDOC || ' ' || A.SERIE || '/' || A.NNUMDOC, C.VENDEDOR, A.CLIENTE, "
      "A.VALOR - CASE WHEN A.DATALIQ <= '{0} 00:00:00' THEN A.VALOR - A.VALPEND ELSE 0 END AS PENDENTE "
      "FROM CCCLIENTES A JOIN CLIENTES C ON C.CODIGO = A.CLIENTE "
      "WHERE A.DATA <= '{0} 00:00:00' AND abs(A.VALOR - CASE WHEN A.DATALIQ <= '{0} 00:00:00' THEN A.VALOR - "
      "A.VALPEND ELSE 0 END) > 0.0001 AND {1} "
      "ORDER BY C.VENDEDOR, A.CLIENTE, A.DATAVENC, A.TPDOC, A.SERIE, A.NNUMDOC",
      isoDay, where);
}

TEST_F(ReportPrinterTest, PendingDocumentsAtAReferenceDateAreThoseTheAccountsHadOpenThenBySellerAndClient) {
  for (const char* day : {"31-03-2026", "30-06-2026"}) {
    SCOPED_TRACE(day);
    const std::string iso = std::string(day + 6, 4) + "-" + std::string(day + 3, 2) + "-" + std::string(day, 2);
    auto p = printer("qor_VT_Pendentes.rpt");
    const std::string text = print(*p, everyPending(day));

    const Rows expected = query(company(), pendingOn(iso));
    ASSERT_GT(expected.size(), 10u);
    Rows wanted;
    double total = 0;
    std::map<std::string, double> bySeller;
    for (const auto& row : expected) {
      wanted.push_back({row[0], money(std::stod(row[3]))});
      total += std::stod(row[3]);
      bySeller[row[1]] += std::stod(row[3]);
    }
    EXPECT_EQ(documentLines(text, {0, 5}), wanted) << "the documents and what was pending on each, in order";
    EXPECT_NE(text.find("Total geral\t"), std::string::npos);
    EXPECT_NE(text.find("\t" + money(total) + "\n"), std::string::npos) << "the report's total pending";
    for (const auto& [seller, sum] : bySeller)
      EXPECT_NE(text.find(fmt::format("Total do vendedor {}\t", seller)), std::string::npos) << seller;

    // The PDF shows the criteria and every document.
    EXPECT_NE(pdf.find(std::string("Pendentes em ") + day), std::string::npos);
    EXPECT_NE(pdf.find("Vendedores: de " + first("VENDEDOR", "CODIGO") + " a " + first("VENDEDOR", "CODIGO", "DESC")),
              std::string::npos);
    for (const auto& row : wanted) EXPECT_NE(pdf.find(row[0] + "\n"), std::string::npos) << row[0];
    EXPECT_NE(pdf.find(money(total)), std::string::npos);
  }
}

TEST_F(ReportPrinterTest, PendingDocumentsFollowEachRangeOfTheCriteria) {
  const std::string seller(demo::kSeller), zone(demo::kZone), portfolio(demo::kActivePortfolio);
  struct Case {
    const char* what;
    std::vector<std::string> parameters;
    std::string where;
  } cases[] = {
      {"one seller",
       {"", " ", "ZZZZZZ", seller, seller, "", "ZZZZZZ", "", "ZZZZZZ", "30-06-2026"},
       "C.VENDEDOR = '" + seller + "'"},
      {"one zone and portfolio",
       {"", " ", "ZZZZZZ", "", "ZZZZZZ", zone, zone, portfolio, portfolio, "30-06-2026"},
       "C.ZONA = '" + zone + "' AND C.CARTEIRA = '" + portfolio + "'"},
      {"a range of clients",
       {"", "C00003", "C00120", "", "ZZZZZZ", "", "ZZZZZZ", "", "ZZZZZZ", "30-06-2026"},
       "A.CLIENTE BETWEEN 'C00003' AND 'C00120'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto p = printer("qor_VT_Pendentes.rpt");
    const Rows expected = query(company(), pendingOn("2026-06-30", c.where));
    ASSERT_FALSE(expected.empty());
    Rows wanted;
    for (const auto& row : expected) wanted.push_back({row[0]});
    EXPECT_EQ(documentLines(print(*p, c.parameters), {0}), wanted);
  }
}

TEST_F(ReportPrinterTest, ACriterionWithAQuoteIsACodeLikeAnyOtherAndCannotWidenTheQuery) {
  const erp::CompanyEntry copy = erp::DemoCompany::create(tempFolder("reports-quote"), erp::DemoOptions{});
  const std::string quoted(demo::kQuotedCodeClient);
  execute(copy,
          "INSERT INTO CCCLIENTES (TPDOC, SERIE, NNUMDOC, ANO, CLIENTE, DATA, DATAVENC, VALOR, VALPEND) VALUES "
          "('FT', 9, 1, 2026, 'D''OURO', '2026-02-02 00:00:00', '2026-03-04 00:00:00', 321.5, 321.5)");
  auto p = printer("qor_VT_Pendentes.rpt", &copy);
  auto parameters = everyPending("30-06-2026");
  parameters[1] = parameters[2] = quoted;
  const std::string text = print(*p, parameters);
  const Rows expected = query(copy, pendingOn("2026-06-30", "A.CLIENTE = 'D''OURO'"));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(documentLines(text, {0}).size(), expected.size());
  EXPECT_NE(text.find("Cliente D'OURO - Quinta d'Ouro, Lda."), std::string::npos) << text;
  EXPECT_NE(pdf.find("Clientes: de D'OURO a D'OURO"), std::string::npos);

  // Text written to break out of the statement is only a strange code: no rows.
  parameters[1] = parameters[2] = "' OR '1'='1";
  const std::string none = print(*p, parameters);
  EXPECT_TRUE(documentLines(none, {0}).empty());
  EXPECT_NE(none.find("Não há documentos pendentes"), std::string::npos);
  fs::remove_all(copy.dataFolder.parent_path());
}

TEST_F(ReportPrinterTest, OverdueDocumentsAreThoseUnpaidPastTheirDueDatePlusTheClientsTolerance) {
  const erp::CompanyEntry copy = erp::DemoCompany::create(tempFolder("reports-tolerance"), erp::DemoOptions{});
  const std::string client(demo::kToleranceClient);
  // A document ten days past its due date, for a client with 5 days of
  // tolerance and one with 30.
  execute(copy,
          "UPDATE U_CLIENTES SET DIASTOLERANCIA = 5 WHERE CODIGO = 'C00004';"
          "INSERT INTO CCCLIENTES (TPDOC, SERIE, NNUMDOC, ANO, CLIENTE, DATA, DATAVENC, VALOR, VALPEND) VALUES "
          "('FT', 8, 1, 2026, 'C00004', date('now', 'localtime', '-40 days') || ' 00:00:00', "
          "date('now', 'localtime', '-10 days') || ' 00:00:00', 100, 100),"
          "('FT', 8, 2, 2026, '" +
              client +
              "', date('now', 'localtime', '-40 days') || ' 00:00:00', "
              "date('now', 'localtime', '-10 days') || ' 00:00:00', 100, 100)");
  auto p = printer("qor_VT_PendentesToleranciaVencidos.rpt", &copy);
  const std::vector<std::string> everyone = {"", "", "ZZZZZZ", "", "ZZZZZZ"};
  const std::string text = print(*p, everyone);

  const Rows expected = query(
      copy,
      "SELECT A.TPDOC || ' ' || A.SERIE || '/' || A.NNUMDOC, A.VALPEND, A.CLIENTE FROM CCCLIENTES A JOIN CLIENTES C "
      "ON C.CODIGO "
      "= A.CLIENTE LEFT JOIN U_CLIENTES U ON U.CODIGO = A.CLIENTE WHERE A.VALPEND > 0 AND "
      "julianday(date('now', 'localtime')) - julianday(date(A.DATAVENC)) > coalesce(U.DIASTOLERANCIA, 0) "
      "ORDER BY C.VENDEDOR, A.CLIENTE, A.DATAVENC, A.TPDOC, A.SERIE, A.NNUMDOC");
  ASSERT_GT(expected.size(), 10u);
  Rows wanted;
  for (const auto& row : expected) wanted.push_back({row[0], money(std::stod(row[1]))});
  EXPECT_EQ(documentLines(text, {0, 6}), wanted);
  const Rows shown = documentLines(text, {0});
  EXPECT_NE(std::find(shown.begin(), shown.end(), std::vector<std::string>{"FT 8/1"}), shown.end())
      << "ten days late is past a tolerance of five";
  EXPECT_EQ(std::find(shown.begin(), shown.end(), std::vector<std::string>{"FT 8/2"}), shown.end())
      << "ten days late is within a tolerance of thirty";
  EXPECT_NE(text.find(fmt::format("(tolerância: {} dias)", demo::kToleranceDays)), std::string::npos);
  EXPECT_NE(text.find("Vendedores: de  a ZZZZZZ"), std::string::npos) << text.substr(0, 400);

  // A tolerance longer than any delay takes the client's documents out.
  execute(copy, "UPDATE U_CLIENTES SET DIASTOLERANCIA = 100000 WHERE CODIGO = '" + client + "'");
  const auto clientRows =
      std::count_if(expected.begin(), expected.end(), [&](const auto& row) { return row[2] == client; });
  ASSERT_GT(clientRows, 0);
  const std::string later = print(*p, everyone);
  EXPECT_EQ(later.find("Cliente " + client), std::string::npos);
  EXPECT_EQ(documentLines(later, {0}).size(), wanted.size() - static_cast<std::size_t>(clientRows));

  // Criteria by seller and client.
  const std::vector<std::string> one = {"", std::string(demo::kSeller), std::string(demo::kSeller), "C00001", "C00050"};
  const Rows oneSeller = query(
      copy,
      "SELECT count(*) FROM CCCLIENTES A JOIN CLIENTES C ON C.CODIGO = A.CLIENTE LEFT JOIN U_CLIENTES U ON U.CODIGO = "
      "A.CLIENTE WHERE A.VALPEND > 0 AND julianday(date('now', 'localtime')) - julianday(date(A.DATAVENC)) > "
      "coalesce(U.DIASTOLERANCIA, 0) AND C.VENDEDOR = '" +
          std::string(demo::kSeller) + "' AND A.CLIENTE BETWEEN 'C00001' AND 'C00050'");
  EXPECT_EQ(std::to_string(documentLines(print(*p, one), {0}).size()), oneSeller[0][0]);
  fs::remove_all(copy.dataFolder.parent_path());
}

TEST_F(ReportPrinterTest, AverageSalesPerArticleAreTheSalesLessCreditNotesOverTheMonthsOfThePeriod) {
  struct Case {
    const char* from;
    const char* to;
    int months;
  } cases[] = {{"01-01-2026", "30-06-2026", 6}, {"15-02-2026", "10-04-2026", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    auto iso = [](const char* d) {
      return std::string(d + 6, 4) + "-" + std::string(d + 3, 2) + "-" + std::string(d, 2);
    };
    auto p = printer("Qor_VT_MediaVendas.rpt");
    const std::string firstArticle = first("ARTIGOS", "CODIGO"), lastArticle = first("ARTIGOS", "CODIGO", "DESC");
    const std::string text = print(*p, {"", c.from, c.to, firstArticle, lastArticle, "", "", "", "", ""});
    const Rows expected = query(
        company(),
        fmt::format("SELECT L.ARTIGO, sum(CASE H.SINALCT WHEN 2 THEN -1 ELSE 1 END * L.QUANT * CASE WHEN L.UNIDADE = "
                    "A.UNEMB AND A.FACTEMB <> 0 THEN A.FACTEMB WHEN L.UNIDADE = A.UNTRANS AND A.FACTTRA <> 0 THEN "
                    "A.FACTTRA ELSE 1 END), sum(CASE H.SINALCT WHEN 2 THEN -L.TOTLIN ELSE L.TOTLIN END) "
                    "FROM DOCGCLIN L JOIN DOCGCCAB H ON H.TPDOC = L.TPDOCUM AND H.SERIE = L.SERIE AND H.NNUMDOC = "
                    "L.NNUMDOC AND H.ANO = L.ANO JOIN ARTIGOS A ON A.CODIGO = L.ARTIGO "
                    "WHERE H.TPDOC IN ('FT', 'NC') AND H.EMPREP = 0 AND H.NVIAS <> -1 AND L.TIPOLIN = 1 AND "
                    "date(H.DATA) BETWEEN '{}' AND '{}' GROUP BY A.GRUPO, L.ARTIGO ORDER BY A.GRUPO, L.ARTIGO",
                    iso(c.from), iso(c.to)));
    ASSERT_GT(expected.size(), 10u);
    std::vector<std::string> wanted, shown;
    double total = 0;
    for (const auto& row : expected) {
      const double quantity = std::stod(row[1]), value = std::stod(row[2]);
      total += value;
      wanted.push_back(fmt::format("{}\t{}\t{}\t{}\t{}", row[0], money(quantity), money(value),
                                   money(quantity / c.months), money(value / c.months)));
    }
    for (const auto& all : printedLines(text))
      if (all.size() == 7) shown.push_back(fmt::format("{}\t{}\t{}\t{}\t{}", all[0], all[3], all[4], all[5], all[6]));
    ASSERT_FALSE(shown.empty());
    shown.erase(shown.begin());  // the column headings
    EXPECT_EQ(shown, wanted);
    EXPECT_NE(text.find("Total geral\t" + money(total) + "\t" + money(total / c.months)), std::string::npos) << text;
    EXPECT_NE(pdf.find(fmt::format("Período: de {} a {}", c.from, c.to)), std::string::npos);
    EXPECT_NE(pdf.find("Artigos: de " + firstArticle + " a " + lastArticle), std::string::npos);
  }
}

TEST_F(ReportPrinterTest, EmptyCriteriaAndEmptyTablesPrintAnEmptyReport) {
  const erp::CompanyEntry copy = erp::DemoCompany::create(tempFolder("reports-empty"), erp::DemoOptions{});
  execute(copy, "DELETE FROM CCCLIENTES; DELETE FROM DOCGCLIN; DELETE FROM DOCGCCAB; DELETE FROM ZONAGEO");
  struct Case {
    const char* file;
    std::vector<std::string> parameters;
    const char* empty;
  } cases[] = {
      {"qor_VT_Pendentes.rpt", {"", " ", "", "", "", "", "", "", "", ""}, "Não há documentos pendentes"},
      {"qor_VT_Pendentes.rpt", {"", " ", "ZZZ", "", "ZZZ", "", "ZZZ", "", "ZZZ", "30-06-2026"}, "Não há documentos"},
      {"qor_VT_PendentesToleranciaVencidos.rpt", {"", "", "", "", ""}, "Não há documentos vencidos"},
      {"Qor_VT_MediaVendas.rpt", {"", "", "", "", "", "", "", "", "", ""}, "Não há vendas"},
      {"Qor_VT_MediaVendas.rpt", {"", "01-01-2026", "30-06-2026", "", "ZZZ", "", "", "", "", ""}, "Não há vendas"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    auto p = printer(c.file, &copy);
    const std::string text = print(*p, c.parameters);
    EXPECT_NE(text.find(c.empty), std::string::npos) << text;
    EXPECT_NE(pdf.find(c.empty), std::string::npos);
    EXPECT_NE(pdf.find("Página 1 de 1"), std::string::npos);
  }
  fs::remove_all(copy.dataFolder.parent_path());
}

TEST_F(ReportPrinterTest, FromARecordsetTheRowsAreTheDataAndTheFileGivesTheLayout) {
  const fs::path folder = tempFolder("reports-recordset");
  std::ofstream(folder / "qor_VT_Vendedores.rpt") << "title \"Vendedores\"\n"
                                                     "parameter 1 \"Zona\"\n"
                                                     "criteria \"Zona {1}\"\n"
                                                     "criteria \"Todos os vendedores\"\n"
                                                     "group ZONA heading \"Zona {ZONA}\"\n"
                                                     "column CODIGO \"Código\" width 900\n"
                                                     "column NOME \"Nome\" width 3000\n";
  DataAccess data;
  ASSERT_TRUE(data.OpenConnection(buildConnectionString("MSDataShape", "SQLOLEDB", company().dataFolder.string(),
                                                        company().databaseName, "sa", "")));
  auto sellers = data.OpenRecordset("SELECT CODIGO, NOME, ZONA FROM VENDEDOR ORDER BY ZONA, CODIGO");
  ASSERT_GT(sellers->recordCount(), 3);
  sellers->setAbsolutePosition(2);

  ReportPrinter p(ui);
  p.setTipoRelatorio(2);
  p.setFicheiroRelatorio((folder / "qor_VT_Vendedores.rpt").string());
  p.setDestino(1);
  p.setConsultaBaseDados(0);
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(p.Imprimir(*sellers, true));
  ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(sellers->absolutePosition(), 2) << "the caller's current row is kept";

  const std::string text = ui::ReportOutput::lastPrinted()->text;
  const std::string printedPdf = pdfText(p.FicheiroImpresso());
  EXPECT_EQ(text.find("Zona {1}"), std::string::npos) << "no parameters: the criteria naming one are left out";
  EXPECT_EQ(text.find("Zona \n"), std::string::npos);
  EXPECT_NE(text.find("Todos os vendedores"), std::string::npos);
  for (const auto& row : query(company(), "SELECT CODIGO, NOME, ZONA FROM VENDEDOR")) {
    EXPECT_NE(text.find(row[0] + "\t" + row[1] + "\n"), std::string::npos) << row[0];
    EXPECT_NE(text.find("Zona " + row[2] + "\n"), std::string::npos) << row[2];
    EXPECT_NE(printedPdf.find(row[0]), std::string::npos) << row[0];
  }
  fs::remove_all(folder);
}

TEST_F(ReportPrinterTest, TheLateBoundPrinterTakesItsSettingsByNameAndATextArray) {
  auto object = std::make_shared<ReportPrinter>(ui);
  const DispatchPtr p = object;
  late::let(p, "TipoRelatorio", Variant(std::int16_t{2}));
  late::let(p, "Servidor", Variant(company().dataFolder.string()));
  late::let(p, "BaseDados", Variant(company().databaseName));
  late::let(p, "Utilizador", Variant("sa"));
  late::let(p, "PassWord", Variant(""));
  // As the commands name it: the library's folder, a backslash, and the file
  // name in the case the system spells it.
  late::let(p, "FicheiroRelatorio", Variant(binFolder().string() + "\\QOR_VT_PENDENTESTOLERANCIAVENCIDOS.rpt"));
  late::let(p, "Destino", Variant(std::int16_t{1}));
  late::let(p, "Pai", Variant(std::int32_t{0}));
  std::vector<Variant> elements(5, Variant(""));
  elements[1] = Variant(std::string(demo::kSeller));
  elements[2] = Variant(std::string(demo::kSeller));
  elements[3] = Variant("C00001");
  elements[4] = Variant("C99999");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(late::call(p, "Imprimir", {Variant(makeArray(elements)), Variant(true)}), Variant(true));
  ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(ui.boxes().empty());
  const std::string file = vb::CStr(late::get(p, "FicheiroImpresso"));
  EXPECT_EQ(fs::path(file).filename().string().rfind("qor_VT_PendentesToleranciaVencidos_", 0), 0u)
      << "the file as it lies on disk: " << file;
  EXPECT_NE(pdfText(file).find(fmt::format("Vendedores: de {0} a {0}", demo::kSeller)), std::string::npos);
  EXPECT_EQ(late::get(p, "TipoRelatorio"), Variant(std::int32_t{2}));
  EXPECT_EQ(late::get(p, "servidor"), Variant(company().dataFolder.string())) << "names without regard to case";

  // Settings the printer does not know are refused at once.
  for (const char* setting : {"TipoRelatorio", "Destino", "ConsultaBaseDados"}) {
    try {
      late::let(p, setting, Variant(std::int16_t{7}));
      ADD_FAILURE() << setting;
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), vberr::InvalidCall) << setting;
    }
  }
  EXPECT_THROW(late::call(p, "Imprimir", {Variant(42.0)}), AutomationError);
}

TEST_F(ReportPrinterTest, AReportThatCannotBePrintedIsShownInABoxAndNothingIsPrinted) {
  const fs::path folder = tempFolder("reports-bad");
  std::ofstream(folder / "qor_VT_Mal.rpt") << "title \"Mal feito\"\ncolumn A \"A\" width larga\n";
  std::ofstream(folder / "qor_VT_SemCampo.rpt") << "title \"Sem campo\"\nquery\nSELECT CODIGO FROM VENDEDOR\nend\n"
                                                   "column CODIGO \"Código\"\ncolumn NOMEX \"Nome\"\n";
  std::ofstream(folder / "qor_VT_Tabela.rpt") << "title \"Sem tabela\"\nquery\nSELECT A FROM NAOEXISTE\nend\n"
                                                 "column A \"A\"\n";
  struct Case {
    const char* what;
    fs::path file;
    std::vector<std::string> parameters;
    std::string database;
    std::string title;
    std::vector<std::string> texts;  // in the box
  } cases[] = {
      {"a missing file",
       folder / "qor_VT_Nenhum.rpt",
       {},
       company().databaseName,
       "Relatórios",
       {"O ficheiro de relatório", "qor_VT_Nenhum.rpt\" não existe."}},
      {"a malformed file",
       folder / "qor_VT_Mal.rpt",
       {},
       company().databaseName,
       "Relatórios",
       {"qor_VT_Mal.rpt\" tem um erro na linha 2", "a largura \"larga\""}},
      {"a field the query has not",
       folder / "qor_VT_SemCampo.rpt",
       {},
       company().databaseName,
       "Sem campo",
       {"linha 6", "o campo \"NOMEX\" não vem nos dados"}},
      {"a missing table",
       folder / "qor_VT_Tabela.rpt",
       {},
       company().databaseName,
       "Sem tabela",
       {"Erro -2147217865 - ", "NAOEXISTE"}},
      {"a criterion that is no date",
       binFolder() / "qor_VT_Pendentes.rpt",
       {"", " ", "Z", "", "Z", "", "Z", "", "Z", "32-13-2026"},
       company().databaseName,
       "Documentos Pendentes",
       {"O parâmetro 9 (Data de referência)", "\"32-13-2026\""}},
      {"a database that does not exist",
       binFolder() / "qor_VT_Pendentes.rpt",
       {},
       "NAOHA",
       "Documentos Pendentes",
       {"Não foi possível ligar à base de dados \"NAOHA\""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ui.clearBoxes();
    ui::ReportOutput::forgetLastPrinted();
    auto p = printer("qor_VT_Pendentes.rpt");
    p->setFicheiroRelatorio(c.file.string());
    p->setBaseDados(c.database);
    EXPECT_FALSE(p->Imprimir(c.parameters, true));
    EXPECT_FALSE(ui::ReportOutput::lastPrinted()) << "nothing printed";
    EXPECT_TRUE(p->FicheiroImpresso().empty());
    ASSERT_EQ(ui.boxes().size(), 1u);
    const auto& box = ui.boxes()[0];
    EXPECT_EQ(box.title, c.title);
    EXPECT_EQ(box.icon(), vb::vbExclamation);
    for (const auto& t : c.texts) EXPECT_NE(box.prompt.find(t), std::string::npos) << box.prompt;
  }
  // Printing from a recordset asks for the setting that says so, and the
  // other way round.
  ui.clearBoxes();
  auto p = printer("qor_VT_Pendentes.rpt");
  auto rs = sql::Recordset::create({});
  EXPECT_FALSE(p->Imprimir(*rs, true));
  p->setConsultaBaseDados(0);
  EXPECT_FALSE(p->Imprimir(std::vector<std::string>{}, true));
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_NE(ui.boxes()[0].prompt.find("recebeu um recordset"), std::string::npos) << ui.boxes()[0].prompt;
  EXPECT_NE(ui.boxes()[1].prompt.find("não recebeu nenhum"), std::string::npos) << ui.boxes()[1].prompt;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace quill

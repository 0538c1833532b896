#include "platform/ui/TablePrinter.h"

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/automation/AutomationError.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestApplication.h"

namespace quill::ui {
namespace {

namespace fs = std::filesystem;
using quill::testing::occurrences;
using quill::testing::pdfText;

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() / fmt::format("quill-tableprinter-{}-{}", ::getpid(), counter()++);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  fs::path path_;
};

// Sales by seller and client: two sellers, three clients, a quantity and a
// value summed.
TableDocument salesDocument(int rowsPerClient) {
  TableDocument d;
  d.title = "Vendas por cliente";
  d.headerLines = {"Vendedores: de V01 a V02", "Período: de 01-01-2026 a 30-06-2026"};
  d.columns = {{"Documento", 1800, CellAlignment::Left, "", false},
               {"Data", 1200, CellAlignment::Center, "dd-mm-yyyy", false},
               {"Quantidade", 1400, CellAlignment::Right, "#,##0.00", true},
               {"Valor", 1400, CellAlignment::Right, "#,##0.00", true}};
  d.groupLevels = 2;
  d.groups = {{"Vendedor V01 - Ana Costa", "Total do vendedor V01"},
              {"Cliente C00001 - Aviário do Freixo", "Total do cliente C00001"},
              {"Cliente C00002 - Casa Ribeiro", "Total do cliente C00002"},
              {"Vendedor V02 - Rui Matos", "Total do vendedor V02"},
              {"Cliente C00003 - Quinta d'Ouro", "Total do cliente C00003"}};
  const std::pair<int, int> clients[] = {{0, 1}, {0, 2}, {3, 4}};
  int number = 1;
  for (auto [seller, client] : clients)
    for (int i = 0; i < rowsPerClient; ++i, ++number) {
      TableRow row;
      row.cells = {Variant(fmt::format("FT 1/{:03d}", number)), Variant(Date{46028.0 + number}), Variant(10.0 * number),
                   Variant(2.5 * number)};
      row.groups = {seller, client};
      d.rows.push_back(row);
    }
  d.totalCaption = "Total geral";
  d.emptyText = "Não há documentos.";
  return d;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(TablePrinter, GroupsOpenWithAHeadingAndCloseWithTheirTotalsInnermostFirst) {
  const auto d = salesDocument(2);
  const auto text = lines(TablePrinter(d).text());
  const std::vector<std::string> expected = {
      "Vendas por cliente",
      "Vendedores: de V01 a V02",
      "Período: de 01-01-2026 a 30-06-2026",
      "Documento\tData\tQuantidade\tValor",
      "Vendedor V01 - Ana Costa",
      "Cliente C00001 - Aviário do Freixo",
      "FT 1/001\t07-01-2026\t10,00\t2,50",
      "FT 1/002\t08-01-2026\t20,00\t5,00",
      "Total do cliente C00001\t30,00\t7,50",
      "Cliente C00002 - Casa Ribeiro",
      "FT 1/003\t09-01-2026\t30,00\t7,50",
      "FT 1/004\t10-01-2026\t40,00\t10,00",
      "Total do cliente C00002\t70,00\t17,50",
      "Total do vendedor V01\t100,00\t25,00",
      "Vendedor V02 - Rui Matos",
      "Cliente C00003 - Quinta d'Ouro",
      "FT 1/005\t11-01-2026\t50,00\t12,50",
      "FT 1/006\t12-01-2026\t60,00\t15,00",
      "Total do cliente C00003\t110,00\t27,50",
      "Total do vendedor V02\t110,00\t27,50",
      "Total geral\t210,00\t52,50",
  };
  EXPECT_EQ(text, expected);
}

TEST(TablePrinter, GroupsWithoutCaptionsPrintNeitherHeadingNorTotalAndTextCellsAddNothing) {
  TableDocument d;
  d.title = "Lista";
  d.columns = {{"Código", 1000, CellAlignment::Left, "", false}, {"Valor", 1000, CellAlignment::Right, "0.0", true}};
  d.groupLevels = 1;
  d.groups = {{"", ""}, {"Grupo B", ""}};
  for (auto [group, value] : {std::pair{0, Variant(1.5)}, {0, Variant("x")}, {1, Variant("2,5")}, {1, Variant()}}) {
    TableRow row;
    row.cells = {Variant("A"), value};
    row.groups = {group, -1};
    d.rows.push_back(row);
  }
  d.totalCaption = "Total";
  const auto text = lines(TablePrinter(d).text());
  const std::vector<std::string> expected = {"Lista",   "Código\tValor", "A\t1,5", "A\tx",
                                             "Grupo B", "A\t2,5",        "A\t",    "Total\t4,0"};
  EXPECT_EQ(text, expected);
}

class TablePrinterPdf : public ::testing::Test {
 protected:
  void SetUp() override { quill::testing::testApplication(); }
  fs::path print(const TableDocument& d, const std::string& name = "relatorio.pdf") {
    const fs::path file = dir.path() / name;
    pages = ReportOutput::writePdf(d, file);
    return file;
  }
  TempDir dir;
  int pages = 0;
};

TEST_F(TablePrinterPdf, ALongTableBreaksIntoNumberedPagesRepeatingHeadingsAndEveryRowOnce) {
  const auto d = salesDocument(60);  // 180 rows, more than two pages
  const std::string text = pdfText(print(d));
  ASSERT_FALSE(text.empty()) << "pdftotext reads the file";
  ASSERT_GE(pages, 3);
  QPdfWriter probe(QString::fromStdString((dir.path() / "probe.pdf").string()));
  probe.setResolution(600);
  TablePrinter printer(d);
  probe.setPageLayout(printer.pageLayout());
  EXPECT_EQ(printer.pageCount(probe), pages) << "counting pages agrees with painting them";

  EXPECT_EQ(occurrences(text, "\f"), pages) << "one form feed a page";
  for (int p = 1; p <= pages; ++p) EXPECT_EQ(occurrences(text, fmt::format("Página {} de {}", p, pages)), 1) << p;
  EXPECT_EQ(occurrences(text, "Quantidade"), pages) << "the column headings on every page";
  EXPECT_EQ(occurrences(text, "Vendas por cliente"), pages) << "the title on every page";
  EXPECT_EQ(occurrences(text, "Vendedores: de V01 a V02"), pages) << "the criteria on every page";
  for (int n = 1; n <= 180; ++n) EXPECT_EQ(occurrences(text, fmt::format("FT 1/{:03d}", n)), 1) << n;
  EXPECT_GE(occurrences(text, "(continuação)"), pages - 1) << "a page that starts inside a group repeats its heading";
  EXPECT_EQ(occurrences(text, "Total geral"), 1);
  EXPECT_EQ(occurrences(text, "162.900,00"), 1) << "the total of 180 quantities 10..1800";
}

TEST_F(TablePrinterPdf, AHeadingIsNeverTheLastLineOfAPage) {
  // Clients of one row each: headings everywhere, so some fall at a page end.
  TableDocument d;
  d.title = "Clientes";
  d.columns = {{"Documento", 2000, CellAlignment::Left, "", false}};
  d.groupLevels = 1;
  for (int c = 0; c < 120; ++c) {
    d.groups.push_back({fmt::format("Cliente {:03d}", c), ""});
    TableRow row;
    row.cells = {Variant(fmt::format("Doc {:03d}", c))};
    row.groups = {c, -1};
    d.rows.push_back(row);
  }
  const std::string text = pdfText(print(d));
  std::size_t start = 0;
  for (int page = 0; page < pages; ++page) {
    const std::size_t end = text.find('\f', start);
    ASSERT_NE(end, std::string::npos);
    const std::string body = text.substr(start, end - start);
    // Each client on the page comes with its document.
    for (int c = 0; c < 120; ++c) {
      if (body.find(fmt::format("Cliente {:03d}\n", c)) == std::string::npos) continue;
      EXPECT_NE(body.find(fmt::format("Doc {:03d}", c)), std::string::npos) << "client " << c << " page " << page;
    }
    start = end + 1;
  }
}

TEST_F(TablePrinterPdf, AnEmptyTableIsOnePageWithItsHeadingsAndTheEmptyText) {
  auto d = salesDocument(0);
  const std::string text = pdfText(print(d));
  EXPECT_EQ(pages, 1);
  EXPECT_NE(text.find("Não há documentos."), std::string::npos);
  EXPECT_NE(text.find("Quantidade"), std::string::npos);
  EXPECT_EQ(text.find("Total geral"), std::string::npos) << "no totals of nothing";
  EXPECT_NE(text.find("Página 1 de 1"), std::string::npos);
}

TEST_F(TablePrinterPdf, ACellTooLongForItsColumnIsCutWithAnEllipsis) {
  TableDocument d;
  d.title = "Nomes";
  d.columns = {{"Nome", 700, CellAlignment::Left, "", false}, {"Código", 5000, CellAlignment::Left, "", false}};
  TableRow row;
  row.cells = {Variant("Cooperativa Agrícola do Vale do Mondego, CRL"), Variant("C00010")};
  d.rows.push_back(row);
  const std::string text = pdfText(print(d));
  EXPECT_EQ(text.find("Mondego"), std::string::npos) << text;
  EXPECT_NE(text.find("Coop"), std::string::npos) << text;
  EXPECT_NE(text.find("…"), std::string::npos) << text;
  EXPECT_NE(text.find("C00010"), std::string::npos) << "the next column is not covered";
}

TEST_F(TablePrinterPdf, AWideTableShrinksToThePageAndLandscapeTurnsThePage) {
  TableDocument d;
  d.title = "Larga";
  for (int c = 0; c < 12; ++c) d.columns.push_back({fmt::format("Coluna{}", c), 2000, CellAlignment::Left, "", false});
  TableRow row;
  for (int c = 0; c < 12; ++c) row.cells.push_back(Variant(fmt::format("v{}", c)));
  d.rows.push_back(row);
  const std::string portrait = pdfText(print(d, "retrato.pdf"));
  for (int c = 0; c < 12; ++c) EXPECT_NE(portrait.find(fmt::format("v{}", c)), std::string::npos) << c;
  d.landscape = true;
  EXPECT_EQ(TablePrinter(d).pageLayout().orientation(), QPageLayout::Landscape);
  print(d, "paisagem.pdf");
  EXPECT_EQ(pages, 1);
}

// ---- Where reports go ----

TEST(ReportOutput, APdfWithoutADisplayOrWhenTheFolderIsSetAPreviewOtherwise) {
  struct Case {
    bool application;
    const char* platform;
    bool folderSet;
    ReportDestination expected;
  } cases[] = {
      {true, "xcb", false, ReportDestination::Preview},     {true, "wayland", false, ReportDestination::Preview},
      {true, "xcb", true, ReportDestination::PdfFile},      {true, "offscreen", false, ReportDestination::PdfFile},
      {true, "minimal", false, ReportDestination::PdfFile}, {false, "", false, ReportDestination::PdfFile},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReportOutput::destinationFor(c.application, c.platform, c.folderSet), c.expected)
        << c.platform << " " << c.folderSet;
}

TEST(ReportOutput, TwoReportsInOneSecondGetTwoFiles) {
  TempDir dir;
  const QDateTime when(QDate(2026, 12, 8), QTime(10, 15, 0));
  const fs::path first = ReportOutput::newFileName(dir.path(), "qor_VT_Pendentes", when);
  EXPECT_EQ(first.filename(), "qor_VT_Pendentes_20261208-101500.pdf");
  std::ofstream(first).put('x');
  const fs::path second = ReportOutput::newFileName(dir.path(), "qor_VT_Pendentes", when);
  EXPECT_EQ(second.filename(), "qor_VT_Pendentes_20261208-101500_2.pdf");
  EXPECT_THROW(ReportOutput::writePdf(salesDocument(1), first), AutomationError)
      << "an existing file is never overwritten";
}

TEST(ReportOutput, HeadlessPrintingWritesAPdfIntoTheReportFolderAndRemembersIt) {
  quill::testing::testApplication();
  TempDir dir;
  ::setenv(ReportOutput::kFolderVariable, dir.path().c_str(), 1);
  ScriptedUiServices ui;
  ASSERT_EQ(ReportOutput::destination(), ReportDestination::PdfFile);
  ::testing::internal::CaptureStdout();
  const auto first = ReportOutput::print(salesDocument(1), "vendas", ui);
  const auto second = ReportOutput::print(salesDocument(2), "vendas", ui);
  const std::string out = ::testing::internal::GetCapturedStdout();
  ::unsetenv(ReportOutput::kFolderVariable);

  EXPECT_EQ(first.file.parent_path(), dir.path());
  EXPECT_NE(first.file, second.file);
  EXPECT_NE(out.find(first.file.string() + "\n"), std::string::npos) << out;
  EXPECT_NE(out.find(second.file.string() + "\n"), std::string::npos) << out;
  EXPECT_NE(pdfText(second.file).find("FT 1/006"), std::string::npos);
  auto last = ReportOutput::lastPrinted();
  ASSERT_TRUE(last);
  EXPECT_EQ(last->file, second.file);
  EXPECT_NE(last->text.find("FT 1/006"), std::string::npos);
  EXPECT_TRUE(ui.boxes().empty());
}

TEST(ReportOutput, OnScreenTheReportOpensInAPrintPreviewShownThroughTheUiServices) {
  quill::testing::testApplication();
  ReportOutput::forgetLastPrinted();
  ScriptedUiServices ui;
  int previewPages = -1;
  QString title;
  ui.onNextModal([&](QWidget& form) {
    auto* preview = qobject_cast<QPrintPreviewDialog*>(&form);
    ASSERT_NE(preview, nullptr);
    title = preview->windowTitle();
    if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) previewPages = widget->pageCount();
    form.hide();
  });
  const auto report = ReportOutput::print(salesDocument(60), "vendas", ui, 0, ReportDestination::Preview);
  EXPECT_EQ(title, "Vendas por cliente");
  EXPECT_GE(previewPages, 3);
  EXPECT_EQ(report.pages, previewPages);
  EXPECT_TRUE(report.file.empty()) << "nothing written on screen";
  ASSERT_TRUE(ReportOutput::lastPrinted());
  EXPECT_NE(ReportOutput::lastPrinted()->text.find("FT 1/180"), std::string::npos);
}

}  // namespace
}  // namespace quill::ui

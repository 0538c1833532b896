// The report's export to a workbook, read back by xlrd and LibreOffice:
// formats, fonts, codes kept as text, accents, the 97–2003 format whatever
// the name, and what is left when the export cannot finish.

#include <gtest/gtest.h>

#include <fstream>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/discounts/ExportToExcel.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/RunningObjects.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/ui/MemoryFormView.h"
#include "tests/extension/discounts/DiscountsTestSupport.h"
#include "tests/platform/spreadsheet/IndependentReaders.h"
#include "tests/platform/winapi/TempFolder.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using spreadsheet::testing::convertWithLibreOffice;
using spreadsheet::testing::ReadSheet;
using spreadsheet::testing::readWithXlrd;

std::string s(std::string_view v) { return std::string(v); }

bool anyRunning() {
  try {
    getActiveObject("Excel.Application");
    return true;
  } catch (const AutomationError&) {
    return false;
  }
}

// A company copy with clients whose codes read as numbers and whose names
// and groups carry accents, in a range of their own ("000..." sorts first).
class DescontosExport : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    data = testing::openWithProcedures(copy.company());
    testing::addClient(*data, "000123", "Açúcar & Pão, Lda.", s(demo::kSeller), 0.0, 6, 0.0125);
    testing::addClient(*data, "000124", "Óleos do Ñandú", s(demo::kSeller), 0.015, 5);
  }

  // Opens the report on the range, plays `user`, and closes it.
  void report(const std::string& first, const std::string& last, std::function<void(ui::MemoryFormView&)> user) {
    testing::openReport(ui, data, [&](ui::MemoryFormView& v) {
      v.userType("txtCliIni", first);
      v.userType("txtCliFin", last);
      user(v);
    });
  }
  void exportTo(const std::string& first, const std::string& last, const std::filesystem::path& file) {
    ui.answerSaveFile(file);
    report(first, last, [](ui::MemoryFormView& v) { v.userClick("CmdExportar"); });
  }

  testing::DemoCopy copy;
  std::shared_ptr<DataAccess> data;
  ui::ScriptedUiServices ui;
  quill::testing::TempFolder folder;
};

TEST_F(DescontosExport, WritesTheGridAsA97To2003WorkbookWithTheFormatsAndFontsOfEachKindOfCell) {
  const auto file = folder.path() / "descontos.xlsx";
  exportTo("000123", "000124", file);
  ASSERT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  ASSERT_EQ(ui.openedFiles(), std::vector<std::filesystem::path>{file});
  EXPECT_FALSE(anyRunning());  // the export started the application and quit it

  auto book = readWithXlrd(file);
  EXPECT_EQ(book.biffVersion, 80);
  ASSERT_EQ(book.sheets.size(), 1u);
  const ReadSheet& sheet = book.sheets[0];
  // Headings, then 5 lines for six groups and 3 for five: no seller heading rows.
  EXPECT_EQ(sheet.rows, 1 + 5 + 3);
  EXPECT_EQ(sheet.columns, 8);
  const char* captions[] = {"Cliente", "Nome", "Desconto", "", "", "", "", ""};
  for (int k = 0; k < 3; ++k) {
    ASSERT_NE(sheet.at(0, k), nullptr) << k;
    EXPECT_EQ(sheet.at(0, k)->text, captions[k]);
    EXPECT_TRUE(sheet.at(0, k)->bold);
  }
  // The code that reads as a number stays text, leading zeros and all.
  ASSERT_NE(sheet.at(1, 0), nullptr);
  EXPECT_EQ(sheet.at(1, 0)->type, "text");
  EXPECT_EQ(sheet.at(1, 0)->text, "000123");
  EXPECT_EQ(sheet.at(1, 0)->format, "@");
  // A name: bold text, not italic.
  EXPECT_EQ(sheet.at(1, 1)->text, "Açúcar & Pão, Lda.");
  EXPECT_TRUE(sheet.at(1, 1)->bold);
  EXPECT_FALSE(sheet.at(1, 1)->italic);
  // Group names: bold italic text; discounts: numbers "#.0000", centred.
  EXPECT_EQ(sheet.at(1, 3)->text, "G001-Grupo nº 1");
  EXPECT_TRUE(sheet.at(1, 3)->bold && sheet.at(1, 3)->italic);
  ASSERT_NE(sheet.at(2, 3), nullptr);
  EXPECT_EQ(sheet.at(2, 3)->type, "number");
  EXPECT_DOUBLE_EQ(sheet.at(2, 3)->number, 0.0125);
  EXPECT_EQ(sheet.at(2, 3)->format, "#.0000");
  EXPECT_EQ(sheet.at(2, 3)->alignment, 2);
  // The sixth group on a line of its own.
  EXPECT_EQ(sheet.at(3, 3)->text, "G006-Grupo nº 6");
  // A discount per kilogram of 0 is an empty text; another is a number.
  if (const auto* zero = sheet.at(1, 2)) EXPECT_EQ(zero->text, "");
  ASSERT_NE(sheet.at(6, 2), nullptr);
  EXPECT_EQ(sheet.at(6, 2)->type, "number");
  EXPECT_DOUBLE_EQ(sheet.at(6, 2)->number, 0.015);

  auto csv = convertWithLibreOffice(file);
  ASSERT_GE(csv.size(), 7u);
  EXPECT_EQ(csv[1][0], "000123");
  EXPECT_EQ(csv[6][1], "Óleos do Ñandú");
  EXPECT_EQ(csv[1][3], "G001-Grupo nº 1");
}

TEST_F(DescontosExport, AnEmptyRangeStillWritesTheHeadingsAndTheAnswerCancelWritesNothing) {
  const auto file = folder.path() / "vazio.xls";
  exportTo("ZZZ1", "ZZZ2", file);
  auto book = readWithXlrd(file);
  ASSERT_EQ(book.sheets.size(), 1u);
  EXPECT_EQ(book.sheets[0].rows, 1);
  EXPECT_EQ(book.sheets[0].at(0, 1)->text, "Nome");

  ui.answerSaveFile(std::nullopt);
  report("000123", "000124", [](ui::MemoryFormView& v) { v.userClick("CmdExportar"); });
  EXPECT_EQ(ui.openedFiles().size(), 1u);
}

TEST_F(DescontosExport, AFileThatCannotBeWrittenIsSaidAndLeavesWhatWasThere) {
  // A folder that is a file: nothing can be written below it.
  const auto blocker = folder.path() / "ficheiro";
  std::ofstream(blocker) << "keep me";
  const auto existing = folder.path() / "existente.xls";
  exportTo("000123", "000124", existing);
  const std::string before = quill::testing::TempFolder::read(existing);
  ui.clearBoxes();

  for (const auto& target : {blocker / "descontos.xls", folder.path() / "falta" / "descontos.xls"}) {
    ui.clearBoxes();
    exportTo("000123", "000124", target);
    ASSERT_EQ(ui.boxes().size(), 1u) << target;
    EXPECT_EQ(ui.boxes()[0].title, "Mapa Descontos por Cliente Grupo");
    EXPECT_NE(ui.boxes()[0].prompt.find("descontos.xls"), std::string::npos) << ui.boxes()[0].prompt;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(anyRunning()) << target;
  }
  EXPECT_EQ(quill::testing::TempFolder::read(blocker), "keep me");
  EXPECT_EQ(quill::testing::TempFolder::read(existing), before);
  EXPECT_EQ(ui.openedFiles().size(), 1u);  // only the export that worked was opened
}

TEST_F(DescontosExport, ARunningApplicationIsUsedAndLeftRunning) {
  auto running = createObject("Excel.Application");
  const auto file = folder.path() / "descontos.xls";
  exportTo("000123", "000123", file);
  EXPECT_TRUE(ui.boxes().empty());
  EXPECT_EQ(getActiveObject("Excel.Application"), running);
  EXPECT_EQ(late::get(late::get(running, "Workbooks").objectValue(), "Count"), Variant(std::int32_t{0}));
  late::call(running, "Quit");
  EXPECT_EQ(readWithXlrd(file).sheets.at(0).rows, 1 + 5);
}

TEST_F(DescontosExport, HundredsOfGroupsBecomeMoreLinesNeverMoreColumns) {
  // More groups than a 97–2003 sheet has columns.
  testing::addClient(*data, "000200", "Muitos grupos", s(demo::kSeller), 0, 300);
  const auto file = folder.path() / "grupos.xls";
  exportTo("000200", "000200", file);
  ASSERT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
  auto book = readWithXlrd(file);
  EXPECT_TRUE(book.warnings.empty()) << book.warnings;
  const ReadSheet& sheet = book.sheets.at(0);
  EXPECT_EQ(sheet.columns, 8);
  EXPECT_EQ(sheet.rows, 1 + 60 * 2 + 1);
  EXPECT_EQ(sheet.at(119, 7)->text, "G300-Grupo nº 300");
}

}  // namespace
}  // namespace quill

#include "platform/spreadsheet/Application.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "platform/automation/AutomationError.h"
#include "platform/automation/RunningObjects.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "platform/spreadsheet/SpreadsheetError.h"
#include "platform/spreadsheet/TextWidth.h"
#include "tests/platform/spreadsheet/IndependentReaders.h"
#include "tests/platform/spreadsheet/SheetTest.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::spreadsheet {
namespace {

using quill::testing::TempFolder;
using testing::readWithXlrd;

using testing::n;

AutomationError failure(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << "the call did not fail";
  return AutomationError(0, "", "");
}

class ApplicationTest : public testing::SheetTest {};

// Objects let go are reused for the next cell asked for: objects still held
// keep their own cells.
TEST_F(ApplicationTest, RangesAndFontsStillHeldKeepTheirCells) {
  auto a1 = cells(1, 1);
  auto b2 = cells(2, 2);
  auto fontA3 = font(cells(3, 1));
  auto fontA4 = font(cells(4, 1));
  late::let(a1, "Value", "a1");
  late::let(b2, "Value", "b2");
  late::let(fontA3, "Bold", true);
  late::let(fontA4, "Italic", true);
  for (int i = 0; i < 3; ++i) late::let(cells(5 + i, 3), "Value", n(i));
  EXPECT_EQ(late::get(cells(1, 1), "Value"), Variant("a1"));
  EXPECT_EQ(late::get(cells(2, 2), "Value"), Variant("b2"));
  EXPECT_EQ(late::get(font(cells(3, 1)), "Bold"), Variant(true));
  EXPECT_EQ(late::get(font(cells(3, 1)), "Italic"), Variant(false));
  EXPECT_EQ(late::get(font(cells(4, 1)), "Bold"), Variant(false));
  EXPECT_EQ(late::get(font(cells(4, 1)), "Italic"), Variant(true));
  EXPECT_EQ(late::get(cells(7, 3), "Value"), Variant(2.0));
  EXPECT_TRUE(late::get(cells(1, 2), "Value").isEmpty());
}

TEST_F(ApplicationTest, FormatsFontsAndAlignmentsReadBackAndMixedRangesAnswerNull) {
  auto a1 = cells(1, 1);
  late::let(a1, "NumberFormat", "#.0000");
  late::let(a1, "Value", 12.5);
  late::let(a1, "HorizontalAlignment", n(xlCenter));
  late::let(font(a1), "Bold", true);
  late::let(font(cells(1, 2)), "Italic", true);
  EXPECT_EQ(late::get(a1, "NumberFormat"), Variant("#.0000"));
  EXPECT_EQ(late::get(a1, "Text"), Variant("12,5000"));
  EXPECT_EQ(late::get(a1, "HorizontalAlignment"), n(xlCenter));
  EXPECT_EQ(late::get(font(a1), "Bold"), Variant(true));
  EXPECT_EQ(late::get(cells(2, 1), "NumberFormat"), Variant("General"));
  auto both = late::get(sheet_, "Range", {"A1:B1"}).objectValue();
  EXPECT_TRUE(late::get(font(both), "Bold").isNull());
  EXPECT_TRUE(late::get(font(both), "Italic").isNull());
  EXPECT_TRUE(late::get(both, "NumberFormat").isNull());
  late::let(font(both), "Bold", false);
  EXPECT_EQ(late::get(font(both), "Bold"), Variant(false));
  for (std::int32_t bad : {0, 2, -4000}) {
    auto e = failure([&] { late::let(a1, "HorizontalAlignment", n(bad)); });
    EXPECT_EQ(e.number(), 1004) << bad;
  }
  EXPECT_EQ(late::get(a1, "HorizontalAlignment"), n(xlCenter));
}

TEST_F(ApplicationTest, AColumnsAlignmentReachesItsCellsAndTheCellsItGetsLater) {
  late::let(cells(1, 2), "Value", "antes");
  late::let(cells(1, 2), "HorizontalAlignment", n(xlLeft));
  late::let(column(2), "HorizontalAlignment", n(xlRight));
  late::let(cells(3, 2), "Value", "depois");
  late::let(cells(3, 3), "Value", "ao lado");
  EXPECT_EQ(late::get(cells(1, 2), "HorizontalAlignment"), n(xlRight));
  EXPECT_EQ(late::get(cells(3, 2), "HorizontalAlignment"), n(xlRight));
  EXPECT_EQ(late::get(cells(3, 3), "HorizontalAlignment"), n(xlGeneral));
  EXPECT_EQ(late::get(column(2), "HorizontalAlignment"), n(xlRight));
  saveAs(folder_ / "columns.xls");
  auto read = readWithXlrd(folder_ / "columns.xls");
  EXPECT_EQ(read.sheets[0].at(0, 1)->alignment, 3);
  EXPECT_EQ(read.sheets[0].at(2, 1)->alignment, 3);
  EXPECT_EQ(read.sheets[0].at(2, 2)->alignment, 0);
}

TEST_F(ApplicationTest, AutoFitFollowsTheTextsAsShown) {
  struct Column {
    std::vector<Variant> values;
    const char* format;
    bool bold;
  } columns[] = {
      {{Variant("Nome")}, "@", false},                                             // 1: short
      {{Variant("Nome"), Variant("Pão de Açúcar Distribuição Lda")}, "@", false},  // 2: the long one counts
      {{Variant("Pão de Açúcar Distribuição Lda")}, "@", true},                    // 3: bold is wider
      {{Variant(1.0)}, "General", false},                                          // 4: "1"
      {{Variant(1.0)}, "#,##0.0000", false},                                       // 5: "1,0000"
      {{Variant(1234567.0)}, "#,##0.0000", false},                                 // 6: "1.234.567,0000"
      {{}, "General", false},                                                      // 7: nothing to show
  };
  for (int k = 0; k < static_cast<int>(std::size(columns)); ++k) {
    int row = 1;
    for (const auto& v : columns[k].values) {
      auto c = cells(row++, k + 1);
      late::let(c, "NumberFormat", columns[k].format);
      late::let(c, "Value", v);
      late::let(font(c), "Bold", columns[k].bold);
    }
    late::let(column(7), "ColumnWidth", 30.0);
    late::call(column(k + 1), "AutoFit");
  }
  auto width = [&](int k) { return late::get(column(k), "ColumnWidth").doubleValue(); };
  EXPECT_LT(width(1), width(2));
  EXPECT_LT(width(2), width(3));
  EXPECT_LT(width(4), width(5));
  EXPECT_LT(width(5), width(6));
  EXPECT_EQ(width(7), kStandardColumnWidth);
  EXPECT_GT(width(2), 20);  // 30 characters of mixed letters
  EXPECT_LT(width(2), 32);
  EXPECT_LT(width(4), 3);
  // Only columns fit; a block of cells does not.
  EXPECT_EQ(failure([&] { late::call(cells(1, 1), "AutoFit"); }).number(), 1004);
  late::call(late::get(late::get(sheet_, "Range", {"B1"}).objectValue(), "Columns").objectValue(), "AutoFit");
  EXPECT_LT(width(2), 8);  // fitted to "Nome" alone

  saveAs(folder_ / "widths.xls");
  auto read = readWithXlrd(folder_ / "widths.xls");
  EXPECT_EQ(read.sheets[0].widths.at(2), columnWidthUnits(width(3)));
}

TEST_F(ApplicationTest, CellsPastTheSheetAreRefusedBeforeAnythingChanges) {
  late::let(cells(65536, 256), "Value", "último");
  late::let(cells(1, "IV"), "Value", "canto");
  struct Case {
    std::function<void()> call;
    const char* says;
  } cases[] = {
      {[&] { cells(65537, 1); }, "rows 1 to 65536"},
      {[&] { cells(0, 1); }, "rows 1 to 65536"},
      {[&] { cells(1, 257); }, "columns 1 to 256"},
      {[&] { cells(1, "IW"); }, "columns A to IV"},
      {[&] { late::get(sheet_, "Range", {"A65537"}); }, "A1 to IV65536"},
      {[&] { late::get(sheet_, "Range", {"IW1"}); }, "A1 to IV65536"},
      {[&] { column(257); }, "columns 1 to 256"},
  };
  for (const auto& c : cases) {
    auto e = failure(c.call);
    EXPECT_EQ(e.number(), 1004);
    EXPECT_NE(e.description().find(c.says), std::string::npos) << e.description();
  }
  EXPECT_EQ(failure([&] { cells(1, "x1"); }).number(), 13);
  EXPECT_EQ(failure([&] { late::let(cells(1, 1), "Value", std::string(32768, 'x')); }).number(), 1004);
  saveAs(folder_ / "limits.xls");
  auto read = readWithXlrd(folder_ / "limits.xls");
  EXPECT_EQ(read.sheets[0].rows, 65536);
  EXPECT_EQ(read.sheets[0].columns, 256);
  EXPECT_EQ(read.sheets[0].cells.size(), 2u);
}

TEST_F(ApplicationTest, SaveAsWritesTheOldFormatWhateverTheExtension) {
  late::let(cells(1, 1), "NumberFormat", "@");
  late::let(cells(1, 1), "Value", "00123");
  for (const char* name : {"export.xlsx", "export.xls", "Descontos Cliente-Grupo", "export.dat"}) {
    saveAs(folder_ / name);
    auto written = folder_ / (std::string(name).find('.') == std::string::npos ? std::string(name) + ".xls" : name);
    EXPECT_EQ(TempFolder::read(written).substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") << name;
    auto read = readWithXlrd(written);
    EXPECT_EQ(read.biffVersion, 80) << name;
    EXPECT_EQ(read.sheets[0].at(0, 0)->text, "00123") << name;
    EXPECT_EQ(late::get(book_, "FullName"), Variant(written.string()));
    EXPECT_EQ(late::get(book_, "Name"), Variant(written.filename().string()));
  }
  // No FileFormat is the same format; other formats are refused, unwritten.
  late::call(book_, "SaveAs", {(folder_ / "plain.xls").string()});
  EXPECT_TRUE(std::filesystem::exists(folder_ / "plain.xls"));
  auto e = failure([&] { late::call(book_, "SaveAs", {(folder_ / "new.xlsx").string(), n(51)}); });
  EXPECT_EQ(e.number(), 1004);
  EXPECT_NE(e.description().find("file format 56"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "new.xlsx"));
}

TEST_F(ApplicationTest, AFolderThatCannotBeWrittenFailsNamingTheFileAndLeavesEverythingAsItWas) {
  late::let(cells(1, 1), "Value", "novo");
  auto missing = folder_ / "no such folder" / "x.xls";
  auto e = failure([&] { saveAs(missing); });
  EXPECT_EQ(e.number(), 1004);
  EXPECT_NE(e.description().find(missing.string()), std::string::npos) << e.description();

  auto locked = folder_ / "locked";
  std::filesystem::create_directory(locked);
  TempFolder::write(locked / "old.xls", "the old workbook");
  ::chmod(locked.c_str(), 0555);
  int code = quill::testing::runUnprivileged([&] {
    int failures = 0;
    for (const char* name : {"old.xls", "new.xls"}) {
      try {
        saveAs(locked / name);
        ++failures;
      } catch (const AutomationError& error) {
        failures += error.number() != 1004 || error.description().find((locked / name).string()) == std::string::npos;
      }
    }
    return failures;
  });
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(TempFolder::read(locked / "old.xls"), "the old workbook");
  int files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(locked)) ++files;
  EXPECT_EQ(files, 1);
  EXPECT_EQ(late::get(book_, "Saved"), Variant(false));
}

TEST_F(ApplicationTest, WorkbooksAndSheetsAreReachedByIndexOrName) {
  auto workbooks = late::get(app_, "Workbooks").objectValue();
  auto second = late::call(workbooks, "Add").objectValue();
  EXPECT_EQ(late::get(workbooks, "Count"), n(2));
  EXPECT_EQ(late::get(late::get(app_, "ActiveWorkbook").objectValue(), "Name"), Variant("Livro2"));
  EXPECT_EQ(late::get(late::get(app_, "Workbooks", {n(1)}).objectValue(), "Name"), Variant("Livro1"));
  EXPECT_EQ(late::get(late::get(workbooks, "", {"livro2"}).objectValue(), "Name"), Variant("Livro2"));
  EXPECT_EQ(failure([&] { late::get(app_, "Workbooks", {n(3)}); }).number(), 9);

  auto sheet = late::get(book_, "Worksheets", {n(1)}).objectValue();
  EXPECT_EQ(late::get(sheet, "Name"), Variant("Folha1"));
  late::let(sheet, "Name", "Descontos");
  EXPECT_EQ(late::get(late::get(book_, "Sheets", {"DESCONTOS"}).objectValue(), "Index"), n(1));
  auto added = late::call(late::get(book_, "Worksheets").objectValue(), "Add").objectValue();
  EXPECT_EQ(late::get(late::get(book_, "Worksheets").objectValue(), "Count"), n(2));
  EXPECT_EQ(late::get(late::get(book_, "ActiveSheet").objectValue(), "Name"), late::get(added, "Name"));
  for (const char* bad : {"", "a/b", "[x]", "1234567890123456789012345678901234", "descontos"})
    EXPECT_EQ(failure([&] { late::let(added, "Name", bad); }).number(), 1004) << bad;
  late::call(sheet, "Activate");
  EXPECT_EQ(late::get(late::get(app_, "ActiveSheet").objectValue(), "Name"), Variant("Descontos"));
  EXPECT_EQ(late::get(late::get(app_, "ActiveWorkbook").objectValue(), "Name"), Variant("Livro1"));
}

TEST_F(ApplicationTest, ClosedWorkbooksAndAQuitApplicationRefuseEveryCall) {
  auto a1 = cells(1, 1);
  auto second = late::call(late::get(app_, "Workbooks").objectValue(), "Add").objectValue();
  late::call(book_, "Close", {false});
  EXPECT_EQ(failure([&] { late::let(a1, "Value", 1.0); }).number(), sheeterr::Disconnected);
  EXPECT_EQ(failure([&] { late::get(book_, "Name"); }).number(), sheeterr::Disconnected);
  EXPECT_EQ(late::get(late::get(app_, "ActiveWorkbook").objectValue(), "Name"), Variant("Livro2"));
  auto sheet = late::get(second, "ActiveSheet").objectValue();
  late::call(app_, "Quit");
  for (auto object : {DispatchPtr(app_), second, sheet})
    EXPECT_EQ(failure([&] { late::get(object, "Name"); }).number(), 462) << object->className();
}

TEST(RunningApplication, GetObjectAttachesToTheRunningOneUntilItQuits) {
  auto attach = [] { return getActiveObject(Application::kProgId); };
  EXPECT_EQ(failure([&] { attach(); }).number(), 429);
  {
    auto app = Application::create();
    EXPECT_EQ(attach(), app);
    EXPECT_EQ(getActiveObject("excel.application"), app);
    // A workbook kept after the caller lets the application go keeps it running.
    auto book = late::call(late::get(app, "Workbooks").objectValue(), "Add").objectValue();
    std::weak_ptr<Application> running = app;
    app.reset();
    EXPECT_FALSE(running.expired());
    EXPECT_EQ(attach(), running.lock());
    late::call(attach(), "Quit");
    EXPECT_EQ(failure([&] { attach(); }).number(), 429);
  }
  EXPECT_EQ(failure([&] { attach(); }).number(), 429);
}

// The program id is registered beside the binaries, as an in-process class.
TEST(RunningApplication, CreateObjectMakesOneThroughTheProgramRegistry) {
  auto app = createObject("Excel.Application");
  EXPECT_EQ(app->className(), "Application");
  EXPECT_EQ(late::get(app, "Visible"), Variant(false));
  EXPECT_EQ(getActiveObject("Excel.Application"), app);
  late::call(app, "Quit");
}

}  // namespace
}  // namespace quill::spreadsheet

// Workbooks read back by LibreOffice, a reader that shares nothing with ours
// or with xlrd. Each conversion takes seconds, so each test covers a lot.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/automation/Dispatch.h"
#include "platform/spreadsheet/Application.h"
#include "platform/spreadsheet/SheetConstants.h"
#include "tests/platform/spreadsheet/IndependentReaders.h"
#include "tests/platform/spreadsheet/SheetTest.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::spreadsheet {
namespace {

using quill::testing::TempFolder;
using testing::convertWithLibreOffice;

using testing::n;

class LibreOfficeTest : public testing::SheetTest {
 protected:
  // A cell as an export writes one: its value, format, font and alignment.
  void put(std::int32_t row, std::int32_t column, Variant value, const char* format, bool bold = false,
           bool italic = false, std::int32_t alignment = xlGeneral) {
    auto cell = cells(row, column);
    late::let(cell, "Value", std::move(value));
    late::let(cell, "NumberFormat", format);
    late::let(font(cell), "Bold", bold);
    late::let(font(cell), "Italic", italic);
    late::let(cell, "HorizontalAlignment", n(alignment));
  }
  void headings() {
    const char* captions[] = {"Cliente", "Nome", "Desconto", "Grupo"};
    for (std::int32_t k = 1; k <= 4; ++k) {
      put(1, k, Variant(captions[k - 1]), "General", true);
      late::call(column(k), "AutoFit");
    }
  }
};

std::string decimalPoint(std::string text) {
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

TEST_F(LibreOfficeTest, AnExportNamedXlsxReadsBackWithCodesAccentsNumbersAndThousandsOfTexts) {
  headings();
  put(2, 1, Variant("00123"), "@");
  put(2, 2, Variant("Açúcar e Pão, Lda"), "@", true);
  put(2, 3, Variant(12.5), "#.0000", false, false, xlCenter);
  put(2, 4, Variant("Café"), "@", true, true);
  put(3, 1, Variant("0042"), "@");
  put(3, 2, Variant("Ñandú \"o\" Ü"), "@", true);
  put(3, 3, Variant(-0.25), "#.0000", false, false, xlCenter);
  for (std::int32_t r = 4; r < 3004; ++r) {
    put(r, 1, Variant(std::to_string(100000 + r)), "@");
    put(r, 2, Variant("Cliente número " + std::to_string(r)), "@", true);
  }
  late::call(late::get(sheet_, "Range", {"A1"}).objectValue(), "Select");
  auto file = folder_ / "Descontos Cliente-Grupo.xlsx";
  late::call(book_, "SaveAs", {file.string(), n(xlExcel8)});

  auto lines = convertWithLibreOffice(file);
  ASSERT_EQ(lines.size(), 3003u);
  EXPECT_EQ(lines[0], (std::vector<std::string>{"Cliente", "Nome", "Desconto", "Grupo"}));
  EXPECT_EQ(lines[1][0], "00123");
  EXPECT_EQ(lines[1][1], "Açúcar e Pão, Lda");
  EXPECT_EQ(decimalPoint(lines[1][2]), "12.5000");
  EXPECT_EQ(lines[1][3], "Café");
  EXPECT_EQ(lines[2][0], "0042");
  EXPECT_EQ(lines[2][1], "Ñandú \"o\" Ü");
  EXPECT_EQ(decimalPoint(lines[2][2]), "-.2500");
  for (std::size_t r = 3; r < lines.size(); ++r) {
    ASSERT_GE(lines[r].size(), 2u);
    EXPECT_EQ(lines[r][0], std::to_string(100000 + r + 1));
    EXPECT_EQ(lines[r][1], "Cliente número " + std::to_string(r + 1));
  }
}

TEST_F(LibreOfficeTest, AnExportWithOnlyItsHeadingsIsAValidWorkbook) {
  headings();
  auto file = folder_ / "vazio.xls";
  late::call(book_, "SaveAs", {file.string(), n(xlExcel8)});
  auto lines = convertWithLibreOffice(file);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], (std::vector<std::string>{"Cliente", "Nome", "Desconto", "Grupo"}));
}

}  // namespace
}  // namespace quill::spreadsheet

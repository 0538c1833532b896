#include <gtest/gtest.h>

#include <chrono>

#include "platform/automation/AutomationError.h"
#include "platform/spreadsheet/BiffRecords.h"
#include "platform/spreadsheet/BiffText.h"
#include "platform/spreadsheet/CellBlock.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "platform/spreadsheet/TextWidth.h"
#include "platform/spreadsheet/WorkbookData.h"
#include "platform/spreadsheet/XlsWriter.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/spreadsheet/IndependentReaders.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::spreadsheet {
namespace {

using quill::testing::TempFolder;
using testing::readWithXlrd;

struct Record {
  std::uint16_t type;
  std::size_t offset;  // of its header in the stream
  std::string_view data;
};

std::vector<Record> records(std::string_view stream) {
  std::vector<Record> out;
  for (std::size_t at = 0; at + 4 <= stream.size();) {
    std::uint16_t type = le::getU16(stream.data() + at);
    std::uint16_t length = le::getU16(stream.data() + at + 2);
    if (type == 0 && length == 0) break;  // padding
    out.push_back({type, at, stream.substr(at + 4, length)});
    at += 4 + length;
  }
  return out;
}

class XlsWriterTest : public ::testing::Test {
 protected:
  XlsWriterTest() { book_.addSheet("Folha1", 0); }
  SheetData& sheet() { return *book_.sheets()[0]; }
  CellBlock cell(int row, int column) { return CellBlock(book_, sheet(), CellRect::cell(row, column)); }
  testing::ReadBook saveAndRead(const char* name = "book.xls") {
    saveWorkbook97(book_, folder_ / name);
    auto read = readWithXlrd(folder_ / name);
    EXPECT_EQ(read.warnings, "");
    return read;
  }

  TempFolder folder_;
  WorkbookData book_;
};

TEST_F(XlsWriterTest, CellsReadBackWithTheirKindFormatFontAndAlignment) {
  struct Row {
    Variant value;
    const char* format;
    bool bold, italic;
    HorizontalAlignment alignment;
    const char* type;
  } rows[] = {
      {Variant("00123"), "@", false, false, HorizontalAlignment::General, "text"},
      {Variant(12.5), "#.0000", false, false, HorizontalAlignment::Center, "number"},
      {Variant("Açúcar"), "@", true, false, HorizontalAlignment::General, "text"},
      {Variant("Pão"), "@", true, true, HorizontalAlignment::Left, "text"},
      {Variant("日本 𝄞"), "General", false, true, HorizontalAlignment::Right, "text"},
      {Variant(std::int32_t{-42}), "General", false, false, HorizontalAlignment::General, "number"},
      {Variant(true), "General", false, false, HorizontalAlignment::General, "boolean"},
      {Variant(vb::makeDate(2024, 3, 7)), "dd-mm-yyyy", false, false, HorizontalAlignment::General, "date"},
      {Variant(), "#.0000", true, false, HorizontalAlignment::Center, "blank"},
      {Variant(0.1), "0.00%", false, false, HorizontalAlignment::Distributed, "number"},
  };
  for (int r = 0; r < static_cast<int>(std::size(rows)); ++r) {
    const Row& row = rows[r];
    CellBlock block = cell(r, 1);
    block.setNumberFormat(row.format);
    block.setValue(row.value);
    block.setBold(row.bold);
    block.setItalic(row.italic);
    block.setAlignment(row.alignment);
  }
  auto read = saveAndRead();
  EXPECT_EQ(read.biffVersion, 80);
  EXPECT_EQ(read.codepage, 1200);
  ASSERT_EQ(read.sheets.size(), 1u);
  const auto& sheetRead = read.sheets[0];
  EXPECT_EQ(sheetRead.name, "Folha1");
  for (int r = 0; r < static_cast<int>(std::size(rows)); ++r) {
    const Row& row = rows[r];
    SCOPED_TRACE(row.value.debugString());
    const auto* c = sheetRead.at(r, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, row.type);
    EXPECT_EQ(c->format, row.format);
    EXPECT_EQ(c->bold, row.bold);
    EXPECT_EQ(c->italic, row.italic);
    EXPECT_EQ(c->alignment, static_cast<int>(row.alignment));
    if (row.value.isString()) {
      EXPECT_EQ(c->text, row.value.stringValue());
    }
  }
  EXPECT_EQ(sheetRead.at(1, 1)->number, 12.5);
  EXPECT_EQ(sheetRead.at(5, 1)->number, -42);
  EXPECT_EQ(sheetRead.at(6, 1)->number, 1);
  EXPECT_EQ(sheetRead.at(7, 1)->number, vb::makeDate(2024, 3, 7).serial);
}

TEST_F(XlsWriterTest, ColumnWidthsAndColumnFormatsReadBack) {
  CellBlock(book_, sheet(), CellRect::columns(0, 0)).setColumnWidth(20);
  CellBlock(book_, sheet(), CellRect::columns(2, 4)).setColumnWidth(3.5);
  CellBlock(book_, sheet(), CellRect::columns(6, 6)).setAlignment(HorizontalAlignment::Right);
  cell(0, 6).setValue(Variant("x"));
  auto read = saveAndRead();
  const auto& widths = read.sheets[0].widths;
  EXPECT_EQ(widths.at(0), columnWidthUnits(20));
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(widths.at(c), columnWidthUnits(3.5));
  EXPECT_EQ(widths.count(1), 0u);
  EXPECT_EQ(widths.at(6), columnWidthUnits(kStandardColumnWidth));
  EXPECT_EQ(read.sheets[0].at(0, 6)->alignment, 3);  // the column's look reached its cell
  EXPECT_NEAR(columnWidthCharacters(columnWidthUnits(20)), 20, 0.01);
}

// Thousands of distinct texts: the table of strings runs over many records,
// strings split between them (a long one across several), ASCII and wide.
TEST_F(XlsWriterTest, TheStringTablePastOneRecordReadsBackAndItsIndexPointsAtItsStrings) {
  std::vector<std::string> texts;
  for (int i = 0; i < 6000; ++i) texts.push_back((i % 3 ? "Cliente " : "Pão de Açúcar ") + std::to_string(i));
  texts[1234] = std::string(12000, 'x');
  texts[4321] = "ç";
  for (int i = 0; i < 9000; ++i) texts[4321] += "é";
  for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
    cell(i, 0).setValue(Variant(texts[static_cast<std::size_t>(i)]));
    cell(i, 1).setValue(Variant(texts[static_cast<std::size_t>(i)]));  // every text twice
  }
  std::string stream = buildWorkbookStream(book_);
  auto all = records(stream);
  int continues = 0;
  const Record* sst = nullptr;
  const Record* extsst = nullptr;
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_LE(all[i].data.size(), biff::kMaxRecordData);
    if (all[i].type == biff::kSst) sst = &all[i];
    if (all[i].type == biff::kContinue) ++continues;
    if (all[i].type == biff::kExtSst) extsst = &all[i];
  }
  ASSERT_TRUE(sst && extsst);
  EXPECT_GT(continues, 10);
  EXPECT_EQ(le::getU32(sst->data.data()), 12000u);     // references
  EXPECT_EQ(le::getU32(sst->data.data() + 4), 6000u);  // distinct texts
  // Each bucket of the index points at the start of its first string: the
  // string's length, in a record that starts `offset` bytes before it.
  std::uint16_t perBucket = le::getU16(extsst->data.data());
  std::size_t buckets = (extsst->data.size() - 2) / 8;
  EXPECT_EQ(buckets, (6000 + perBucket - 1) / perBucket);
  EXPECT_LE(buckets, 128u);
  for (std::size_t b = 0; b < buckets; ++b) {
    std::uint32_t position = le::getU32(extsst->data.data() + 2 + 8 * b);
    std::uint16_t offset = le::getU16(extsst->data.data() + 6 + 8 * b);
    const auto& text = texts[b * perBucket];
    EXPECT_EQ(le::getU16(stream.data() + position), utf16Length(text)) << "bucket " << b;
    std::uint16_t recordType = le::getU16(stream.data() + position - offset);
    EXPECT_TRUE(recordType == biff::kSst || recordType == biff::kContinue) << "bucket " << b;
  }

  auto read = saveAndRead();
  const auto& cells = read.sheets[0].cells;
  ASSERT_EQ(cells.size(), 12000u);
  for (const auto& c : cells)
    EXPECT_TRUE(c.text == texts[static_cast<std::size_t>(c.row)]) << "cell " << c.row << "," << c.column;
}

TEST_F(XlsWriterTest, HeadingsOnlyAndEmptySheetsAreValidWorkbooks) {
  auto empty = saveAndRead("empty.xls");
  EXPECT_EQ(empty.sheets[0].rows, 0);
  const char* headings[] = {"Cliente", "Nome", "Desconto"};
  for (int c = 0; c < 3; ++c) {
    cell(0, c).setValue(Variant(headings[c]));
    cell(0, c).setBold(true);
  }
  book_.addSheet("Outra", 1);
  CellBlock(book_, *book_.sheets()[1], CellRect::cell(4, 2)).setValue(Variant(7.0));
  book_.setActiveSheet(1);
  auto read = saveAndRead("headings.xls");
  ASSERT_EQ(read.sheets.size(), 2u);
  EXPECT_EQ(read.sheets[0].rows, 1);
  EXPECT_EQ(read.sheets[0].columns, 3);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(read.sheets[0].at(0, c)->text, headings[c]);
    EXPECT_TRUE(read.sheets[0].at(0, c)->bold);
  }
  EXPECT_EQ(read.sheets[1].name, "Outra");
  EXPECT_EQ(read.sheets[1].at(4, 2)->number, 7.0);
}

TEST_F(XlsWriterTest, TheLastRowAndColumnOfTheSheetAreWritten) {
  cell(kMaxRows - 1, kMaxColumns - 1).setValue(Variant("canto"));
  cell(0, 0).setValue(Variant(1.0));
  auto read = saveAndRead();
  EXPECT_EQ(read.sheets[0].rows, kMaxRows);
  EXPECT_EQ(read.sheets[0].columns, kMaxColumns);
  EXPECT_EQ(read.sheets[0].at(kMaxRows - 1, kMaxColumns - 1)->text, "canto");
}

// 65,536 rows of numbers make a stream of over 7 MB: its compound file needs
// more table sectors than the header lists.
TEST_F(XlsWriterTest, AFullHeightSheetReadsBack) {
  for (int r = 0; r < kMaxRows; ++r)
    for (int c = 0; c < 8; ++c) cell(r, c).setValue(Variant(r * 10.0 + c));
  saveWorkbook97(book_, folder_ / "big.xls");
  EXPECT_GT(std::filesystem::file_size(folder_ / "big.xls"), 7'200'000u);
  auto read = readWithXlrd(folder_ / "big.xls", false);
  EXPECT_EQ(read.warnings, "");
  EXPECT_EQ(read.sheets[0].rows, kMaxRows);
  EXPECT_EQ(read.sheets[0].columns, 8);
}

TEST_F(XlsWriterTest, MoreCellFormatsThanTheFormatHoldsAreRefusedAndNothingIsWritten) {
  TempFolder::write(folder_ / "kept.xls", "old contents");
  for (int i = 0; i <= static_cast<int>(kMaxCellFormats); ++i) {
    cell(i, 0).setValue(Variant(1.0));
    cell(i, 0).setNumberFormat("0." + std::string(static_cast<std::size_t>(i % 200 + 1), '0') + std::to_string(i));
  }
  for (const char* name : {"kept.xls", "new.xls"}) {
    try {
      saveWorkbook97(book_, folder_ / name);
      ADD_FAILURE() << "saved " << name;
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), 1004);
      EXPECT_NE(e.description().find("4000 different cell formats"), std::string::npos) << e.description();
    }
  }
  EXPECT_EQ(TempFolder::read(folder_ / "kept.xls"), "old contents");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "new.xls"));
}

}  // namespace
}  // namespace quill::spreadsheet

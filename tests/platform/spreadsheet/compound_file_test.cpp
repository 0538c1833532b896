#include <gtest/gtest.h>

#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "tests/platform/spreadsheet/IndependentReaders.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::spreadsheet {
namespace {

using quill::testing::TempFolder;

std::string patterned(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245 + 12345;
    b = static_cast<char>(x >> 24);
  }
  return bytes;
}

// Sizes around the mini stream cutoff, around a table sector filling up,
// past the 109 table sectors the header lists (one DIFAT sector) and past
// 109 + 127 of them (two, chained).
TEST(CompoundFile, EveryStreamSizeReadsBackWholeWithAnotherReader) {
  struct Case {
    std::size_t size;
    std::uint32_t difatSectors;
  } cases[] = {
      {0, 0},         {100, 0},       {4096, 0},      {4097, 0},       {126 * 512, 0},
      {127 * 512, 0}, {130 * 512, 0}, {7'500'000, 1}, {16'000'000, 2},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::string stream = patterned(c.size);
    std::string file = buildCompoundFile("Workbook", stream);
    ASSERT_EQ(file.size() % 512, 0u);
    EXPECT_EQ(le::getU32(file.data() + 0x48), c.difatSectors);
    auto path = folder / "file.xls";
    TempFolder::write(path, file);
    std::string warnings;
    std::string back = testing::streamWithXlrd(path, "Workbook", warnings);
    EXPECT_EQ(warnings, "");
    // Short streams are padded to the cutoff, with zeros after the data.
    ASSERT_EQ(back.size(), std::max(c.size, kMiniStreamCutoff));
    EXPECT_TRUE(back.compare(0, c.size, stream) == 0);
    EXPECT_EQ(back.find_first_not_of('\0', c.size), std::string::npos);
  }
}

TEST(CompoundFile, TheTableDescribesEverySectorOnce) {
  std::string file = buildCompoundFile("Workbook", patterned(8'000'000));
  const std::uint32_t fatSectors = le::getU32(file.data() + 0x2C);
  const std::uint32_t sectors = static_cast<std::uint32_t>(file.size() / 512 - 1);
  auto sector = [&](std::uint32_t n) { return file.data() + 512 + std::size_t{n} * 512; };
  // Table sector numbers: 109 in the header, the rest in the DIFAT chain.
  std::vector<std::uint32_t> tables;
  for (int i = 0; i < 109 && tables.size() < fatSectors; ++i) tables.push_back(le::getU32(file.data() + 0x4C + 4 * i));
  for (std::uint32_t d = le::getU32(file.data() + 0x44); d != 0xFFFFFFFE;) {
    ASSERT_LT(d, sectors);
    for (int i = 0; i < 127 && tables.size() < fatSectors; ++i) tables.push_back(le::getU32(sector(d) + 4 * i));
    d = le::getU32(sector(d) + 4 * 127);
  }
  ASSERT_EQ(tables.size(), fatSectors);
  std::vector<std::uint32_t> fat;
  for (auto t : tables)
    for (int i = 0; i < 128; ++i) fat.push_back(le::getU32(sector(t) + 4 * i));
  ASSERT_GE(fat.size(), sectors);
  for (auto t : tables) EXPECT_EQ(fat[t], 0xFFFFFFFDu);
  for (std::uint32_t s = sectors; s < fat.size(); ++s) EXPECT_EQ(fat[s], 0xFFFFFFFFu);
  // The stream's chain runs from sector 0 without a gap to its end.
  std::uint32_t length = 0;
  for (std::uint32_t s = 0; s != 0xFFFFFFFE; s = fat[s], ++length) ASSERT_LT(s, sectors);
  EXPECT_EQ(length, (8'000'000u + 511) / 512);
}

}  // namespace
}  // namespace quill::spreadsheet

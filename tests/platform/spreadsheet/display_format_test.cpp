#include <gtest/gtest.h>

#include "platform/spreadsheet/CellAddress.h"
#include "platform/spreadsheet/DisplayFormat.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/vb/RegionalScope.h"

namespace quill::spreadsheet {
namespace {

using vb::testing::RegionalScope;

struct NumberCase {
  const char* code;
  double value;
  const char* shown;
};

// Portuguese separators: "," decimal, "." thousands.
TEST(DisplayFormat, NumbersShowAsTheirFormatSaysWithTheRegionalSeparators) {
  RegionalScope pt(RegionalScope::portuguese());
  const NumberCase cases[] = {
      {"#.0000", 12.5, "12,5000"},
      {"#.0000", 0.5, ",5000"},
      {"#.0000", -3, "-3,0000"},
      {"#.0000", 0, ",0000"},
      {"#.0000", 1.23456, "1,2346"},
      {"General", 1.0 / 3, "0,333333333"},
      {"General", 123456789, "123456789"},
      {"General", 12345678901.0, "12345678901"},
      {"General", 1e12, "1E+12"},
      {"General", -2.5, "-2,5"},
      {"General", 0, "0"},
      {"", 7, "7"},
      {"0", 2.5, "3"},
      {"0.00", 2.675, "2,68"},  // halves away from zero on the 15-digit form
      {"0.00", -0.001, "0,00"},
      {"#,##0.00", 1234567.891, "1.234.567,89"},
      {"#,##0", 999.5, "1.000"},
      {"#,##0", 12, "12"},
      {"0%", 0.256, "26%"},
      {"0.00%", 0.5, "50,00%"},
      {"0.00E+00", 12345, "1,23E+04"},
      {"0.00E+00", 0.00012345, "1,23E-04"},
      {"0.0E-0", 99.96, "1,0E2"},
      {"##0.0E+0", 12345, "12,3E+3"},
      {"00000", 123, "00123"},
      {"0.0#", 1.5, "1,5"},
      {"0.0#", 1.25, "1,25"},
      {"0.##", 5, "5,"},
      {"#", 0.4, ""},
      {".00", 12.5, "12,50"},
      {"0,", 1234567, "1235"},
      {"0.0,,", 1234567, "1,2"},
      {"0;(0);\"zero\"", -5, "(5)"},
      {"0;(0);\"zero\"", 0, "zero"},
      {"0;(0);\"zero\"", 5, "5"},
      {"0.00;-0.00", -0.001, "-0,00"},
      {"\"€ \"#,##0.00", 1500, "€ 1.500,00"},
      {"#,##0.00_);[Red](#,##0.00)", -12, "(12,00)"},
      {"0\\k\\g", 3, "3kg"},
      {"000-000", 12345, "012-345"},
      {"@", 12.5, "12,5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayFormat::compile(c.code).number(c.value), c.shown) << c.code << " with " << c.value;
  }
}

TEST(DisplayFormat, EnglishSeparatorsFollowTheSettings) {
  RegionalScope en(RegionalScope::english());
  EXPECT_EQ(DisplayFormat::compile("#,##0.0000").number(1234.5), "1,234.5000");
  EXPECT_EQ(DisplayFormat::compile("General").number(0.25), "0.25");
}

TEST(DisplayFormat, TextAndDates) {
  RegionalScope pt(RegionalScope::portuguese());
  struct TextCase {
    const char* code;
    const char* text;
    const char* shown;
  } texts[] = {
      {"@", "00123", "00123"},       {"General", "Pão", "Pão"},          {"#.0000", "Açúcar", "Açúcar"},
      {"\"Cód. \"@", "7", "Cód. 7"}, {"0;-0;0;\"[\"@\"]\"", "x", "[x]"},
  };
  for (const auto& c : texts) {
    std::string out;
    DisplayFormat::compile(c.code).appendText(c.text, out);
    EXPECT_EQ(out, c.shown) << c.code;
  }
  double serial = vb::makeDate(2024, 3, 7, 14, 5, 9).serial;
  struct DateCase {
    const char* code;
    const char* shown;
  } dates[] = {
      {"dd-mm-yyyy", "07-03-2024"}, {"d/m/yy", "7-3-24"},  // "/" is the regional date separator
      {"hh:mm:ss", "14:05:09"},     {"General", "07-03-2024"}, {"[$-816]dd-mm-yyyy", "07-03-2024"},
  };
  for (const auto& c : dates) {
    std::string out;
    DisplayFormat::compile(c.code).appendDate(serial, out);
    EXPECT_EQ(out, c.shown) << c.code;
  }
  EXPECT_TRUE(DisplayFormat::compile("dd-mm-yyyy").showsDates());
  EXPECT_FALSE(DisplayFormat::compile("#.0000").showsDates());
}

TEST(CellAddress, ReferencesAsRangeTakesThem) {
  struct Case {
    const char* text;
    std::optional<CellRect> rect;
  } cases[] = {
      {"A1", CellRect::cell(0, 0)},
      {"$b$2", CellRect::cell(1, 1)},
      {"IV65536", CellRect::cell(65535, 255)},
      {"C3:A1", CellRect{0, 0, 2, 2}},
      {"A:C", CellRect::columns(0, 2)},
      {"$B:$B", CellRect::columns(1, 1)},
      {"2:5", CellRect{1, 0, 4, 255}},
      {"IW1", std::nullopt},  // past the last column
      {"A65537", std::nullopt},
      {"A0", std::nullopt},
      {"A", std::nullopt},
      {"1", std::nullopt},
      {"A1:C", std::nullopt},
      {"A$", std::nullopt},
      {"", std::nullopt},
      {"A1 ", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parseReference(c.text), c.rect) << c.text;
  }
  EXPECT_EQ(columnLetters(0), "A");
  EXPECT_EQ(columnLetters(25), "Z");
  EXPECT_EQ(columnLetters(26), "AA");
  EXPECT_EQ(columnLetters(255), "IV");
  EXPECT_EQ(columnFromLetters("iv"), 255);
  EXPECT_EQ(columnFromLetters("IW"), std::nullopt);
  EXPECT_EQ(referenceText({0, 0, 2, 1}), "A1:B3");
}

}  // namespace
}  // namespace quill::spreadsheet

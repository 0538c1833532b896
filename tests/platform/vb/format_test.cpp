#include "platform/vb/Format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/vb/OleDate.h"
#include "tests/platform/vb/RegionalScope.h"

namespace quill::vb {
namespace {

using testing::RegionalScope;

struct Row {
  double value;
  const char* pattern;
  const char* expected;
};

class FormatPt : public ::testing::Test {
  RegionalScope scope_{RegionalScope::portuguese()};
};

TEST_F(FormatPt, DisplayFormatsOfTheSystem) {
  const Row rows[] = {
      // A pattern that ends in "0" after the point shows every decimal place.
      {0, "#,###.###0", ",0000"},
      {0.5, "#,###.###0", ",5000"},
      {12.3456789, "#,###.###0", "12,3457"},
      {1234.5, "#,###.###0", "1.234,5000"},
      {-7, "#,###.###0", "-7,0000"},
      {1e6, "#,###.###0", "1.000.000,0000"},
      {0, "#,##0.###0", "0,0000"},
      {0.5, "#,##0.###0", "0,5000"},
      {12.3456789, "#,##0.###0", "12,3457"},
      {1234.5, "#,##0.###0", "1.234,5000"},
      {-7, "#,##0.###0", "-7,0000"},
      {1e6, "#,##0.###0", "1.000.000,0000"},
      {0, "#.0000", ",0000"},
      {0.5, "#.0000", ",5000"},
      {12.3456789, "#.0000", "12,3457"},
      {1234.5, "#.0000", "1234,5000"},
      {-7, "#.0000", "-7,0000"},
      {1e6, "#.0000", "1000000,0000"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Format(Variant(row.value), row.pattern), row.expected) << row.value << " " << row.pattern;
}

TEST_F(FormatPt, DigitPlaceholdersAndRounding) {
  const Row rows[] = {
      {2.5, "0", "3"},  // Format rounds halves away from zero, unlike CInt
      {-2.5, "0", "-3"},
      {2.675, "0.00", "2,68"},  // on the 15-digit decimal form
      {0.125, "0.00", "0,13"},
      {1.005, "0.00", "1,01"},
      {9.995, "0.00", "10,00"},
      {5, "#.##", "5,"},
      {0.5, "#.##", ",5"},
      {1.25, "#.0#", "1,25"},
      {1, "#.0#", "1,0"},
      {5, "0#", "05"},
      {123456, "0", "123456"},
      {123, "00000", "00123"},
      {-0.001, "0.00", "-0,00"},
      {1234567.891, "#,##0.00", "1.234.567,89"},
      {999.9999, "#,##0.00", "1.000,00"},
      {0.25, "0%", "25%"},
      {1234567, "#,##0,", "1.235"},
      {12.5, ".00", "12,50"},
      {7, "\"R$ \"0.00", "R$ 7,00"},
      {-7, "0.00;(0.00)", "(7,00)"},
      {0, "0.00;(0.00);\"zero\"", "zero"},
      {-3, "0;;", "-3"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Format(Variant(row.value), row.pattern), row.expected) << row.value << " " << row.pattern;
}

TEST_F(FormatPt, DatePatterns) {
  Date d = makeDate(2024, 3, 5, 14, 7, 9);
  EXPECT_EQ(Format(Variant(d), "dd-mm-yyyy"), "05-03-2024");
  EXPECT_EQ(Format(Variant(d), "dd-mm-yyyy hh:mm:ss"), "05-03-2024 14:07:09");
  EXPECT_EQ(Format(Variant(d), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(Format(Variant(d), "d/m/yy"), "5-3-24");  // "/" is the regional date separator
  EXPECT_EQ(Format(Variant(d), "hh:mm"), "14:07");
  EXPECT_EQ(Format(Variant(d), "Short Date"), "05-03-2024");
  EXPECT_EQ(Format(Variant("05-03-2024"), "yyyy-mm-dd"), "2024-03-05");
  EXPECT_EQ(Format(Variant(45000.0), "dd-mm-yyyy"), "15-03-2023");
  EXPECT_EQ(Format(Variant("not a date"), "dd-mm-yyyy"), "not a date");
}

TEST_F(FormatPt, ValuesOtherThanNumbers) {
  EXPECT_EQ(Format(Variant("1.234,5"), "#,##0.00"), "1.234,50");
  EXPECT_EQ(Format(Variant("abc"), "0.00"), "abc");
  EXPECT_EQ(Format(Variant(), "0.00"), "");
  EXPECT_EQ(Format(Variant::null(), "0.00"), "");
  EXPECT_EQ(Format(Variant(true), "0"), "-1");
  EXPECT_EQ(Format(Variant(1234.5), "Standard"), "1.234,50");
  EXPECT_EQ(Format(Variant(0.1 + 0.2)), "0,3");
}

// Money is stored as Format shows it: the decimal the user reads, halves away
// from zero, whatever the binary value is a hair off.
TEST(RoundAsShown, HalvesGoAwayFromZeroOnTheDecimalTheUserSees) {
  struct Case {
    double value;
    int decimals;
    double expected;
  };
  const Case cases[] = {
      {0.285, 2, 0.29},    // 0.28499999999999998 in binary
      {-0.285, 2, -0.29},  // a credit
      {1.005, 2, 1.01},
      {2.675, 2, 2.68},
      {0.125, 2, 0.13},
      {0.135, 2, 0.14},
      {1.2345, 3, 1.235},
      {0.00005, 4, 0.0001},
      {2.5, 0, 3},
      {-2.5, 0, -3},
      {0.284, 2, 0.28},
      {0.2849999, 2, 0.28},
      {1234567.125, 2, 1234567.13},
      {3 * 0.095, 2, 0.29},  // a product that comes out a hair over the half
      {-0.004, 2, 0},
      {0, 2, 0},
      {12.3456, 4, 12.3456},
  };
  for (const auto& c : cases) {
    const double rounded = roundAsShown(c.value, c.decimals);
    EXPECT_EQ(rounded, c.expected) << c.value << " to " << c.decimals;
    EXPECT_FALSE(rounded == 0 && std::signbit(rounded)) << "no negative zero from " << c.value;
  }
  // The rounded value reads back as Format writes it.
  RegionalScope scope(RegionalScope::portuguese());
  for (double v : {0.285, -0.285, 1.005, 7.125, 1e9 + 0.005})
    EXPECT_EQ(Format(roundAsShown(v, 2), "0.00"), Format(v, "0.00")) << v;
  EXPECT_TRUE(std::isnan(roundAsShown(std::nan(""), 2)));
}

TEST(FormatEn, UsesTheOverriddenSeparators) {
  RegionalScope en(RegionalScope::english());
  EXPECT_EQ(Format(Variant(1234.5), "#,###.###0"), "1,234.5000");
  EXPECT_EQ(Format(Variant(makeDate(2024, 3, 5)), "dd/mm/yyyy"), "05/03/2024");
}

}  // namespace
}  // namespace quill::vb

#include "platform/vb/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/automation/AutomationError.h"
#include "platform/vb/OleDate.h"
#include "tests/platform/vb/RegionalScope.h"

namespace quill::vb {
namespace {

using testing::RegionalScope;

int errorNumber(auto&& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

class ConversionsPt : public ::testing::Test {
  RegionalScope scope_{RegionalScope::portuguese()};
};

class ConversionsEn : public ::testing::Test {
  RegionalScope scope_{RegionalScope::english()};
};

TEST_F(ConversionsPt, CDblReadsTextWithPortugueseSeparators) {
  struct Row {
    const char* text;
    double expected;
  } rows[] = {
      {"12,5", 12.5},    {"  -3,25  ", -3.25}, {"+7", 7.0},     {"1.234,5", 1234.5}, {"1.234.567,89", 1234567.89},
      {",5", 0.5},       {"5,", 5.0},          {"12.5", 125.0},  // "." groups thousands here
      {"1,5E3", 1500.0}, {"2e-2", 0.02},       {"0", 0.0},
  };
  for (const auto& row : rows) EXPECT_DOUBLE_EQ(CDbl(Variant(row.text)), row.expected) << row.text;
}

TEST_F(ConversionsEn, CDblReadsTextWithOverriddenSeparators) {
  EXPECT_DOUBLE_EQ(CDbl(Variant("12.5")), 12.5);
  EXPECT_DOUBLE_EQ(CDbl(Variant("1,234.5")), 1234.5);
  EXPECT_EQ(errorNumber([] { CDbl(Variant("1.2.3")); }), vberr::TypeMismatch);
  EXPECT_DOUBLE_EQ(CDbl(Variant("12,5.3")), 125.3);  // grouping is not checked, as in VB
  EXPECT_EQ(CStr(Variant(0.1 + 0.2)), "0.3");
  EXPECT_EQ(CStr(Variant(-1234.5)), "-1234.5");
}

TEST_F(ConversionsPt, JunkTextIsATypeMismatchNeverAZero) {
  for (const char* junk :
       {"", "   ", "abc", "12abc", "1,2,3", "--1", "+", ",", "1E", "1 2", ".5", "5.", "0x10", "\x01\xff", "12,5 %"}) {
    EXPECT_EQ(errorNumber([&] { CDbl(Variant(junk)); }), vberr::TypeMismatch) << junk;
    EXPECT_EQ(errorNumber([&] { CLng(Variant(junk)); }), vberr::TypeMismatch) << junk;
    EXPECT_FALSE(IsNumeric(Variant(junk))) << junk;
  }
}

TEST_F(ConversionsPt, NullIsAnInvalidUseOfNull) {
  for (auto call : {+[] { CStr(Variant::null()); }, +[] { CDbl(Variant::null()); }, +[] { CInt(Variant::null()); },
                    +[] { CLng(Variant::null()); }, +[] { CBool(Variant::null()); }, +[] { CDate(Variant::null()); }}) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), 94);
      EXPECT_EQ(e.description(), "Invalid use of Null");
    }
  }
}

TEST_F(ConversionsPt, EmptyAndBooleansReadAsVbDoes) {
  EXPECT_EQ(CStr(Variant()), "");
  EXPECT_EQ(CDbl(Variant()), 0.0);
  EXPECT_EQ(CLng(Variant()), 0);
  EXPECT_FALSE(CBool(Variant()));
  EXPECT_EQ(CDate(Variant()), kZeroDate);
  EXPECT_EQ(CStr(Variant(true)), "True");
  EXPECT_EQ(CStr(Variant(false)), "False");
  EXPECT_EQ(CInt(Variant(true)), -1);
  EXPECT_EQ(CDbl(Variant(false)), 0.0);
  EXPECT_TRUE(CBool(Variant("true")));
  EXPECT_FALSE(CBool(Variant(" FALSE ")));
  EXPECT_TRUE(CBool(Variant("0,5")));
  EXPECT_FALSE(CBool(Variant("0")));
  EXPECT_EQ(errorNumber([] { CBool(Variant("sim")); }), vberr::TypeMismatch);
}

TEST_F(ConversionsPt, WholeNumberConversionsRoundHalvesToEven) {
  struct Row {
    double value;
    std::int32_t expected;
  } rows[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},    {-0.5, 0},
              {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-7, -7}};
  for (const auto& row : rows) {
    EXPECT_EQ(CLng(Variant(row.value)), row.expected) << row.value;
    EXPECT_EQ(CInt(Variant(row.value)), row.expected) << row.value;
  }
  EXPECT_EQ(CLng(Variant("2,5")), 2);
  EXPECT_EQ(CLng(Variant("3,5")), 4);
}

TEST_F(ConversionsPt, OutOfRangeIsAnOverflow) {
  EXPECT_EQ(CInt(Variant(32767.0)), 32767);
  EXPECT_EQ(CInt(Variant(-32768.4)), -32768);
  EXPECT_EQ(CInt(Variant(-32768.5)), -32768);  // the even neighbour is in range
  EXPECT_EQ(errorNumber([] { CInt(Variant(32767.5)); }), vberr::Overflow);
  EXPECT_EQ(errorNumber([] { CInt(Variant(std::int32_t{40000})); }), vberr::Overflow);
  EXPECT_EQ(CLng(Variant(2147483647.0)), 2147483647);
  EXPECT_EQ(CLng(Variant(-2147483648.0)), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(errorNumber([] { CLng(Variant(2147483647.5)); }), vberr::Overflow);
  EXPECT_EQ(errorNumber([] { CLng(Variant("99999999999")); }), vberr::Overflow);
  EXPECT_EQ(errorNumber([] { CDbl(Variant("1E400")); }), vberr::Overflow);
  EXPECT_EQ(errorNumber([] { CLng(Variant(std::nan(""))); }), vberr::Overflow);
  EXPECT_EQ(CDbl(Variant("1E-400")), 0.0);
}

TEST_F(ConversionsPt, CStrOfADoubleIsTheShortestFormWithFifteenDigits) {
  struct Row {
    double value;
    const char* expected;
  } rows[] = {
      {0.1 + 0.2, "0,3"},
      {1e20, "1E+20"},
      {0.0, "0"},
      {-0.0, "0"},
      {12.5, "12,5"},
      {-7.0, "-7"},
      {1.0 / 3, "0,333333333333333"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"},
      {0.0001, "0,0001"},
      {0.00001, "1E-05"},
      {1234567.891, "1234567,891"},
      {2.5e-10, "2,5E-10"},
  };
  for (const auto& row : rows) EXPECT_EQ(CStr(Variant(row.value)), row.expected) << row.value;
  EXPECT_EQ(CStr(Variant(std::int16_t{-12})), "-12");
  EXPECT_EQ(CStr(Variant(std::int32_t{1234567})), "1234567");
}

TEST_F(ConversionsPt, CStrOfADateFollowsVbsRules) {
  EXPECT_EQ(CStr(Variant(makeDate(2024, 3, 5))), "05-03-2024");
  EXPECT_EQ(CStr(Variant(makeDate(2024, 3, 5, 14, 7, 9))), "05-03-2024 14:07:09");
  EXPECT_EQ(CStr(Variant(makeDate(1899, 12, 30, 8, 30, 0))), "08:30:00");
  EXPECT_EQ(CStr(Variant(kZeroDate)), "00:00:00");
  EXPECT_EQ(CStr(Variant(makeDate(1899, 12, 29))), "29-12-1899");
}

TEST_F(ConversionsEn, CStrOfADateUsesTheRegionalShortDate) {
  EXPECT_EQ(CStr(Variant(makeDate(2024, 3, 5, 14, 7, 9))), "03/05/2024 14:07:09");
  EXPECT_EQ(CDate(Variant("03/05/2024")), makeDate(2024, 3, 5));
}

TEST_F(ConversionsPt, CDateReadsTheShortDateFormAndIsoText) {
  struct Row {
    const char* text;
    Date expected;
  } rows[] = {
      {"05-03-2024", makeDate(2024, 3, 5)},
      {"5/3/2024", makeDate(2024, 3, 5)},
      {"05.03.2024", makeDate(2024, 3, 5)},
      {" 05-03-2024 14:07:09 ", makeDate(2024, 3, 5, 14, 7, 9)},
      {"05-03-2024 14:07", makeDate(2024, 3, 5, 14, 7, 0)},
      {"2024-03-05", makeDate(2024, 3, 5)},
      {"2024-03-05 23:59:59", makeDate(2024, 3, 5, 23, 59, 59)},
      {"05-03-24", makeDate(2024, 3, 5)},
      {"05-03-75", makeDate(1975, 3, 5)},
      {"14:30", makeDate(1899, 12, 30, 14, 30, 0)},
      {"29-02-2024", makeDate(2024, 2, 29)},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CDate(Variant(row.text)), row.expected) << row.text;
    EXPECT_TRUE(IsDate(Variant(row.text))) << row.text;
  }
}

TEST_F(ConversionsPt, CDateRefusesImpossibleOrForeignText) {
  for (const char* text : {"31-04-2024", "29-02-2023", "13-13-2024", "05-03", "2024", "abc", "", "05-03-2024 25:00",
                           "05-03-2024x", "45000", "05-03-2024 14:07:09 PM", "5--3-2024"}) {
    EXPECT_EQ(errorNumber([&] { CDate(Variant(text)); }), vberr::TypeMismatch) << text;
    EXPECT_FALSE(IsDate(Variant(text))) << text;
  }
}

TEST_F(ConversionsPt, CDateOfANumberIsItsSerial) {
  EXPECT_EQ(CDate(Variant(45000.5)), Date{45000.5});
  EXPECT_EQ(CDate(Variant(std::int32_t{1})), makeDate(1899, 12, 31));
  EXPECT_EQ(errorNumber([] { CDate(Variant(1e9)); }), vberr::Overflow);
  EXPECT_FALSE(IsDate(Variant(45000.0)));
  EXPECT_TRUE(IsDate(Variant(makeDate(2024, 1, 1))));
}

TEST_F(ConversionsPt, DateAndTextRoundTrip) {
  Date d = makeDate(2031, 12, 31, 23, 59, 58);
  EXPECT_EQ(CDate(Variant(CStr(Variant(d)))), d);
}

TEST_F(ConversionsPt, IsNumericFollowsVb) {
  EXPECT_TRUE(IsNumeric(Variant()));
  EXPECT_TRUE(IsNumeric(Variant(true)));
  EXPECT_TRUE(IsNumeric(Variant(" 1.234,5 ")));
  EXPECT_TRUE(IsNumeric(Variant("1E400")));
  EXPECT_FALSE(IsNumeric(Variant::null()));
  EXPECT_FALSE(IsNumeric(Variant(makeDate(2024, 1, 1))));
  EXPECT_FALSE(IsNumeric(Variant("")));
}

TEST(Val, ReadsTheLeadingNumberWithAPointWhateverTheLocale) {
  RegionalScope pt(RegionalScope::portuguese());
  struct Row {
    const char* text;
    double expected;
  } rows[] = {
      {"  12.5abc", 12.5}, {"abc", 0.0}, {"", 0.0},  {"12,5", 12.0},   {"-3.5", -3.5}, {"1 2 3", 123.0},
      {"1.2.3", 1.2},      {".5", 0.5},  {"-", 0.0}, {"2e3x", 2000.0}, {"2e", 2.0},    {"7.", 7.0},
  };
  for (const auto& row : rows) EXPECT_DOUBLE_EQ(Val(row.text), row.expected) << row.text;
}

TEST(RegionalSettings, NamesAndExplicitFormsAreRead) {
  auto en = RegionalSettings::fromName("en-US");
  ASSERT_TRUE(en);
  EXPECT_EQ(en->decimalSeparator, '.');
  EXPECT_EQ(en->thousandsSeparator, ',');
  EXPECT_EQ(en->dateOrder(), DateOrder::MonthDayYear);
  EXPECT_EQ(en->language, "en-US");
  auto pt = RegionalSettings::fromName("pt_PT.UTF-8");
  ASSERT_TRUE(pt);
  EXPECT_EQ(pt->decimalSeparator, ',');
  EXPECT_EQ(pt->language, "pt-PT");
  auto custom = RegionalSettings::fromName("decimal=.;thousands=,;date=dd/mm/yyyy");
  ASSERT_TRUE(custom);
  EXPECT_EQ(custom->decimalSeparator, '.');
  EXPECT_EQ(custom->dateSeparator(), '/');
  EXPECT_EQ(custom->dateOrder(), DateOrder::DayMonthYear);
  auto iso = RegionalSettings::fromName("date=yyyy-mm-dd");
  ASSERT_TRUE(iso);
  EXPECT_EQ(iso->decimalSeparator, ',');
  EXPECT_EQ(iso->dateOrder(), DateOrder::YearMonthDay);
}

TEST(RegionalSettings, MalformedNamesAreRefused) {
  for (const char* bad : {"xx-YY", "decimal=;", "decimal=..", "decimal=,;thousands=,", "date=dd-mm", "date=dd-mm/yyyy",
                          "colour=blue", "decimal", "date=dd-mm-yyyy-dd", "decimal=x", "\xff\xfe"})
    EXPECT_FALSE(RegionalSettings::fromName(bad)) << bad;
}

TEST(RegionalSettings, ChangingTheSettingsChangesEveryConversion) {
  RegionalScope custom(*RegionalSettings::fromName("decimal=.;thousands=,;date=dd/mm/yyyy"));
  EXPECT_DOUBLE_EQ(CDbl(Variant("1,234.5")), 1234.5);
  EXPECT_EQ(CStr(Variant(2.5)), "2.5");
  EXPECT_EQ(CStr(Variant(makeDate(2024, 3, 5))), "05/03/2024");
  EXPECT_EQ(CDate(Variant("05/03/2024")), makeDate(2024, 3, 5));
}

}  // namespace
}  // namespace quill::vb

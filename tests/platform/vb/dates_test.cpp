#include "platform/vb/Dates.h"

#include <gtest/gtest.h>

#include "platform/automation/AutomationError.h"
#include "platform/vb/OleDate.h"

namespace quill::vb {
namespace {

TEST(OleDate, SerialsBeforeTheZeroDateCountTheTimeForward) {
  // -1.25 is 29-12-1899 06:00, not 28-12-1899 18:00.
  EXPECT_EQ(dateParts(Date{-1.25}), (DateParts{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(makeDate(1899, 12, 29, 6, 0, 0), Date{-1.25});
  EXPECT_EQ(dateParts(Date{-0.5}), (DateParts{1899, 12, 30, 12, 0, 0}));
  EXPECT_EQ(dateParts(makeDate(1800, 2, 3, 23, 59, 59)), (DateParts{1800, 2, 3, 23, 59, 59}));
  EXPECT_EQ(dateParts(Date{45000.99999999}), (DateParts{2023, 3, 16, 0, 0, 0}));
  EXPECT_EQ(makeDate(2024, 1, 31, 25, 0, 0), makeDate(2024, 2, 1, 1, 0, 0));
}

TEST(Dates, PartsAndWeekday) {
  Date d = makeDate(2024, 3, 5, 14, 7, 9);
  EXPECT_EQ(Year(d), 2024);
  EXPECT_EQ(Month(d), 3);
  EXPECT_EQ(Day(d), 5);
  EXPECT_EQ(Hour(d), 14);
  EXPECT_EQ(Minute(d), 7);
  EXPECT_EQ(Second(d), 9);
  EXPECT_EQ(Weekday(d), 3);  // a Tuesday
  EXPECT_EQ(Weekday(kZeroDate), 7);
}

TEST(Dates, DateAddKeepsTheDayOrTakesTheMonthsLast) {
  EXPECT_EQ(DateAdd("m", 1, makeDate(2024, 1, 31)), makeDate(2024, 2, 29));
  EXPECT_EQ(DateAdd("m", 1, makeDate(2023, 1, 31)), makeDate(2023, 2, 28));
  EXPECT_EQ(DateAdd("yyyy", 1, makeDate(2024, 2, 29)), makeDate(2025, 2, 28));
  EXPECT_EQ(DateAdd("m", -3, makeDate(2024, 1, 15)), makeDate(2023, 10, 15));
  EXPECT_EQ(DateAdd("d", 1, makeDate(2024, 12, 31, 10, 0, 0)), makeDate(2025, 1, 1, 10, 0, 0));
  EXPECT_EQ(DateAdd("h", 25, makeDate(2024, 1, 1)), makeDate(2024, 1, 2, 1, 0, 0));
  EXPECT_EQ(DateAdd("D", 1.9, makeDate(2024, 1, 1)), makeDate(2024, 1, 2));
  EXPECT_EQ(DateDiff("d", makeDate(2024, 1, 1, 23, 0, 0), makeDate(2024, 1, 2, 1, 0, 0)), 1);
  EXPECT_EQ(DateDiff("m", makeDate(2023, 12, 31), makeDate(2024, 1, 1)), 1);
  try {
    DateAdd("x", 1, kZeroDate);
    ADD_FAILURE();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), vberr::InvalidCall);
  }
  try {
    DateAdd("yyyy", 9000, makeDate(2024, 1, 1));
    ADD_FAILURE();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), vberr::Overflow);
  }
}

}  // namespace
}  // namespace quill::vb

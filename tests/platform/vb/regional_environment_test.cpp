#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/vb/Conversions.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::vb {
namespace {

// The settings are read once per process, so each case runs in a fresh
// process (the thread-safe death-test style re-executes this program) with
// QUILL_LOCALE set, and reports through its exit code.
void expectInFreshProcess(const char* locale, double twelveAndAHalf, const char* cstrOfTwoAndAHalf) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ::setenv("QUILL_LOCALE", locale, 1);
  EXPECT_EXIT(
      {
        bool ok =
            CDbl(Variant(std::string("12") + RegionalSettings::current().decimalSeparator + "5")) == twelveAndAHalf &&
            CStr(Variant(2.5)) == cstrOfTwoAndAHalf;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "")
      << locale;
  ::unsetenv("QUILL_LOCALE");
}

TEST(RegionalEnvironment, QuillLocaleChoosesTheSettingsAtStart) {
  expectInFreshProcess("en-US", 12.5, "2.5");
  expectInFreshProcess("pt-PT", 12.5, "2,5");
  expectInFreshProcess("decimal=.;thousands= ;date=yyyy-mm-dd", 12.5, "2.5");
}

TEST(RegionalEnvironment, AMalformedValueFallsBackToPortuguese) {
  expectInFreshProcess("decimal=;;;===", 12.5, "2,5");
  expectInFreshProcess("\xff\xfe garbage", 12.5, "2,5");
}

}  // namespace
}  // namespace quill::vb

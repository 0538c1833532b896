// quillhost's command line.

#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "host/HostOptions.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;

std::optional<HostOptions> parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string e;
  auto options = HostOptions::parse(args, e);
  if (error) *error = e;
  return options;
}

TEST(HostOptions, LinesItDoesNotUnderstandAreRefusedWithTheReason) {
  struct Case {
    std::vector<std::string> args;
    const char* reason;
  };
  const Case cases[] = {
      {{"--demo", "--bogus"}, "--bogus"},
      {{"--erp"}, "--erp needs a value"},
      {{"--company", "--demo"}, "--company needs a value"},
      {{"--script", ""}, "--script needs a value"},
      {{"stray"}, "stray"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parse(c.args, &error)) << c.args[0];
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(HostOptions, DemoOpensTheDemoCompanyOfTheDemoFolderWithTheDemoSettings) {
  auto options = parse({"--demo"});
  ASSERT_TRUE(options);
  std::string error;
  auto choice = options->companyChoice("/d", error);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->erpFolder, "/d");
  EXPECT_EQ(choice->company, demo::kCompanyCode);
  EXPECT_EQ(choice->user, demo::kLogin);
  EXPECT_EQ(choice->password, demo::kPassword);
  EXPECT_EQ(choice->allowanceDocumentTypes, demo::kAllowanceDocumentTypes);
  EXPECT_EQ(choice->allowanceArticle, demo::kAllowanceArticle);
  EXPECT_TRUE(choice->forceAllowanceSettings);
}

TEST(HostOptions, AnotherCompanyKeepsItsOwnAllowanceSettingsAndAnotherUserHisPassword) {
  auto options = parse({"--demo", "--company", "OUTRA", "--user", "maria"});
  std::string error;
  auto choice = options->companyChoice("/d", error);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->erpFolder, "/d");
  EXPECT_EQ(choice->company, "OUTRA");
  EXPECT_EQ(choice->user, "maria");
  EXPECT_EQ(choice->password, "");
  EXPECT_FALSE(choice->forceAllowanceSettings);

  choice = parse({"--erp", "/erp", "--company", "X", "--user", "u", "--password", "p"})->companyChoice("/d", error);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->erpFolder, "/erp");
  EXPECT_EQ(choice->password, "p");
}

TEST(HostOptions, CompanyNamedOnlyInPartIsNotOpened) {
  std::string error;
  EXPECT_FALSE(parse({"--company", "X"})->companyChoice("/d", error));
  EXPECT_FALSE(error.empty());
  // No company on the line: the window opens empty.
  error.clear();
  EXPECT_FALSE(parse({})->companyChoice("/d", error));
  EXPECT_TRUE(error.empty());
}

}  // namespace
}  // namespace quill::host

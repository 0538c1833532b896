#include "extension/core/cInifile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

#include "platform/automation/AutomationError.h"
#include "tests/platform/vb/RegionalScope.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill {
namespace {

using quill::testing::TempFolder;
using vb::testing::RegionalScope;

// A window as plain data. `missing` names a member the window does not
// offer: reading it raises 438, as a late-bound call on such a window would.
class FakeWindow : public vb::FormWindow {
 public:
  int state = vb::vbNormal;
  double x = 1500, y = 1200, w = 6000, h = 4500;
  vb::ScreenMetrics screenMetrics{1920 * 15, 1080 * 15, 15, 15};
  std::string missing;
  int moves = 0;

  int windowState() const override { return check("WindowState"), state; }
  void setWindowState(int s) override { state = s; }
  double left() const override { return check("Left"), x; }
  double top() const override { return check("Top"), y; }
  double width() const override { return check("Width"), w; }
  double height() const override { return check("Height"), h; }
  void move(double l, double t, double wd, double ht) override {
    x = l, y = t, w = wd, h = ht;
    ++moves;
  }
  vb::ScreenMetrics screen() const override { return check("Screen"), screenMetrics; }

 private:
  void check(const char* member) const {
    if (missing == member) throw vbError(vberr::MemberNotSupported);
  }
};

class cInifileTest : public ::testing::Test {
 protected:
  RegionalScope pt_{RegionalScope::portuguese()};
  TempFolder folder_;
  std::string path_ = (folder_ / "VALTERO.INI").string();
  cInifile ini_;

  void SetUp() override { ini_.setPath(path_); }
  void write(std::string_view bytes) { TempFolder::write(path_, bytes); }
  std::string read() { return TempFolder::read(path_); }
  std::string valueOf(const std::string& section, const std::string& key) {
    cInifile other;
    other.setPath(path_);
    other.setSection(section);
    other.setKey(key);
    other.setDefault("<missing>");
    return other.Value();
  }
};

TEST_F(cInifileTest, ReadsTheConfigurationOfAWindowsMachine) {
  write("[Api Next]\r\nLogin=admin\r\n[Liga\xE7\xE3o]\r\nServidor = srv01 \r\n");
  ini_.setSection("Ligação");
  ini_.setKey("Servidor");
  EXPECT_EQ(ini_.Value(), "srv01");
  ini_.setKey("User");
  EXPECT_EQ(ini_.Value(), "");  // no default set: a missing key is empty text
  ini_.setDefault("sa ");
  EXPECT_EQ(ini_.Value(), "sa");
  ini_.setPath((folder_ / "none.ini").string());
  EXPECT_EQ(ini_.Value(), "sa");
}

TEST_F(cInifileTest, ALongValueIsCutTo254Characters) {
  write("[S]\nk=" + std::string(300, 'v') + "\n");
  ini_.setSection("S");
  ini_.setKey("k");
  EXPECT_EQ(ini_.Value(), std::string(254, 'v'));
}

TEST_F(cInifileTest, WritingRemovesNulsAndReportsSuccess) {
  ini_.setSection("S");
  ini_.setKey("k");
  ini_.setValue(std::string_view("a\0b\0", 4));
  EXPECT_TRUE(ini_.Success());
  EXPECT_EQ(read(), "[S]\r\nk=ab\r\n");
  ini_.setKey("other");
  ini_.Value();
  EXPECT_TRUE(ini_.Success());  // a read leaves the last write's result
  EXPECT_EQ(ini_.LastReturnCode(), 1);
}

TEST_F(cInifileTest, AnUnwritableFolderFailsAndKeepsTheFile) {
  const std::string original = "[S]\r\nk=old\r\n";
  write(original);
  ::chmod(folder_.path().c_str(), 0555);
  int code = quill::testing::runUnprivileged([&] {
    ini_.setSection("S");
    ini_.setKey("k");
    ini_.setValue("new");
    int failures = ini_.Success() || ini_.LastReturnCode() != 0;
    ini_.DeleteSection();
    failures += ini_.Success();
    failures += ini_.Value() != "old";
    return failures;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(read(), original);
}

TEST_F(cInifileTest, DeletingAndReplacingKeepEveryOtherLine) {
  write("[A]\nx=1\ny=2\n; keep\n\n[B]\nz=3\n");
  ini_.setSection("a");
  ini_.setKey("X");
  ini_.DeleteKey();
  EXPECT_TRUE(ini_.Success());
  EXPECT_EQ(read(), "[A]\ny=2\n; keep\n\n[B]\nz=3\n");
  ini_.setSection("B");
  ini_.setINISection(std::string_view("p=1\0q=2\0", 8));
  EXPECT_TRUE(ini_.Success());
  EXPECT_EQ(read(), "[A]\ny=2\n; keep\n\n[B]\np=1\nq=2\n");
  ini_.setSection("A");
  ini_.DeleteSection();
  EXPECT_EQ(read(), "[B]\np=1\nq=2\n");
}

TEST_F(cInifileTest, EnumerationsListNamesFromOne) {
  write("[Api Next]\nLogin=a\npassword=b\n[]\nx=1\n[Ligação]\n");
  std::vector<std::string> names{"stale"};
  std::int32_t count = -1;
  ini_.EnumerateAllSections(names, count);
  EXPECT_EQ(count, 2);  // the nameless section is skipped
  EXPECT_EQ(names, (std::vector<std::string>{"Api Next", "Ligação"}));
  ini_.setSection("API NEXT");
  ini_.EnumerateCurrentSection(names, count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(names, (std::vector<std::string>{"Login", "password"}));
}

TEST_F(cInifileTest, EmptySectionsAndFilesEnumerateNothing) {
  std::vector<std::string> names{"stale"};
  std::int32_t count = -1;
  for (const char* file : {"", "[Empty]\n; only a comment\n"}) {
    write(file);
    for (const char* defaultText : {"", "FAIL"}) {
      ini_.setDefault(defaultText);
      ini_.setSection("Empty");
      ini_.EnumerateCurrentSection(names, count);
      EXPECT_EQ(count, 0);
      EXPECT_TRUE(names.empty());
    }
  }
  std::filesystem::remove(path_);
  ini_.setDefault("");
  ini_.EnumerateAllSections(names, count);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());
}

TEST_F(cInifileTest, SavingANormalWindowWritesItsPlaceAndRestoresTheKey) {
  FakeWindow window;
  window.x = 1234.4, window.w = 6000.5;  // whole twips, halves to even
  ini_.setSection("frmEditLinPrecos");
  ini_.setKey("Current");
  ini_.SaveFormPosition(window);
  EXPECT_EQ(read(), "[frmEditLinPrecos]\r\nMaximised=0\r\nLeft=1234\r\nTop=1200\r\nWidth=6000\r\nHeight=4500\r\n");
  EXPECT_EQ(ini_.Key(), "Current");
  EXPECT_TRUE(ini_.Success());
}

TEST_F(cInifileTest, SavingAMaximisedOrMinimisedWindow) {
  const std::string saved = "[F]\r\nMaximised=0\r\nLeft=10\r\nTop=20\r\nWidth=30\r\nHeight=40\r\n";
  write(saved);
  ini_.setSection("F");
  FakeWindow window;
  window.state = vb::vbMinimized;
  ini_.SaveFormPosition(window);
  EXPECT_EQ(read(), saved);
  window.state = vb::vbMaximized;
  ini_.SaveFormPosition(window);
  EXPECT_EQ(read(), "[F]\r\nMaximised=1\r\nLeft=10\r\nTop=20\r\nWidth=30\r\nHeight=40\r\n");
}

TEST_F(cInifileTest, AWindowWithoutAPropertyEndsTheSaveQuietly) {
  FakeWindow window;
  window.missing = "Top";
  ini_.setSection("F");
  ini_.setKey("Current");
  ASSERT_NO_THROW(ini_.SaveFormPosition(window));
  EXPECT_EQ(ini_.Key(), "Current");
  EXPECT_EQ(ini_.LastReturnCode(), 0);
  EXPECT_EQ(read(), "[F]\r\nMaximised=0\r\nLeft=1500\r\n");  // what was written stays
}

struct LoadCase {
  const char* name;
  const char* stored;  // the section's entries
  std::int32_t minWidth, minHeight;
  double left, top, width, height;  // where the window ends up
  int moves;
  int state;
};

class LoadFormPosition : public cInifileTest, public ::testing::WithParamInterface<LoadCase> {};

// The screen is 1920 x 1080 pixels of 15 twips: 28800 x 16200 twips, and a
// 4-pixel margin is 60 twips. The window starts at 1500, 1200, 6000 x 4500.
TEST_P(LoadFormPosition, KeepsTheWindowOnTheScreen) {
  const LoadCase& c = GetParam();
  write(std::string("[F]\n") + c.stored);
  FakeWindow window;
  ini_.setSection("F");
  ini_.setKey("Current");
  ini_.setDefault("dflt");
  ini_.LoadFormPosition(window, c.minWidth, c.minHeight);
  EXPECT_EQ(window.x, c.left);
  EXPECT_EQ(window.y, c.top);
  EXPECT_EQ(window.w, c.width);
  EXPECT_EQ(window.h, c.height);
  EXPECT_EQ(window.moves, c.moves);
  EXPECT_EQ(window.state, c.state);
  EXPECT_EQ(ini_.Key(), "Current");
  EXPECT_EQ(ini_.Default(), "dflt");
}

INSTANTIATE_TEST_SUITE_P(
    cInifile, LoadFormPosition,
    ::testing::Values(
        LoadCase{"restored", "Left=3000\nTop=2000\nWidth=9000\nHeight=7000\n", 0, 0, 3000, 2000, 9000, 7000, 1, 0},
        LoadCase{"missingKeysKeepTheWindowsValues", "Left=3000\n", 0, 0, 3000, 1200, 6000, 4500, 1, 0},
        LoadCase{"junkKeepsTheWindowsValues", "Left=abc\nTop=\nWidth=99999999999\n", 0, 0, 1500, 1200, 6000, 4500, 1,
                 0},
        LoadCase{"rightEdgeBeyondTheScreenMovesLeft", "Left=25000\nTop=2000\nWidth=9000\nHeight=7000\n", 0, 0,
                 28800 - 60 - 9000, 2000, 9000, 7000, 1, 0},
        LoadCase{"widerThanTheScreenStartsAtTheMarginAndIsCut", "Left=500\nTop=2000\nWidth=40000\nHeight=7000\n", 0, 0,
                 60, 2000, 28800 - 120, 7000, 1, 0},
        LoadCase{"offTheTopLeftComesBack", "Left=-5000\nTop=-10\nWidth=9000\nHeight=7000\n", 0, 0, 60, 60, 9000, 7000,
                 1, 0},
        LoadCase{"bottomEdgeBeyondTheScreenMovesUp", "Left=3000\nTop=15000\nWidth=9000\nHeight=7000\n", 0, 0, 3000,
                 16200 - 60 - 7000, 9000, 7000, 1, 0},
        LoadCase{"tallerThanTheScreenIsCut", "Left=3000\nTop=100\nWidth=9000\nHeight=20000\n", 0, 0, 3000, 60, 9000,
                 16200 - 120, 1, 0},
        LoadCase{"belowTheMinimumWidthUsesIt", "Left=3000\nTop=2000\nWidth=100\nHeight=100\n", 4000, 3000, 3000, 2000,
                 4000, 3000, 1, 0},
        LoadCase{"aScreenTooSmallForTheMinimumDoesNotMove",
                 "Left=3000\nTop=2000\nWidth=9000\nHeight=7000\nMaximised=1\n", 30000, 0, 1500, 1200, 6000, 4500, 0,
                 vb::vbMaximized},
        LoadCase{"maximisedFlagApplied", "Left=3000\nTop=2000\nWidth=9000\nHeight=7000\nMaximised=1\n", 0, 0, 3000,
                 2000, 9000, 7000, 1, vb::vbMaximized},
        LoadCase{"maximisedZeroOrJunkIsNot", "Maximised=abc\n", 0, 0, 1500, 1200, 6000, 4500, 1, 0}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST_F(cInifileTest, AWindowWithoutAPropertyEndsTheLoadQuietly) {
  write("[F]\nLeft=3000\nTop=2000\nWidth=9000\nHeight=7000\nMaximised=1\n");
  for (const char* member : {"Width", "Screen"}) {
    FakeWindow window;
    window.missing = member;
    ini_.setSection("F");
    ini_.setKey("Current");
    ini_.setDefault("dflt");
    ini_.setValue("x");  // a successful write first, so the failure shows
    ASSERT_TRUE(ini_.Success());
    ASSERT_NO_THROW(ini_.LoadFormPosition(window));
    EXPECT_EQ(ini_.Key(), "Current") << member;
    EXPECT_EQ(ini_.Default(), "dflt") << member;
    EXPECT_EQ(ini_.LastReturnCode(), 0) << member;
    EXPECT_EQ(window.moves, 0) << member;
    EXPECT_EQ(window.state, vb::vbNormal) << member;
  }
}

TEST_F(cInifileTest, CLngDefaultReadsDecimalTextOrGivesTheDefault) {
  struct Row {
    const char* text;
    std::int32_t expected;
  } rows[] = {
      {"12", 12},
      {"FAIL", 5},
      {"", 5},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {" 7 ", 7},
      {"+8", 8},
      {"2,5", 2},
      {"99999999999", 5},
      {"1.234", 1},
      {"1.2.3", 5},
      {"12abc", 5},
      {"-", 5},
      {"2147483647", 2147483647},
      {"-2147483648.4", -2147483647 - 1},
      {"1e3", 5},
      {"0x10", 5},
      {"\xff", 5},
      {"2147483647.5", 5},
  };
  for (const auto& row : rows) EXPECT_EQ(ini_.CLngDefault(row.text, 5), row.expected) << row.text;
  RegionalScope en(RegionalScope::english());
  EXPECT_EQ(ini_.CLngDefault("2.5", 5), 2);
  EXPECT_EQ(ini_.CLngDefault("2,5", 5), 5);  // "," is no decimal point here, nor a digit
}

}  // namespace
}  // namespace quill

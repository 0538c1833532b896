#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/vb/DebugLog.h"

namespace quill::vb {
namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DebugLogTest : public ::testing::Test {
 protected:
  fs::path dir_ = fs::temp_directory_path() / ("quill_debuglog_" + std::to_string(::getpid()));
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
};

TEST_F(DebugLogTest, LinesArePaddedOrCutToTheWidthInCharacters) {
  fs::path file = dir_ / "DBGVALTERO.TXT";
  appendDebugLine(file, "ValidateArtigo", kLibraryLogTagWidth, "Ini");
  appendDebugLine(file, std::string(60, 'x'), kLibraryLogTagWidth, "long");
  appendDebugLine(file, "Preço unitário", kBridgeLogTagWidth, "ção");
  std::string expected = "ValidateArtigo" + std::string(36, ' ') + " Ini\r\n" + std::string(50, 'x') + " long\r\n" +
                         "Preço unitário" + std::string(6, ' ') + " ção\r\n";
  EXPECT_EQ(readAll(file), expected);
}

TEST_F(DebugLogTest, AnUnwritablePlaceIsIgnored) {
  EXPECT_NO_THROW(appendDebugLine(dir_ / "missing" / "DBGVALTERO.TXT", "tag", 20, "x"));
  EXPECT_NO_THROW(appendDebugLine(dir_, "tag", 20, "x"));  // a folder, not a file
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

}  // namespace
}  // namespace quill::vb

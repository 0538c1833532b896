#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/winapi/FileBytes.h"
#include "tests/platform/winapi/TempFolder.h"

namespace quill::winapi {
namespace {

using quill::testing::TempFolder;

int filesIn(const std::filesystem::path& folder) {
  int n = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(FileBytes, AFailedReplacementSaysWhyAndLeavesNothingBehind) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "sub");
  struct Case {
    std::filesystem::path file;
    int error;
  } cases[] = {
      {folder / "missing" / "x.bin", ENOENT},
      {folder / "sub", EISDIR},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tryReplaceFileContents(c.file, "bytes").value(), c.error) << c.file;
  }
  EXPECT_EQ(filesIn(folder.path()), 1);

  TempFolder::write(folder / "kept.bin", "old");
  ::chmod(folder.path().c_str(), 0555);
  int code = quill::testing::runUnprivileged([&] {
    auto error = tryReplaceFileContents(folder / "kept.bin", "new");
    return error.value() == EACCES ? 0 : 1;
  });
  ::chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(TempFolder::read(folder / "kept.bin"), "old");
  EXPECT_EQ(filesIn(folder.path()), 2);

  EXPECT_FALSE(tryReplaceFileContents(folder / "kept.bin", "new"));
  EXPECT_EQ(TempFolder::read(folder / "kept.bin"), "new");
}

}  // namespace
}  // namespace quill::winapi

#include <gtest/gtest.h>

#include "platform/vb/TextEncoding.h"

namespace quill::vb {
namespace {

TEST(TextEncoding, Windows1252AndUtf8ConvertBothWays) {
  EXPECT_EQ(utf8FromWindows1252("Liga\xE7\xE3o \x80 \x96"), "Ligação € –");
  EXPECT_EQ(windows1252FromUtf8("Ligação € –"), std::optional<std::string>("Liga\xE7\xE3o \x80 \x96"));
  EXPECT_FALSE(windows1252FromUtf8("日本"));
  EXPECT_FALSE(windows1252FromUtf8("a\xFF"));
}

TEST(TextEncoding, FileTextIsUtf8WhenValidElseWindows1252) {
  EXPECT_EQ(decodeFileText("[Liga\xC3\xA7\xC3\xA3o]"), "[Ligação]");
  EXPECT_EQ(decodeFileText("\xEF\xBB\xBF[Ligação]"), "[Ligação]");
  EXPECT_EQ(decodeFileText("[Liga\xE7\xE3o]"), "[Ligação]");
  EXPECT_EQ(decodeFileText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextEncoding, MalformedSequencesAreNotUtf8) {
  for (const char* bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "abcdefgh\xE7"})
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  EXPECT_TRUE(isValidUtf8("plain ascii text longer than eight bytes ção 😀"));
}

}  // namespace
}  // namespace quill::vb

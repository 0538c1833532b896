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

TEST(TextEncoding, FileTextFromWindowsProgramsIsDecodedSequenceBySequence) {
  const struct {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"UTF-8 with one stray Windows-1252 byte", "[Liga\xC3\xA7\xC3\xA3o]\nBaseDados=Emp\xE9sa\n",
       "[Ligação]\nBaseDados=Empésa\n"},
      {"a stray byte at the very end", "\xC3\xA7\xC3", "çÃ"},
      {"a stray continuation byte",
       "a\x80"
       "b\xC3\xA3",
       "a€bã"},
      {"UTF-16LE after its byte-order mark", std::string("\xFF\xFE[\0L\0i\0g\0a\0\xE7\0\xE3\0o\0]\0", 20), "[Ligação]"},
      {"UTF-16LE with a character beyond the first plane", std::string("\xFF\xFE=\0\x3D\xD8\x00\xDE", 8), "=😀"},
      {"UTF-16LE with a lone surrogate and an odd last byte", std::string("\xFF\xFEx\0\x00\xD8y\0z", 9),
       "x\uFFFDy\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(decodeFileText(c.bytes), c.text) << c.name;
  EXPECT_EQ(utf16LeFromUtf8("[Ligação]=😀"), std::string("[\0L\0i\0g\0a\0\xE7\0\xE3\0o\0]\0=\0\x3D\xD8\x00\xDE", 24));
  bool lossless = false;
  EXPECT_EQ(utf8FromUtf16Le(utf16LeFromUtf8("Ligação 😀"), &lossless), "Ligação 😀");
  EXPECT_TRUE(lossless);
  utf8FromUtf16Le(std::string("\x00\xD8", 2), &lossless);
  EXPECT_FALSE(lossless);
}

TEST(TextEncoding, MalformedSequencesAreNotUtf8) {
  for (const char* bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "abcdefgh\xE7"})
    EXPECT_FALSE(isValidUtf8(bad)) << bad;
  EXPECT_TRUE(isValidUtf8("plain ascii text longer than eight bytes ção 😀"));
}

}  // namespace
}  // namespace quill::vb

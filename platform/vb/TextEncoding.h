#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quill::vb {

// Text inside Quill is UTF-8. Files written on Windows may be in the ANSI
// code page, Windows-1252; these helpers read one character at a time and
// convert between the two.

// The code point starting at byte `pos` and its length in bytes. A byte that
// does not begin a well-formed sequence (stray continuation byte, overlong
// form, surrogate, truncated sequence) is one character of its own, with the
// code point 0xFFFD, so that walking a text never stops or skips bytes.
struct Utf8Char {
  char32_t codePoint;
  std::size_t length;
};
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

void appendUtf8(std::string& out, char32_t codePoint);

bool isValidUtf8(std::string_view text);

// The number of characters of a text, and the bytes its first `count`
// characters take (the whole text when it has fewer).
std::size_t utf8Length(std::string_view text);
std::size_t utf8PrefixBytes(std::string_view text, std::size_t count);

// Every byte read as Windows-1252 (the five bytes it leaves undefined map to
// the C1 controls of the same number, as Windows does).
std::string utf8FromWindows1252(std::string_view bytes);

// UTF-8 text written back as Windows-1252; nothing when a character has no
// place in that code page (the caller then keeps UTF-8) or the text is not
// valid UTF-8.
std::optional<std::string> windows1252FromUtf8(std::string_view text);

// Text that is UTF-8 except where it is not: every well-formed UTF-8
// sequence is kept, every byte that is not part of one is read as
// Windows-1252. A file edited on Windows may hold both.
std::string utf8FromUtf8OrWindows1252(std::string_view bytes);

// UTF-16 little-endian code units (without a byte-order mark) as UTF-8; a
// surrogate without its pair, and an odd last byte, become U+FFFD. Lossless
// when `wasLossless` is given and set.
std::string utf8FromUtf16Le(std::string_view bytes, bool* wasLossless = nullptr);
// UTF-8 as UTF-16 little-endian code units (no byte-order mark); a byte that
// is not UTF-8 becomes U+FFFD.
std::string utf16LeFromUtf8(std::string_view text);

// How a file's text is stored, told by its first bytes.
enum class FileEncoding {
  Utf8,         // UTF-8 (bytes that are not are read as Windows-1252)
  Utf8WithBom,  // the same, after EF BB BF
  Utf16Le,      // UTF-16 little-endian after FF FE, as Windows' Notepad saves "Unicode"
};
FileEncoding fileEncodingOf(std::string_view bytes);

// A file's bytes as UTF-8: a byte-order mark removed, UTF-16 converted, and
// UTF-8 kept where it is well formed with every other byte read as
// Windows-1252.
std::string decodeFileText(std::string_view bytes);

}  // namespace quill::vb

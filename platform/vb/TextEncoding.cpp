#include "platform/vb/TextEncoding.h"

#include <cstdint>
#include <cstring>

namespace quill::vb {

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half is Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

Utf8Char decodeUtf8(std::string_view text, std::size_t pos) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t n = text.size();
  unsigned char c = s[pos];
  if (c < 0x80) return {c, 1};
  constexpr Utf8Char invalid{0xFFFD, 1};
  if (c < 0xC2) return invalid;
  if (c < 0xE0) {
    if (pos + 1 >= n || !continuation(s[pos + 1])) return invalid;
    return {static_cast<char32_t>(((c & 0x1F) << 6) | (s[pos + 1] & 0x3F)), 2};
  }
  if (c < 0xF0) {
    if (pos + 2 >= n || !continuation(s[pos + 1]) || !continuation(s[pos + 2])) return invalid;
    char32_t cp = ((c & 0x0F) << 12) | ((s[pos + 1] & 0x3F) << 6) | (s[pos + 2] & 0x3F);
    if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return invalid;
    return {cp, 3};
  }
  if (c < 0xF5) {
    if (pos + 3 >= n || !continuation(s[pos + 1]) || !continuation(s[pos + 2]) || !continuation(s[pos + 3]))
      return invalid;
    char32_t cp = ((c & 0x07) << 18) | ((s[pos + 1] & 0x3F) << 12) | ((s[pos + 2] & 0x3F) << 6) | (s[pos + 3] & 0x3F);
    if (cp < 0x10000 || cp > 0x10FFFF) return invalid;
    return {cp, 4};
  }
  return invalid;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // ASCII runs are the common case: skip them eight bytes at a time.
    while (i + 16 <= text.size()) {
      std::uint64_t a, b;
      std::memcpy(&a, text.data() + i, 8);
      std::memcpy(&b, text.data() + i + 8, 8);
      if ((a | b) & 0x8080808080808080ULL) break;
      i += 16;
    }
    if (i >= text.size()) break;
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    Utf8Char ch = decodeUtf8(text, i);
    if (ch.codePoint == 0xFFFD && ch.length == 1) return false;
    i += ch.length;
  }
  return true;
}

std::size_t utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count)
    pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : decodeUtf8(text, pos).length;
  return count;
}

std::size_t utf8PrefixBytes(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (; count > 0 && pos < text.size(); --count)
    pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : decodeUtf8(text, pos).length;
  return pos;
}

std::string utf8FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char b : bytes) {
    auto c = static_cast<unsigned char>(b);
    if (c < 0x80)
      out += b;
    else if (c < 0xA0)
      appendUtf8(out, kHighControls[c - 0x80]);
    else
      appendUtf8(out, c);
  }
  return out;
}

std::optional<std::string> windows1252FromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += text[i++];
      continue;
    }
    Utf8Char ch = decodeUtf8(text, i);
    if (ch.codePoint == 0xFFFD && ch.length == 1) return std::nullopt;
    i += ch.length;
    if (ch.codePoint >= 0xA0 && ch.codePoint <= 0xFF) {
      out += static_cast<char>(ch.codePoint);
      continue;
    }
    bool found = false;
    for (int k = 0; k < 32; ++k) {
      if (kHighControls[k] == ch.codePoint) {
        out += static_cast<char>(0x80 + k);
        found = true;
        break;
      }
    }
    if (!found) return std::nullopt;
  }
  return out;
}

std::string decodeFileText(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  if (isValidUtf8(bytes)) return std::string(bytes);
  return utf8FromWindows1252(bytes);
}

}  // namespace quill::vb

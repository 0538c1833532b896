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

std::string utf8FromUtf8OrWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (std::size_t i = 0; i < bytes.size();) {
    auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      out += bytes[i++];
      continue;
    }
    Utf8Char ch = decodeUtf8(bytes, i);
    if (ch.codePoint == 0xFFFD && ch.length == 1)
      appendUtf8(out, c < 0xA0 ? kHighControls[c - 0x80] : c);
    else
      out.append(bytes.substr(i, ch.length));
    i += ch.length;
  }
  return out;
}

std::string utf8FromUtf16Le(std::string_view bytes, bool* wasLossless) {
  bool lossless = bytes.size() % 2 == 0;
  std::string out;
  out.reserve(bytes.size());
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t k) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) | static_cast<unsigned char>(bytes[2 * k + 1])
                                                                                << 8);
  };
  for (std::size_t k = 0; k < units; ++k) {
    char16_t u = unit(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
      ++k;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      appendUtf8(out, 0xFFFD);
      lossless = false;
    } else {
      appendUtf8(out, u);
    }
  }
  if (bytes.size() % 2) appendUtf8(out, 0xFFFD);
  if (wasLossless) *wasLossless = lossless;
  return out;
}

std::string utf16LeFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>((u >> 8) & 0xFF);
  };
  for (std::size_t i = 0; i < text.size();) {
    Utf8Char ch = decodeUtf8(text, i);
    i += ch.length;
    if (ch.codePoint >= 0x10000) {
      put(0xD800 + ((ch.codePoint - 0x10000) >> 10));
      put(0xDC00 + ((ch.codePoint - 0x10000) & 0x3FF));
    } else {
      put(ch.codePoint);
    }
  }
  return out;
}

FileEncoding fileEncodingOf(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) return FileEncoding::Utf8WithBom;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return FileEncoding::Utf16Le;
  return FileEncoding::Utf8;
}

std::string decodeFileText(std::string_view bytes) {
  switch (fileEncodingOf(bytes)) {
    case FileEncoding::Utf16Le:
      return utf8FromUtf16Le(bytes.substr(2));
    case FileEncoding::Utf8WithBom:
      bytes.remove_prefix(kBom.size());
      break;
    case FileEncoding::Utf8:
      break;
  }
  if (isValidUtf8(bytes)) return std::string(bytes);
  return utf8FromUtf8OrWindows1252(bytes);
}

}  // namespace quill::vb

#include "platform/spreadsheet/BiffText.h"

#include "platform/vb/TextEncoding.h"

namespace quill::spreadsheet {

namespace {
bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

void appendUnit(std::string& out, char32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}
}  // namespace

BiffText encodeBiffText(std::string_view utf8) {
  BiffText text;
  if (isAscii(utf8)) {
    text.units = utf8.size();
    text.bytes.assign(utf8);
    return text;
  }
  text.wide = true;
  text.bytes.reserve(utf8.size() * 2);
  for (std::size_t pos = 0; pos < utf8.size();) {
    auto decoded = vb::decodeUtf8(utf8, pos);
    pos += decoded.length;
    char32_t c = decoded.codePoint;
    if (c >= 0x10000) {
      c -= 0x10000;
      appendUnit(text.bytes, 0xD800 + (c >> 10));
      appendUnit(text.bytes, 0xDC00 + (c & 0x3FF));
      text.units += 2;
    } else {
      appendUnit(text.bytes, c);
      ++text.units;
    }
  }
  return text;
}

std::size_t utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) {
      ++units;
      ++pos;
      continue;
    }
    auto decoded = vb::decodeUtf8(utf8, pos);
    pos += decoded.length;
    units += decoded.codePoint >= 0x10000 ? 2 : 1;
  }
  return units;
}

}  // namespace quill::spreadsheet

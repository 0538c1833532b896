#include "platform/vb/Strings.h"

#include "platform/automation/AutomationError.h"
#include "platform/vb/TextEncoding.h"

namespace quill::vb {

namespace {

[[noreturn]] void invalidCall() { throw vbError(vberr::InvalidCall); }

// Byte offset of character `index` (0-based); text.size() when past the end.
std::size_t byteOffset(std::string_view text, std::size_t index) {
  std::size_t pos = 0;
  while (index > 0 && pos < text.size()) {
    pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : decodeUtf8(text, pos).length;
    --index;
  }
  return pos;
}

std::size_t charCount(std::string_view text, std::size_t bytes) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < bytes;) {
    pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : decodeUtf8(text, pos).length;
    ++count;
  }
  return count;
}

// Case pairs that keep the UTF-8 length (one byte to one, two to two), so a
// folded text has its characters at the same byte offsets as the original.
char32_t upperOf(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 32;
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return (c & 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  return c;
}

char32_t lowerOf(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return (c & 1) ? c : c + 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  return c;
}

template <class Map>
std::string mapCase(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      out += static_cast<char>(map(byte));
      ++pos;
      continue;
    }
    Utf8Char ch = decodeUtf8(text, pos);
    if (ch.codePoint == 0xFFFD && ch.length == 1)
      out += text[pos];  // keep a stray byte as it is
    else
      appendUtf8(out, map(ch.codePoint));
    pos += ch.length;
  }
  return out;
}

// Byte position of `find` in `text` at or after byte `from`, npos if none.
std::size_t findBytes(std::string_view text, std::string_view find, std::size_t from, CompareMethod compare,
                      const std::string& foldedText, const std::string& foldedFind) {
  if (compare == CompareMethod::Text) return std::string_view(foldedText).find(foldedFind, from);
  return text.find(find, from);
}

}  // namespace

int Len(std::string_view text) { return static_cast<int>(charCount(text, text.size())); }

std::string Trim(std::string_view text) { return LTrim(RTrim(text)); }

std::string LTrim(std::string_view text) {
  std::size_t start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string() : std::string(text.substr(start));
}

std::string RTrim(std::string_view text) {
  std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string UCase(std::string_view text) { return mapCase(text, upperOf); }
std::string LCase(std::string_view text) { return mapCase(text, lowerOf); }

std::string Left(std::string_view text, int length) {
  if (length < 0) invalidCall();
  return std::string(text.substr(0, byteOffset(text, static_cast<std::size_t>(length))));
}

std::string Right(std::string_view text, int length) {
  if (length < 0) invalidCall();
  int total = Len(text);
  if (length >= total) return std::string(text);
  return std::string(text.substr(byteOffset(text, static_cast<std::size_t>(total - length))));
}

std::string Mid(std::string_view text, int start) {
  if (start < 1) invalidCall();
  return std::string(text.substr(byteOffset(text, static_cast<std::size_t>(start - 1))));
}

std::string Mid(std::string_view text, int start, int length) {
  if (start < 1 || length < 0) invalidCall();
  std::string_view rest = text.substr(byteOffset(text, static_cast<std::size_t>(start - 1)));
  return std::string(rest.substr(0, byteOffset(rest, static_cast<std::size_t>(length))));
}

int InStr(std::string_view text, std::string_view find, CompareMethod compare) { return InStr(1, text, find, compare); }

int InStr(int start, std::string_view text, std::string_view find, CompareMethod compare) {
  if (start < 1) invalidCall();
  std::size_t from = byteOffset(text, static_cast<std::size_t>(start - 1));
  if (find.empty()) return start <= Len(text) ? start : 0;
  if (from >= text.size()) return 0;
  std::string foldedText, foldedFind;
  if (compare == CompareMethod::Text) {
    foldedText = LCase(text);
    foldedFind = LCase(find);
  }
  std::size_t at = findBytes(text, find, from, compare, foldedText, foldedFind);
  return at == std::string_view::npos ? 0 : static_cast<int>(charCount(text, at)) + 1;
}

std::string Replace(std::string_view text, std::string_view find, std::string_view with, int start, int count,
                    CompareMethod compare) {
  if (start < 1 || count < -1) invalidCall();
  std::string_view rest = text.substr(byteOffset(text, static_cast<std::size_t>(start - 1)));
  if (find.empty() || count == 0) return std::string(rest);
  std::string foldedText, foldedFind;
  if (compare == CompareMethod::Text) {
    foldedText = LCase(rest);
    foldedFind = LCase(find);
  }
  std::string out;
  out.reserve(rest.size());
  std::size_t pos = 0;
  int done = 0;
  while (count < 0 || done < count) {
    std::size_t at = findBytes(rest, find, pos, compare, foldedText, foldedFind);
    if (at == std::string_view::npos) break;
    out.append(rest.substr(pos, at - pos));
    out.append(with);
    pos = at + find.size();
    ++done;
  }
  out.append(rest.substr(pos));
  return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view delimiter, int limit, CompareMethod compare) {
  std::vector<std::string> items;
  if (limit < -1) invalidCall();
  if (text.empty() || limit == 0) return items;
  if (delimiter.empty()) {
    items.emplace_back(text);
    return items;
  }
  std::string foldedText, foldedFind;
  if (compare == CompareMethod::Text) {
    foldedText = LCase(text);
    foldedFind = LCase(delimiter);
  }
  std::size_t pos = 0;
  while (limit < 0 || static_cast<int>(items.size()) < limit - 1) {
    std::size_t at = findBytes(text, delimiter, pos, compare, foldedText, foldedFind);
    if (at == std::string_view::npos) break;
    items.emplace_back(text.substr(pos, at - pos));
    pos = at + delimiter.size();
  }
  items.emplace_back(text.substr(pos));
  return items;
}

std::string Join(const std::vector<std::string>& items, std::string_view delimiter) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out.append(delimiter);
    out.append(items[i]);
  }
  return out;
}

std::string Space(int count) {
  if (count < 0) invalidCall();
  return std::string(static_cast<std::size_t>(count), ' ');
}

std::string StringOf(int count, std::string_view character) {
  if (count < 0 || character.empty()) invalidCall();
  std::string_view first = character.substr(0, decodeUtf8(character, 0).length);
  std::string out;
  out.reserve(first.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out.append(first);
  return out;
}

std::string padRight(std::string_view text, std::size_t width) {
  std::size_t cut = byteOffset(text, width);
  std::string out(text.substr(0, cut));
  std::size_t have = charCount(out, out.size());
  if (have < width) out.append(width - have, ' ');
  return out;
}

std::string padLeft(std::string_view text, std::size_t width) {
  std::size_t cut = byteOffset(text, width);
  std::string body(text.substr(0, cut));
  std::size_t have = charCount(body, body.size());
  return have < width ? std::string(width - have, ' ') + body : body;
}

bool equalsText(std::string_view a, std::string_view b) {
  // Folding keeps every character's length, so texts of different lengths differ.
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x < 0x80 && y < 0x80) {
      if (x != y && lowerOf(x) != lowerOf(y)) return false;
      ++i;
      continue;
    }
    Utf8Char cx = decodeUtf8(a, i), cy = decodeUtf8(b, i);
    if (cx.length != cy.length) return false;
    bool strayX = cx.codePoint == 0xFFFD && cx.length == 1, strayY = cy.codePoint == 0xFFFD && cy.length == 1;
    if (strayX || strayY) {
      if (x != y) return false;
    } else if (lowerOf(cx.codePoint) != lowerOf(cy.codePoint)) {
      return false;
    }
    i += cx.length;
  }
  return true;
}

int compareText(std::string_view a, std::string_view b) {
  // The order key of the character at `pos`, which moves past it.
  auto next = [](std::string_view text, std::size_t& pos) -> char32_t {
    auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      ++pos;
      return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
    }
    Utf8Char ch = decodeUtf8(text, pos);
    pos += ch.length;
    if (ch.codePoint == 0xFFFD && ch.length == 1) return 0x110000 + byte;  // a stray byte
    return lowerOf(ch.codePoint);
  };
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t x = next(a, i), y = next(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

}  // namespace quill::vb

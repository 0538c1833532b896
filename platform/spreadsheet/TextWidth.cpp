#include "platform/spreadsheet/TextWidth.h"

#include <algorithm>
#include <cmath>

#include "platform/vb/TextEncoding.h"

namespace quill::spreadsheet {

namespace {

constexpr double kDigitPixels = 7.0;
constexpr double kPaddingPixels = 5.0;
constexpr double kDigitUnits = 556.0;  // a digit's advance, in thousandths of the font size

// Advances of the printable ASCII characters (32 to 126) in thousandths of
// the font size, for the regular and the bold face of the standard font.
constexpr short kRegular[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0 to ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @ to O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P to _
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // ` to o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p to ~
constexpr short kBold[95] = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611,  // 0 to ?
    975, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778,  // @ to O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 333, 278, 333, 584, 556,  // P to _
    333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889, 611, 611,  // ` to o
    611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};      // p to ~

// The plain letter of each Latin-1 letter from U+00C0 to U+00FF; '*' for
// the few signs and ligatures that have widths of their own.
constexpr char kLatin1Base[] = "AAAAAA*CEEEEIIIIDNOOOOO*OUUUUYP*aaaaaa*ceeeeiiiionooooo*ouuuuypy";

double advance(char32_t c, bool bold) {
  const short* table = bold ? kBold : kRegular;
  if (c >= 32 && c <= 126) return table[c - 32];
  if (c >= 0xC0 && c <= 0xFF) {
    char base = kLatin1Base[c - 0xC0];
    if (base != '*') return table[base - 32];
    switch (c) {
      case 0xC6:
        return 1000;  // Æ
      case 0xE6:
        return 889;  // æ
      case 0xDF:
        return 611;  // ß
      default:
        return 584;  // × ÷
    }
  }
  if (c == 0xA0) return 278;  // no-break space
  if (c < 0x2E80) return kDigitUnits;
  return 1000;  // ideographs and other wide scripts
}

}  // namespace

double textWidth(std::string_view utf8, bool bold) {
  double units = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[pos]);
    if (c < 0x80) {
      units += advance(c, bold);
      ++pos;
      continue;
    }
    auto decoded = vb::decodeUtf8(utf8, pos);
    units += advance(decoded.codePoint, bold);
    pos += decoded.length;
  }
  return units / kDigitUnits;
}

std::uint16_t columnWidthUnits(double characters) {
  characters = std::clamp(characters, 0.0, 255.0);
  return static_cast<std::uint16_t>(std::trunc((characters * kDigitPixels + kPaddingPixels) / kDigitPixels * 256));
}

double columnWidthCharacters(std::uint16_t units) {
  double characters = (units / 256.0 * kDigitPixels - kPaddingPixels) / kDigitPixels;
  return std::max(0.0, std::round(characters * 100) / 100);
}

double fittedWidth(double width) {
  // Three pixels to spare, so that the last letter never touches the border.
  double pixels = std::ceil(width * kDigitPixels) + 3;
  return std::min(255.0, std::ceil(pixels / kDigitPixels * 100) / 100);
}

}  // namespace quill::spreadsheet

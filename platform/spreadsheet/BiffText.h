#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::spreadsheet {

// A text as the workbook file stores it: UTF-16 code units, one byte each
// when every character is plain ASCII ("compressed"), else two bytes each
// (little-endian), so that accented and other letters always go as Unicode.
struct BiffText {
  std::size_t units = 0;  // UTF-16 code units
  bool wide = false;      // two bytes a unit
  std::string bytes;
};

BiffText encodeBiffText(std::string_view utf8);
// The number of UTF-16 code units of a UTF-8 text.
std::size_t utf16Length(std::string_view utf8);

// The longest text a cell holds, in UTF-16 code units.
inline constexpr std::size_t kMaxCellTextUnits = 32767;

}  // namespace quill::spreadsheet

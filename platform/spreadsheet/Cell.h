#pragma once

#include <cstdint>
#include <string>

namespace quill::spreadsheet {

// Horizontal alignment of a cell, numbered as the file stores it.
enum class HorizontalAlignment : std::uint8_t {
  General = 0,
  Left = 1,
  Center = 2,
  Right = 3,
  Fill = 4,
  Justify = 5,
  CenterAcrossSelection = 6,
  Distributed = 7,
};

// How a cell looks: its number format (an index into the workbook's list of
// format codes, 0 being "General"), its font and its alignment. Small enough
// to live in every cell and to compare as one number.
struct CellStyle {
  std::uint16_t numberFormat = 0;
  bool bold = false;
  bool italic = false;
  HorizontalAlignment alignment = HorizontalAlignment::General;

  std::uint32_t key() const {
    return numberFormat | (bold ? 1u << 16 : 0u) | (italic ? 1u << 17 : 0u) |
           (static_cast<std::uint32_t>(alignment) << 24);
  }
  static CellStyle fromKey(std::uint32_t key) {
    return {static_cast<std::uint16_t>(key & 0xFFFF), (key & (1u << 16)) != 0, (key & (1u << 17)) != 0,
            static_cast<HorizontalAlignment>((key >> 24) & 0x7)};
  }
  bool isDefault() const { return key() == 0; }
  friend bool operator==(const CellStyle& a, const CellStyle& b) { return a.key() == b.key(); }
};

// One cell of a sheet. A cell that was never touched is not present: it
// looks like its column. A present cell without a value is a formatted blank.
struct Cell {
  enum class Kind : std::uint8_t { Empty, Number, Text, Boolean, Date };

  bool present = false;
  Kind kind = Kind::Empty;
  CellStyle style;
  double number = 0.0;  // Number, Date (its serial) and Boolean (0 or 1)
  std::string text;     // Text, UTF-8

  bool hasValue() const { return kind != Kind::Empty; }
};

}  // namespace quill::spreadsheet

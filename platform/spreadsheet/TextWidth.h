#pragma once

#include <cstdint>
#include <string_view>

namespace quill::spreadsheet {

// Widths measured in the unit of column widths: the width of a digit of the
// standard font (Arial 10 points, 7 pixels a digit on the screen).

// The width of a text as the standard font draws it, regular or bold
// (italics are as wide as the regular face). Letters with accents are as
// wide as their plain letter; scripts the table does not know count as wide
// as a capital M.
double textWidth(std::string_view utf8, bool bold);

// A column width in characters as the file stores it: 1/256 of a
// character, including the cell's padding of 5 pixels; and back.
std::uint16_t columnWidthUnits(double characters);
double columnWidthCharacters(std::uint16_t units);

// The width a column takes to show a text whole (a few pixels to spare, in
// hundredths of a character).
double fittedWidth(double textWidth);

}  // namespace quill::spreadsheet

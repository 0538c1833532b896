#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace quill::spreadsheet::testing {

// Reading written workbooks back with readers that are not ours: xlrd (from
// python3-xlrd) and LibreOffice (libreoffice-calc-nogui), both installed by
// scripts/setup.sh. A reader that is missing throws, so that the test fails
// saying what to install instead of passing without having looked.

// One cell as xlrd reads it, with its formatting.
struct ReadCell {
  int row = 0, column = 0;  // 0-based
  std::string type;         // "text", "number", "date", "boolean", "blank", "error"
  std::string text;         // a text cell's text
  double number = 0;        // a number's, date's or boolean's value
  std::string format;       // the number format code
  bool bold = false, italic = false;
  int alignment = 0;  // 0 general, 1 left, 2 centre, 3 right...
};

struct ReadSheet {
  std::string name;
  int rows = 0, columns = 0;
  std::vector<ReadCell> cells;  // every non-empty cell, by row then column
  std::map<int, int> widths;    // column -> width in 1/256 of a character
  const ReadCell* at(int row, int column) const;
};

struct ReadBook {
  int biffVersion = 0;  // 80 for the 97–2003 format
  int codepage = 0;
  std::vector<ReadSheet> sheets;
  std::string warnings;  // what the reader complained about on the way
};

// The whole workbook as xlrd reads it with formatting_info=True. With
// `cellsToo` false only the sheets' sizes come back (for large files).
ReadBook readWithXlrd(const std::filesystem::path& file, bool cellsToo = true);

// The bytes of a compound file's stream as xlrd's own compound file reader
// extracts them; its complaints (broken chains, bad sizes) in `warnings`.
std::string streamWithXlrd(const std::filesystem::path& file, const std::string& stream, std::string& warnings);

// The first sheet converted to CSV by LibreOffice headless (UTF-8, cells
// as they are shown), each line split at the commas.
std::vector<std::vector<std::string>> convertWithLibreOffice(const std::filesystem::path& file);

}  // namespace quill::spreadsheet::testing

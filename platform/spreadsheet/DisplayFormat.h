#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/vb/RegionalSettings.h"

namespace quill::spreadsheet {

// A cell number format code compiled once and applied to many values: the
// text a cell shows, as the sheet displays it (for Range.Text and for fitting
// a column to its content).
//
// Codes: "General"; "@" (text as it is); number sections with "0", "#" and
// "?" digit placeholders, "." decimal point, "," thousands (between
// placeholders) or thousands scaling (after them), "%", "E+"/"E-"
// exponents; literal text in double quotes, after "\" or standing alone;
// "_x" (a blank the width of x) as a blank; "*x" fill and "[...]" colours
// and conditions ignored; date and time sections (d, m, y, h, s) as in VB
// date patterns. Up to four sections: positive;negative;zero;text. Numbers
// round halves away from zero on their 15-digit decimal form, as displayed
// numbers do. The decimal and thousands separators are the regional ones.
class DisplayFormat {
 public:
  static DisplayFormat compile(std::string_view code);

  // Appends the text of a number, of a date serial and of a text cell.
  void appendNumber(double value, std::string& out,
                    const vb::RegionalSettings& regional = vb::RegionalSettings::current()) const;
  void appendDate(double serial, std::string& out,
                  const vb::RegionalSettings& regional = vb::RegionalSettings::current()) const;
  void appendText(std::string_view text, std::string& out) const;

  std::string number(double value) const {
    std::string out;
    appendNumber(value, out);
    return out;
  }

  // True when the code has a date or time section (a date value with a
  // General format is shown with the short date form instead).
  bool showsDates() const;
  // True when text is shown as it is (no text section dresses it).
  bool showsTextAsIs() const { return textSection() == nullptr; }

 private:
  struct Token {
    enum class Kind : std::uint8_t { Literal, Integer, Fraction, Point, Exponent, ExponentDigit, TextValue };
    Kind kind;
    char placeholder = 0;  // '0', '#' or '?' for digits; '+' or '-' for Exponent
    std::string text;      // Literal
  };
  struct Section {
    enum class Kind : std::uint8_t { General, Number, Date, Text } kind = Kind::General;
    std::vector<Token> tokens;
    std::string datePattern;  // Date: the code as a VB date pattern
    int integerDigits = 0;
    int fractionDigits = 0;
    int exponentDigits = 0;
    bool grouping = false;
    int scaling = 0;   // thousands dividing the value
    int percents = 0;  // "%" signs multiplying it by 100 each
    bool scientific = false;
    bool hasLiteralsInInteger = false;
  };

  static Section compileSection(std::string_view code);
  const Section* textSection() const;
  const Section* sectionFor(double value, bool& ownSign) const;
  void appendSection(const Section& s, double value, bool negative, std::string& out,
                     const vb::RegionalSettings& regional) const;

  std::vector<Section> sections_;
};

// The text a General cell shows for a number: up to ten significant digits,
// scientific notation from 1E+11 up and below 1E-09.
void appendGeneralNumber(double value, std::string& out, char decimalSeparator);

}  // namespace quill::spreadsheet

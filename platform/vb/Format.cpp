#include "platform/vb/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::vb {

namespace {

// Splits a pattern at the ";" that are not quoted or escaped.
std::vector<std::string_view> sections(std::string_view pattern) {
  std::vector<std::string_view> out;
  std::size_t begin = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '"')
      quoted = !quoted;
    else if (c == '\\' && !quoted)
      ++i;
    else if (c == ';' && !quoted) {
      out.push_back(pattern.substr(begin, i - begin));
      begin = i + 1;
    }
  }
  out.push_back(pattern.substr(begin));
  return out;
}

bool isDatePattern(std::string_view pattern) {
  bool quoted = false, dateField = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\\') {
      ++i;
      continue;
    }
    if (c == '0' || c == '#') return false;
    switch (c) {
      case 'd':
      case 'D':
      case 'm':
      case 'M':
      case 'y':
      case 'Y':
      case 'h':
      case 'H':
      case 'n':
      case 'N':
      case 's':
      case 'S':
        dateField = true;
        break;
      default:
        break;
    }
  }
  return dateField;
}

// One piece of a number pattern.
struct Piece {
  enum Kind { Literal, Zero, Hash, Point } kind;
  std::string text;  // for literals
};

struct NumberPattern {
  std::vector<Piece> pieces;
  int wholePlaces = 0;    // placeholders before the point
  int decimalPlaces = 0;  // placeholders after the point
  bool grouping = false;
  int scale = 0;    // how many times to divide by 1000
  int percent = 0;  // how many times to multiply by 100
  bool hasPlaceholder = false;
};

NumberPattern parseNumberPattern(std::string_view text) {
  NumberPattern p;
  bool afterPoint = false;
  // Commas seen since the last integer placeholder: grouping when another
  // placeholder follows, scaling when the point or the end follows.
  int pendingCommas = 0;
  auto literal = [&p](std::string_view s) {
    if (!p.pieces.empty() && p.pieces.back().kind == Piece::Literal)
      p.pieces.back().text.append(s);
    else
      p.pieces.push_back({Piece::Literal, std::string(s)});
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if ((c == '0' || c == '#') && !afterPoint) {
      if (pendingCommas > 0 && p.wholePlaces > 0) p.grouping = true;
      pendingCommas = 0;
      p.pieces.push_back({c == '0' ? Piece::Zero : Piece::Hash, {}});
      ++p.wholePlaces;
      p.hasPlaceholder = true;
    } else if (c == '0' || c == '#') {
      p.pieces.push_back({c == '0' ? Piece::Zero : Piece::Hash, {}});
      ++p.decimalPlaces;
      p.hasPlaceholder = true;
    } else if (c == '.' && !afterPoint) {
      p.scale += p.wholePlaces > 0 ? pendingCommas : 0;
      pendingCommas = 0;
      afterPoint = true;
      p.pieces.push_back({Piece::Point, {}});
      p.hasPlaceholder = true;
    } else if (c == ',' && !afterPoint) {
      ++pendingCommas;
    } else if (c == '%') {
      ++p.percent;
      literal("%");
    } else if (c == '"') {
      std::size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) close = text.size();
      literal(text.substr(i + 1, close - i - 1));
      i = close;
    } else if (c == '\\') {
      if (i + 1 < text.size()) literal(text.substr(++i, 1));
    } else {
      literal(text.substr(i, 1));
    }
  }
  if (!afterPoint && p.wholePlaces > 0) p.scale += pendingCommas;
  return p;
}

// The absolute value as decimal digits, rounded to `decimals` places, halves
// away from zero on the number's 15-significant-digit decimal form.
void roundedDigits(double value, int decimals, std::string& whole, std::string& fraction) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  // buffer: d.dddddddddddddde[+-]xx
  std::string digits;
  digits += buffer[0];
  digits.append(buffer + 2, 14);
  int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  if (std::fabs(value) == 0.0) exponent = 0;
  // The digits stand for 0.digits x 10^(exponent + 1); make the point's
  // place explicit by padding zeros on the left.
  int pointAt = exponent + 1;  // digits before the point
  if (pointAt < 0) {
    digits.insert(0, static_cast<std::size_t>(-pointAt), '0');
    pointAt = 0;
  }
  if (static_cast<int>(digits.size()) < pointAt) digits.append(static_cast<std::size_t>(pointAt) - digits.size(), '0');
  std::size_t keep = static_cast<std::size_t>(pointAt + decimals);
  if (keep < digits.size()) {
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
      int i = static_cast<int>(keep) - 1;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0)
        ++digits[static_cast<std::size_t>(i)];
      else {
        digits.insert(0, 1, '1');
        ++pointAt;
      }
    }
  }
  whole = digits.substr(0, static_cast<std::size_t>(pointAt));
  fraction = digits.substr(static_cast<std::size_t>(pointAt));
  std::size_t firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? std::string() : whole.substr(firstNonZero);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

std::string formatNumber(double value, const NumberPattern& p, bool writeSign) {
  const RegionalSettings& settings = RegionalSettings::current();
  double scaled = value * std::pow(100.0, p.percent) / std::pow(1000.0, p.scale);
  std::string whole, fraction;
  roundedDigits(scaled, p.decimalPlaces, whole, fraction);
  bool negative = writeSign && std::signbit(scaled) && scaled != 0.0;

  // The integer positions, left to right: what each placeholder writes.
  std::vector<std::string> wholeOut(static_cast<std::size_t>(p.wholePlaces));
  {
    int firstZero = -1;
    int k = 0;
    for (const Piece& piece : p.pieces) {
      if (piece.kind == Piece::Point) break;
      if (piece.kind == Piece::Zero && firstZero < 0) firstZero = k;
      if (piece.kind == Piece::Zero || piece.kind == Piece::Hash) ++k;
    }
    int digitsLeft = static_cast<int>(whole.size());
    for (int pos = p.wholePlaces - 1; pos >= 0; --pos) {
      std::string& out = wholeOut[static_cast<std::size_t>(pos)];
      if (digitsLeft > 0) {
        // The leftmost placeholder takes every digit that is left.
        int take = pos == 0 ? digitsLeft : 1;
        out = whole.substr(static_cast<std::size_t>(digitsLeft - take), static_cast<std::size_t>(take));
        digitsLeft -= take;
      } else if (firstZero >= 0 && pos >= firstZero) {
        out.assign(1, '0');
      }
    }
  }
  // Thousands separators count the digits written before the point.
  std::size_t wholeDigits = 0;
  for (const auto& s : wholeOut) wholeDigits += s.size();

  int lastZero = -1;
  {
    int k = 0;
    bool after = false;
    for (const Piece& piece : p.pieces) {
      if (piece.kind == Piece::Point)
        after = true;
      else if (after && (piece.kind == Piece::Zero || piece.kind == Piece::Hash)) {
        if (piece.kind == Piece::Zero) lastZero = k;
        ++k;
      }
    }
  }

  std::string out;
  bool signWritten = !negative;
  bool afterPoint = false;
  int wholeIndex = 0, fractionIndex = 0;
  std::size_t digitsWritten = 0;
  for (const Piece& piece : p.pieces) {
    if (piece.kind != Piece::Literal && !signWritten) {
      out += '-';
      signWritten = true;
    }
    switch (piece.kind) {
      case Piece::Literal:
        out += piece.text;
        break;
      case Piece::Point:
        if (p.wholePlaces == 0) out += whole;  // ".00" still shows the whole part
        out += settings.decimalSeparator;
        afterPoint = true;
        break;
      case Piece::Zero:
      case Piece::Hash:
        if (!afterPoint) {
          for (char d : wholeOut[static_cast<std::size_t>(wholeIndex)]) {
            out += d;
            ++digitsWritten;
            std::size_t remaining = wholeDigits - digitsWritten;
            if (p.grouping && remaining > 0 && remaining % 3 == 0) out += settings.thousandsSeparator;
          }
          ++wholeIndex;
        } else {
          if (fractionIndex < static_cast<int>(fraction.size()))
            out += fraction[static_cast<std::size_t>(fractionIndex)];
          else if (fractionIndex <= lastZero)
            out += '0';
          ++fractionIndex;
        }
        break;
    }
  }
  if (p.wholePlaces == 0 && p.decimalPlaces == 0 && !afterPoint && p.hasPlaceholder) out += whole;
  return out;
}

std::string namedPattern(std::string_view pattern) {
  std::string name = foldCase(pattern);
  if (name == "fixed") return "0.00";
  if (name == "standard") return "#,##0.00";
  if (name == "percent") return "0.00%";
  if (name == "short date") return RegionalSettings::current().shortDateFormat;
  if (name == "long time" || name == "medium time") return "hh:mm:ss";
  if (name == "short time") return "hh:mm";
  return std::string(pattern);
}

std::string formatAsDate(const Variant& value, std::string_view pattern) {
  if (value.isString()) {
    auto date = parseDateText(value.stringValue());
    if (!date) return value.stringValue();
    return FormatDate(*date, pattern);
  }
  return FormatDate(CDate(value), pattern);
}

}  // namespace

double roundAsShown(double value, int decimals) {
  if (!std::isfinite(value) || decimals < 0 || decimals > 15) return value;
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale;
  // Far from a half the binary product rounds as the decimal does; only a
  // near half needs the decimal digits.
  const double fraction = std::fabs(scaled - std::trunc(scaled));
  const double nearHalf = std::max(1e-6, std::fabs(scaled) * 1e-13);
  double result = 0;
  if (std::fabs(fraction - 0.5) > nearHalf) {
    result = std::fabs(std::round(scaled) / scale);
  } else {
    std::string whole, decimalsText;
    roundedDigits(value, decimals, whole, decimalsText);
    const std::string digits = (whole.empty() ? std::string("0") : whole) + "." + decimalsText + "0";
    std::from_chars(digits.data(), digits.data() + digits.size(), result);
  }
  // No negative zero: a value that rounds to nothing is nothing.
  return result == 0 ? 0.0 : std::signbit(value) ? -result : result;
}

std::string Format(const Variant& value, std::string_view pattern) {
  if (value.isNull() || value.isEmpty()) return {};
  std::string name = foldCase(pattern);
  if (pattern.empty() || name == "general number") {
    return value.type() == VarType::Date && !pattern.empty() ? doubleToText(value.dateValue().serial) : CStr(value);
  }
  if (name == "general date")
    return value.isString() && !parseDateText(value.stringValue()) ? value.stringValue() : CStr(Variant(CDate(value)));
  std::string resolved = namedPattern(pattern);
  if (isDatePattern(resolved)) return formatAsDate(value, resolved);

  double number;
  if (value.isString()) {
    auto parsed = parseNumber(value.stringValue());
    if (!parsed) return value.stringValue();
    number = *parsed;
  } else {
    number = CDbl(value);
  }

  auto parts = sections(resolved);
  std::string_view chosen = parts[0];
  bool writeSign = true;
  if (number < 0 && parts.size() >= 2 && !parts[1].empty()) {
    chosen = parts[1];
    writeSign = false;
    number = -number;
  } else if (number == 0.0 && parts.size() >= 3 && !parts[2].empty()) {
    chosen = parts[2];
  }
  return formatNumber(number, parseNumberPattern(chosen), writeSign);
}

}  // namespace quill::vb

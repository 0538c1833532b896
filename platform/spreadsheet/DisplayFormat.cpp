#include "platform/spreadsheet/DisplayFormat.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/automation/Dispatch.h"
#include "platform/vb/Dates.h"

namespace quill::spreadsheet {

namespace {

// |value| rounded half away from zero at `decimals` places on its 15-digit
// decimal form: the integer digits (no leading zeros; empty below 1) and
// exactly `decimals` fraction digits. Answers the decimal exponent of the
// rounded value's first digit (for scientific notation).
int roundedDigits(double value, int decimals, std::string& integer, std::string& fraction) {
  integer.clear();
  fraction.assign(static_cast<std::size_t>(std::max(decimals, 0)), '0');
  value = std::fabs(value);
  if (value == 0.0 || !std::isfinite(value)) return 0;
  char buf[40];
  auto end = fmt::format_to_n(buf, sizeof buf - 1, "{:.14e}", value).out;
  *end = 0;
  char digits[17];
  digits[0] = buf[0];
  for (int i = 0; i < 14; ++i) digits[i + 1] = buf[i + 2];
  int exponent = std::atoi(buf + 17);  // after "d.dddddddddddddde"
  int point = exponent + 1;            // digits before the decimal point
  int keep = point + decimals;
  if (keep < 0) return exponent;
  std::string kept;
  if (keep < 15) {
    kept.assign(digits, static_cast<std::size_t>(keep));
    if (digits[keep] >= '5') {
      int i = keep - 1;
      while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++kept[static_cast<std::size_t>(i)];
      } else {
        kept.insert(kept.begin(), '1');
        ++point;
        ++exponent;
      }
    }
  } else {
    kept.assign(digits, 15);
    kept.append(static_cast<std::size_t>(keep - 15), '0');
  }
  if (point > 0) {
    integer = kept.substr(0, static_cast<std::size_t>(point));
    std::size_t nonZero = integer.find_first_not_of('0');
    integer.erase(0, nonZero == std::string::npos ? integer.size() : nonZero);
    fraction = kept.substr(static_cast<std::size_t>(point));
  } else {
    fraction = std::string(static_cast<std::size_t>(-point), '0') + kept;
  }
  fraction.resize(static_cast<std::size_t>(std::max(decimals, 0)), '0');
  return exponent;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// The same for the numbers most cells hold, without going through decimal
// text: when the value at `decimals` places is below 1E9 its 15-digit form
// agrees with the value itself to 5E-7 of the last place, so that a value
// further than 1E-6 from a half rounds to the same digits directly. Nothing
// for the others.
bool quickRoundedDigits(double value, int decimals, std::string& integer, std::string& fraction) {
  if (decimals < 0 || decimals > 9) return false;
  double scaled = std::fabs(value) * kPowersOfTen[decimals];
  if (!(scaled < 1e9)) return false;
  double whole = std::floor(scaled);
  double rest = scaled - whole;
  if (std::fabs(rest - 0.5) < 1e-6) return false;
  auto rounded = static_cast<std::uint64_t>(whole) + (rest > 0.5 ? 1 : 0);
  auto unit = static_cast<std::uint64_t>(kPowersOfTen[decimals]);
  char buf[24];
  integer.clear();
  if (std::uint64_t high = rounded / unit) integer.append(buf, std::to_chars(buf, buf + sizeof buf, high).ptr);
  fraction.assign(static_cast<std::size_t>(decimals), '0');
  std::uint64_t low = rounded % unit;
  for (int i = decimals - 1; i >= 0 && low; --i, low /= 10)
    fraction[static_cast<std::size_t>(i)] = static_cast<char>('0' + low % 10);
  return true;
}

bool isDatePart(char c) {
  switch (c | 0x20) {
    case 'd':
    case 'm':
    case 'y':
    case 'h':
    case 's':
      return true;
    default:
      return false;
  }
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

void appendGeneralNumber(double value, std::string& out, char decimalSeparator) {
  if (value == 0.0 || !std::isfinite(value)) {
    out += '0';
    return;
  }
  if (value < 0) out += '-';
  double magnitude = std::fabs(value);
  if (magnitude >= 1e11 || magnitude < 1e-9) {
    std::string text = fmt::format("{:.5E}", magnitude);
    auto e = text.find('E');
    std::size_t last = text.find_last_not_of('0', e - 1);
    if (text[last] == '.') --last;
    std::string mantissa = text.substr(0, last + 1);
    for (char& c : mantissa)
      if (c == '.') c = decimalSeparator;
    out += mantissa;
    out += text.substr(e);
    return;
  }
  int integerDigits = magnitude >= 1 ? static_cast<int>(std::floor(std::log10(magnitude))) + 1 : 1;
  std::string integer, fraction;
  int decimals = std::max(0, 10 - integerDigits);
  if (!quickRoundedDigits(magnitude, decimals, integer, fraction))
    roundedDigits(magnitude, decimals, integer, fraction);
  std::size_t last = fraction.find_last_not_of('0');
  fraction.resize(last == std::string::npos ? 0 : last + 1);
  out += integer.empty() ? "0" : integer;
  if (!fraction.empty()) {
    out += decimalSeparator;
    out += fraction;
  }
}

DisplayFormat DisplayFormat::compile(std::string_view code) {
  DisplayFormat format;
  std::size_t start = 0;
  bool quoted = false, bracket = false;
  for (std::size_t i = 0; i <= code.size(); ++i) {
    if (i < code.size()) {
      char c = code[i];
      if (quoted) {
        quoted = c != '"';
        continue;
      }
      if (bracket) {
        bracket = c != ']';
        continue;
      }
      if (c == '"')
        quoted = true;
      else if (c == '[')
        bracket = true;
      else if (c == '\\' || c == '_' || c == '*')
        ++i;
      if (c != ';') continue;
    }
    format.sections_.push_back(compileSection(code.substr(start, std::min(i, code.size()) - start)));
    start = i + 1;
  }
  return format;
}

DisplayFormat::Section DisplayFormat::compileSection(std::string_view code) {
  Section s;
  if (equalsNoCase(trimmed(code), "General") || trimmed(code).empty()) return s;
  bool point = false, exponent = false, dates = false, text = false;
  auto literal = [&s](std::string_view t) {
    if (!s.tokens.empty() && s.tokens.back().kind == Token::Kind::Literal) {
      s.tokens.back().text += t;
    } else {
      s.tokens.push_back({Token::Kind::Literal, 0, std::string(t)});
    }
  };
  auto lastIsDigit = [&s] {
    return !s.tokens.empty() &&
           (s.tokens.back().kind == Token::Kind::Integer || s.tokens.back().kind == Token::Kind::Fraction);
  };
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    switch (c) {
      case '"': {
        std::size_t close = code.find('"', i + 1);
        if (close == std::string_view::npos) close = code.size();
        literal(code.substr(i + 1, close - i - 1));
        i = close;
        break;
      }
      case '\\':
        if (i + 1 < code.size()) literal(code.substr(++i, 1));
        break;
      case '_':
        ++i;
        literal(" ");
        break;
      case '*':
        ++i;
        break;
      case '[': {
        std::size_t close = code.find(']', i);
        i = close == std::string_view::npos ? code.size() : close;
        break;
      }
      case '@':
        text = true;
        s.tokens.push_back({Token::Kind::TextValue, 0, {}});
        break;
      case '0':
      case '#':
      case '?':
        if (exponent) {
          s.tokens.push_back({Token::Kind::ExponentDigit, c, {}});
          ++s.exponentDigits;
        } else if (point) {
          s.tokens.push_back({Token::Kind::Fraction, c, {}});
          ++s.fractionDigits;
        } else {
          s.tokens.push_back({Token::Kind::Integer, c, {}});
          ++s.integerDigits;
        }
        break;
      case '.':
        if (!point && !exponent) {
          point = true;
          s.tokens.push_back({Token::Kind::Point, 0, {}});
        } else {
          literal(".");
        }
        break;
      case ',': {
        if (!lastIsDigit()) {
          literal(",");
          break;
        }
        std::size_t next = i;
        while (next < code.size() && code[next] == ',') ++next;
        bool moreDigits = next < code.size() && (code[next] == '0' || code[next] == '#' || code[next] == '?');
        if (moreDigits && !point) {
          s.grouping = true;
        } else if (!moreDigits) {
          s.scaling += static_cast<int>(next - i);
        }
        i = next - 1;
        break;
      }
      case '%':
        ++s.percents;
        literal("%");
        break;
      case 'E':
      case 'e':
        if (!exponent && (s.integerDigits + s.fractionDigits) > 0 && i + 1 < code.size() &&
            (code[i + 1] == '+' || code[i + 1] == '-')) {
          exponent = true;
          s.scientific = true;
          s.tokens.push_back({Token::Kind::Exponent, code[++i], {}});
          break;
        }
        [[fallthrough]];
      default:
        if (isDatePart(c)) dates = true;
        literal(code.substr(i, 1));
        break;
    }
  }
  int digits = s.integerDigits + s.fractionDigits;
  if (digits == 0 && dates) {
    s.kind = Section::Kind::Date;
    // VB date patterns read the same letters; colours and conditions go.
    std::string pattern;
    for (std::size_t i = 0; i < code.size(); ++i) {
      if (code[i] == '[') {
        std::size_t close = code.find(']', i);
        i = close == std::string_view::npos ? code.size() : close;
        continue;
      }
      pattern += code[i];
    }
    s.datePattern = pattern;
  } else if (digits == 0 && text) {
    s.kind = Section::Kind::Text;
  } else {
    s.kind = Section::Kind::Number;
    int first = -1, last = -1;
    for (int i = 0; i < static_cast<int>(s.tokens.size()); ++i) {
      if (s.tokens[static_cast<std::size_t>(i)].kind != Token::Kind::Integer) continue;
      if (first < 0) first = i;
      last = i;
    }
    for (int i = first + 1; first >= 0 && i < last; ++i)
      if (s.tokens[static_cast<std::size_t>(i)].kind == Token::Kind::Literal) s.hasLiteralsInInteger = true;
  }
  return s;
}

bool DisplayFormat::showsDates() const {
  for (const auto& s : sections_)
    if (s.kind == Section::Kind::Date) return true;
  return false;
}

const DisplayFormat::Section* DisplayFormat::sectionFor(double value, bool& ownSign) const {
  ownSign = false;
  // A fourth section, or a lone text section, is for text only.
  std::size_t numeric = sections_.size();
  if (numeric == 4) numeric = 3;
  if (numeric == 1 && sections_[0].kind == Section::Kind::Text) return nullptr;
  if (value < 0 && numeric >= 2) {
    ownSign = true;
    return &sections_[1];
  }
  if (value == 0 && numeric >= 3) return &sections_[2];
  return &sections_[0];
}

void DisplayFormat::appendNumber(double value, std::string& out, const vb::RegionalSettings& regional) const {
  bool ownSign = false;
  const Section* s = sections_.empty() ? nullptr : sectionFor(value, ownSign);
  if (!s || s->kind == Section::Kind::General || s->kind == Section::Kind::Text) {
    appendGeneralNumber(ownSign ? std::fabs(value) : value, out, regional.decimalSeparator);
    return;
  }
  if (s->kind == Section::Kind::Date) {
    out += vb::FormatDate(Date{value}, s->datePattern);
    return;
  }
  appendSection(*s, value, value < 0 && !ownSign, out, regional);
}

void DisplayFormat::appendSection(const Section& s, double value, bool negative, std::string& out,
                                  const vb::RegionalSettings& regional) const {
  double v = std::fabs(value);
  for (int i = 0; i < s.percents; ++i) v *= 100;
  for (int i = 0; i < s.scaling; ++i) v /= 1000;

  std::string integer, fraction;
  int exponent = 0;
  if (s.scientific) {
    // Engineering notation ("##0.0E+0") keeps exponents in steps of the
    // integer placeholders when they begin with "#".
    int step = 1;
    for (const auto& t : s.tokens)
      if (t.kind == Token::Kind::Integer) {
        if (t.placeholder == '#' && s.integerDigits > 1) step = s.integerDigits;
        break;
      }
    if (v != 0) {
      int e10 = static_cast<int>(std::floor(std::log10(v)));
      for (int attempt = 0; attempt < 3; ++attempt) {
        exponent = static_cast<int>(std::floor(static_cast<double>(e10) / step)) * step;
        double mantissa = v / std::pow(10.0, exponent);
        int first = roundedDigits(mantissa, s.fractionDigits, integer, fraction);
        if (first < 0) {
          --e10;  // log10 came out a hair high
        } else if (first >= step) {
          e10 = exponent + step;  // rounding carried into a new digit
        } else {
          break;
        }
      }
    } else {
      roundedDigits(0, s.fractionDigits, integer, fraction);
    }
  } else if (!quickRoundedDigits(v, s.fractionDigits, integer, fraction)) {
    roundedDigits(v, s.fractionDigits, integer, fraction);
  }
  bool zero = integer.empty() && fraction.find_first_not_of('0') == std::string::npos;
  if (negative && !zero) out += '-';

  const int places = s.integerDigits;
  const int length = static_cast<int>(integer.size());
  // Integer digits that come out (for the thousands separators): all of the
  // number's and the zeros of "0" placeholders left of them.
  int total = length;
  {
    int j = places - 1;
    for (const auto& t : s.tokens) {
      if (t.kind != Token::Kind::Integer) continue;
      if (j >= length && t.placeholder == '0') ++total;
      --j;
    }
  }
  bool grouping = s.grouping && !s.hasLiteralsInInteger;
  int emitted = 0;
  auto digit = [&](char c) {
    if (grouping && emitted > 0 && (total - emitted) % 3 == 0) out += regional.thousandsSeparator;
    out += c;
    ++emitted;
  };
  std::size_t significant = fraction.find_last_not_of('0');
  significant = significant == std::string::npos ? 0 : significant + 1;

  int integerIndex = 0, fractionIndex = 0, exponentIndex = 0;
  std::string exponentText;
  if (s.scientific) exponentText = std::to_string(std::abs(exponent));
  bool pendingInteger = places == 0 && length > 0;  // ".00" still shows 12,50
  for (const auto& t : s.tokens) {
    switch (t.kind) {
      case Token::Kind::Literal:
        out += t.text;
        break;
      case Token::Kind::TextValue:
        break;
      case Token::Kind::Integer: {
        int fromRight = places - 1 - integerIndex;
        if (integerIndex == 0)
          for (int k = 0; k < length - places; ++k) digit(integer[static_cast<std::size_t>(k)]);
        if (fromRight < length) {
          digit(integer[static_cast<std::size_t>(length - 1 - fromRight)]);
        } else if (t.placeholder == '0') {
          digit('0');
        } else if (t.placeholder == '?') {
          out += ' ';
        }
        ++integerIndex;
        break;
      }
      case Token::Kind::Point:
        if (pendingInteger) {
          for (char c : integer) digit(c);
          pendingInteger = false;
        }
        out += regional.decimalSeparator;
        break;
      case Token::Kind::Fraction: {
        auto i = static_cast<std::size_t>(fractionIndex++);
        if (i < significant)
          out += fraction[i];
        else if (t.placeholder == '0')
          out += '0';
        else if (t.placeholder == '?')
          out += ' ';
        break;
      }
      case Token::Kind::Exponent:
        out += 'E';
        if (exponent < 0)
          out += '-';
        else if (t.placeholder == '+')
          out += '+';
        break;
      case Token::Kind::ExponentDigit: {
        int fromRight = s.exponentDigits - 1 - exponentIndex;
        int len = static_cast<int>(exponentText.size());
        if (exponentIndex == 0)
          for (int k = 0; k < len - s.exponentDigits; ++k) out += exponentText[static_cast<std::size_t>(k)];
        if (fromRight < len)
          out += exponentText[static_cast<std::size_t>(len - 1 - fromRight)];
        else if (t.placeholder == '0')
          out += '0';
        else if (t.placeholder == '?')
          out += ' ';
        ++exponentIndex;
        break;
      }
    }
  }
}

void DisplayFormat::appendDate(double serial, std::string& out, const vb::RegionalSettings& regional) const {
  bool ownSign = false;
  const Section* s = sections_.empty() ? nullptr : sectionFor(serial, ownSign);
  if (!s || s->kind == Section::Kind::General || s->kind == Section::Kind::Text) {
    out += vb::FormatDate(Date{serial}, regional.shortDateFormat);
    return;
  }
  appendNumber(serial, out, regional);
}

const DisplayFormat::Section* DisplayFormat::textSection() const {
  const Section* s = nullptr;
  if (sections_.size() == 4)
    s = &sections_[3];
  else if (sections_.size() == 1 && sections_[0].kind == Section::Kind::Text)
    s = &sections_[0];
  // "@" alone shows the text as it is.
  if (s && s->tokens.size() == 1 && s->tokens[0].kind == Token::Kind::TextValue) return nullptr;
  return s;
}

void DisplayFormat::appendText(std::string_view text, std::string& out) const {
  const Section* s = textSection();
  if (!s) {
    out += text;
    return;
  }
  for (const auto& t : s->tokens) {
    if (t.kind == Token::Kind::Literal)
      out += t.text;
    else if (t.kind == Token::Kind::TextValue)
      out += text;
  }
}

}  // namespace quill::spreadsheet

#include "platform/vb/Conversions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/automation/AutomationError.h"
#include "platform/vb/Dates.h"

namespace quill::vb {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

[[noreturn]] void typeMismatch() { throw vbError(vberr::TypeMismatch); }
[[noreturn]] void invalidUseOfNull() { throw vbError(vberr::InvalidUseOfNull); }

bool equalsNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Reads the normalised ASCII form "-123.45e6" (never locale-dependent).
std::optional<double> readPlain(const std::string& plain) {
  double value = 0;
  auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Underflow reads as 0, as VB does; a number too large overflows.
    std::size_t e = plain.find_first_of("eE");
    if (e != std::string::npos && plain.size() > e + 1 && plain[e + 1] == '-') return 0.0;
    throw vbError(vberr::Overflow);
  }
  if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
  return value;
}

double checkedDouble(double value) {
  if (!std::isfinite(value)) throw vbError(vberr::Overflow);
  return value;
}

}  // namespace

double roundHalfEven(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::optional<double> parseNumber(std::string_view text, const RegionalSettings& settings) {
  text = trimBlanks(text);
  std::string plain;
  plain.reserve(text.size() + 2);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  std::size_t digits = 0;
  // Whole part: digits, with thousands separators only between digits.
  while (i < text.size()) {
    char c = text[i];
    if (isDigit(c)) {
      plain += c;
      ++digits;
      ++i;
    } else if (c == settings.thousandsSeparator && digits > 0 && i + 1 < text.size() && isDigit(text[i + 1])) {
      ++i;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == settings.decimalSeparator) {
    plain += '.';
    ++i;
    while (i < text.size() && isDigit(text[i])) {
      plain += text[i++];
      ++digits;
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    std::size_t expDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
      plain += text[i++];
      ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return readPlain(plain);
}

std::string doubleToText(double value, const RegionalSettings& settings) {
  if (value == 0.0) return "0";  // never "-0"
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text(buffer);
  for (char& c : text)
    if (c == '.') c = settings.decimalSeparator;
  return text;
}

std::string CStr(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return {};
    case VarType::Null:
      invalidUseOfNull();
    case VarType::Boolean:
      return value.boolValue() ? "True" : "False";
    case VarType::Integer:
      return std::to_string(value.integerValue());
    case VarType::Long:
      return std::to_string(value.longValue());
    case VarType::Double:
      return doubleToText(value.doubleValue());
    case VarType::Date:
      return dateToText(value.dateValue());
    case VarType::String:
      return value.stringValue();
    case VarType::Object:
    case VarType::Array:
      break;
  }
  typeMismatch();
}

double CDbl(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return 0.0;
    case VarType::Null:
      invalidUseOfNull();
    case VarType::Boolean:
      return value.boolValue() ? -1.0 : 0.0;
    case VarType::Integer:
      return value.integerValue();
    case VarType::Long:
      return value.longValue();
    case VarType::Double:
      return value.doubleValue();
    case VarType::Date:
      return value.dateValue().serial;
    case VarType::String: {
      auto number = parseNumber(value.stringValue());
      if (!number) typeMismatch();
      return checkedDouble(*number);
    }
    case VarType::Object:
    case VarType::Array:
      break;
  }
  typeMismatch();
}

std::int16_t CInt(const Variant& value) {
  if (value.type() == VarType::Integer) return value.integerValue();
  double rounded = roundHalfEven(CDbl(value));
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw vbError(vberr::Overflow);
  return static_cast<std::int16_t>(rounded);
}

std::int32_t CLng(const Variant& value) {
  if (value.type() == VarType::Long) return value.longValue();
  double rounded = roundHalfEven(CDbl(value));
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw vbError(vberr::Overflow);
  return static_cast<std::int32_t>(rounded);
}

bool CBool(const Variant& value) {
  switch (value.type()) {
    case VarType::Boolean:
      return value.boolValue();
    case VarType::String: {
      std::string_view text = trimBlanks(value.stringValue());
      if (equalsNoCaseAscii(text, "True")) return true;
      if (equalsNoCaseAscii(text, "False")) return false;
      return CDbl(value) != 0.0;
    }
    default:
      return CDbl(value) != 0.0;
  }
}

Date CDate(const Variant& value) {
  switch (value.type()) {
    case VarType::Date:
      return value.dateValue();
    case VarType::String: {
      auto date = parseDateText(value.stringValue());
      if (!date) typeMismatch();
      return *date;
    }
    case VarType::Null:
      invalidUseOfNull();
    case VarType::Object:
    case VarType::Array:
      typeMismatch();
    default: {
      double serial = CDbl(value);
      if (!(serial >= kMinDateSerial && serial < kMaxDateSerial + 1.0 / 86400.0)) throw vbError(vberr::Overflow);
      return Date{serial};
    }
  }
}

bool IsNumeric(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
      return true;
    case VarType::String:
      try {
        return parseNumber(value.stringValue()).has_value();
      } catch (const AutomationError&) {
        return true;  // a number, only too large for a Double
      }
    default:
      return false;
  }
}

bool IsDate(const Variant& value) {
  if (value.type() == VarType::Date) return true;
  if (value.type() == VarType::String) return parseDateText(value.stringValue()).has_value();
  return false;
}

double Val(std::string_view text) {
  // Val skips blanks anywhere in the number ("1 2" is 12) and stops at the
  // first character that cannot continue it.
  std::string plain;
  std::size_t i = 0;
  auto skip = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  };
  skip();
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  bool seenPoint = false;
  std::size_t digits = 0;
  for (; skip(), i < text.size(); ++i) {
    char c = text[i];
    if (isDigit(c)) {
      plain += c;
      ++digits;
    } else if (c == '.' && !seenPoint) {
      plain += '.';
      seenPoint = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t save = i;
    std::string exponent = "e";
    ++i;
    skip();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) exponent += text[i++];
    std::size_t expDigits = 0;
    for (; skip(), i < text.size() && isDigit(text[i]); ++i, ++expDigits) exponent += text[i];
    if (expDigits > 0)
      plain += exponent;
    else
      i = save;
  }
  if (plain.back() == '.') plain.pop_back();
  if (plain == "-" || plain.empty()) return 0.0;
  auto value = readPlain(plain);
  return value ? *value : 0.0;
}

}  // namespace quill::vb

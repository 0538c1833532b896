#include "platform/vb/Dates.h"

#include <fmt/format.h>

#include <cmath>

#include "platform/automation/AutomationError.h"
#include "platform/automation/Dispatch.h"
#include "platform/vb/OleDate.h"

namespace quill::vb {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Days from the zero date, ignoring the time of day (the calendar day).
long long dayNumber(Date date) {
  DateParts p = dateParts(date);
  return static_cast<long long>(std::llround(makeDate(p.year, p.month, p.day).serial));
}

long long secondsOf(Date date) {
  DateParts p = dateParts(date);
  return dayNumber(date) * 86400 + p.hour * 3600LL + p.minute * 60LL + p.second;
}

Date checkedDate(Date date) {
  if (!(date.serial >= kMinDateSerial && date.serial <= kMaxDateSerial + 1e-9)) throw vbError(vberr::Overflow);
  return date;
}

int daysInMonth(int year, int month) { return dateParts(makeDate(year, month + 1, 0)).day; }

Date addMonths(Date date, long long months) {
  DateParts p = dateParts(date);
  long long total = static_cast<long long>(p.year) * 12 + (p.month - 1) + months;
  if (total < 100 * 12 || total > 9999 * 12 + 11) throw vbError(vberr::Overflow);
  int year = static_cast<int>(total / 12);
  int month = static_cast<int>(total % 12) + 1;
  int day = std::min(p.day, daysInMonth(year, month));
  return makeDate(year, month, day, p.hour, p.minute, p.second);
}

Date addSeconds(Date date, double seconds) {
  double total = static_cast<double>(secondsOf(date)) + seconds;
  if (std::fabs(total) > 1e15) throw vbError(vberr::Overflow);
  long long whole = static_cast<long long>(total);
  long long days = whole >= 0 ? whole / 86400 : -((-whole + 86399) / 86400);
  long long rest = whole - days * 86400;
  if (days < -700000 || days > 3000000) throw vbError(vberr::Overflow);
  return checkedDate(makeDate(1899, 12, 30 + static_cast<int>(days), 0, 0, static_cast<int>(rest)));
}

// Reads 1 to `maxDigits` digits at `pos`.
bool readNumber(std::string_view s, std::size_t& pos, std::size_t maxDigits, int& value, std::size_t& count) {
  count = 0;
  value = 0;
  while (pos < s.size() && isDigit(s[pos]) && count < maxDigits) {
    value = value * 10 + (s[pos] - '0');
    ++pos;
    ++count;
  }
  return count > 0 && (pos >= s.size() || !isDigit(s[pos]));
}

void skipBlanks(std::string_view s, std::size_t& pos) {
  while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
}

// "hh:mm[:ss]" from `pos` to the end (trailing blanks allowed).
bool readTime(std::string_view s, std::size_t pos, int& h, int& m, int& sec) {
  std::size_t n = 0;
  if (!readNumber(s, pos, 2, h, n)) return false;
  if (pos >= s.size() || s[pos] != ':') return false;
  ++pos;
  if (!readNumber(s, pos, 2, m, n)) return false;
  sec = 0;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (!readNumber(s, pos, 2, sec, n)) return false;
  }
  skipBlanks(s, pos);
  return pos == s.size() && h <= 23 && m <= 59 && sec <= 59;
}

bool isDateSeparator(char c) { return c == '-' || c == '/' || c == '.'; }

std::optional<Date> validDate(int year, int month, int day, int h, int m, int s) {
  if (month < 1 || month > 12 || day < 1 || year < 100 || year > 9999) return std::nullopt;
  if (day > daysInMonth(year, month)) return std::nullopt;
  return makeDate(year, month, day, h, m, s);
}

}  // namespace

int Year(Date date) { return dateParts(date).year; }
int Month(Date date) { return dateParts(date).month; }
int Day(Date date) { return dateParts(date).day; }
int Hour(Date date) { return dateParts(date).hour; }
int Minute(Date date) { return dateParts(date).minute; }
int Second(Date date) { return dateParts(date).second; }

int Weekday(Date date) {
  // The zero date, 30-12-1899, was a Saturday.
  long long n = dayNumber(date);
  return static_cast<int>(((n + 6) % 7 + 7) % 7) + 1;
}

Date DateAdd(std::string_view interval, double number, Date date) {
  std::string unit = foldCase(interval);
  double whole = std::trunc(number);
  if (!std::isfinite(whole) || std::fabs(whole) > 1e9) throw vbError(vberr::Overflow);
  long long n = static_cast<long long>(whole);
  if (unit == "yyyy") return checkedDate(addMonths(date, n * 12));
  if (unit == "q") return checkedDate(addMonths(date, n * 3));
  if (unit == "m") return checkedDate(addMonths(date, n));
  if (unit == "d" || unit == "y" || unit == "w") return addSeconds(date, whole * 86400.0);
  if (unit == "ww") return addSeconds(date, whole * 7 * 86400.0);
  if (unit == "h") return addSeconds(date, whole * 3600.0);
  if (unit == "n") return addSeconds(date, whole * 60.0);
  if (unit == "s") return addSeconds(date, whole);
  throw vbError(vberr::InvalidCall);
}

long long DateDiff(std::string_view interval, Date from, Date to) {
  std::string unit = foldCase(interval);
  DateParts a = dateParts(from), b = dateParts(to);
  if (unit == "yyyy") return b.year - a.year;
  if (unit == "q") return (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3);
  if (unit == "m") return (b.year * 12LL + b.month) - (a.year * 12LL + a.month);
  if (unit == "d" || unit == "y") return dayNumber(to) - dayNumber(from);
  if (unit == "w" || unit == "ww") return (dayNumber(to) - dayNumber(from)) / 7;
  long long seconds = secondsOf(to) - secondsOf(from);
  if (unit == "h") return (secondsOf(to) / 3600) - (secondsOf(from) / 3600);
  if (unit == "n") return (secondsOf(to) / 60) - (secondsOf(from) / 60);
  if (unit == "s") return seconds;
  throw vbError(vberr::InvalidCall);
}

std::string FormatDate(Date date, std::string_view pattern) {
  const RegionalSettings& settings = RegionalSettings::current();
  DateParts p = dateParts(date);
  std::string out;
  out.reserve(pattern.size() + 8);
  // Whether the last field written was an hour: "mm" right after it means minutes.
  bool afterHour = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::size_t run = 1;
    while (i + run < pattern.size() && (pattern[i + run] == c)) ++run;
    switch (lower) {
      case 'd':
        out += run >= 2 ? fmt::format("{:02}", p.day) : fmt::format("{}", p.day);
        afterHour = false;
        break;
      case 'y':
        out += run >= 3 ? fmt::format("{:04}", p.year) : fmt::format("{:02}", p.year % 100);
        afterHour = false;
        break;
      case 'h':
        out += run >= 2 ? fmt::format("{:02}", p.hour) : fmt::format("{}", p.hour);
        afterHour = true;
        break;
      case 'n':
        out += run >= 2 ? fmt::format("{:02}", p.minute) : fmt::format("{}", p.minute);
        afterHour = false;
        break;
      case 's':
        out += run >= 2 ? fmt::format("{:02}", p.second) : fmt::format("{}", p.second);
        afterHour = false;
        break;
      case 'm': {
        // Minutes when an hour came just before or seconds come just after,
        // looking past the separators between them.
        std::size_t next = i + run;
        while (next < pattern.size() && (pattern[next] == ':' || pattern[next] == ' ')) ++next;
        bool minutes = afterHour || (next < pattern.size() && (pattern[next] == 's' || pattern[next] == 'S'));
        int value = minutes ? p.minute : p.month;
        out += run >= 2 ? fmt::format("{:02}", value) : fmt::format("{}", value);
        afterHour = false;
        break;
      }
      case '/':
        out.append(run, settings.dateSeparator());
        break;
      case '"': {
        std::size_t close = pattern.find('"', i + 1);
        if (close == std::string_view::npos) close = pattern.size();
        out += pattern.substr(i + 1, close - i - 1);
        i = close + 1;
        continue;
      }
      case '\\':
        if (i + 1 < pattern.size()) out += pattern[i + 1];
        i += 2;
        continue;
      default:
        out.append(pattern.substr(i, run));
        break;
    }
    i += run;
  }
  return out;
}

std::string dateToText(Date date, const RegionalSettings& settings) {
  DateParts p = dateParts(date);
  bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
  std::string time = fmt::format("{:02}:{:02}:{:02}", p.hour, p.minute, p.second);
  if (std::trunc(date.serial) == 0.0 && p.year == 1899 && p.month == 12 && p.day == 30) return time;
  std::string text;
  for (std::size_t i = 0; i < settings.shortDateFormat.size();) {
    char c = settings.shortDateFormat[i];
    std::size_t run = 1;
    while (i + run < settings.shortDateFormat.size() && settings.shortDateFormat[i + run] == c) ++run;
    if (c == 'd')
      text += run >= 2 ? fmt::format("{:02}", p.day) : fmt::format("{}", p.day);
    else if (c == 'm')
      text += run >= 2 ? fmt::format("{:02}", p.month) : fmt::format("{}", p.month);
    else if (c == 'y')
      text += run >= 3 ? fmt::format("{:04}", p.year) : fmt::format("{:02}", p.year % 100);
    else
      text.append(run, c);
    i += run;
  }
  if (hasTime) text += " " + time;
  return text;
}

std::optional<Date> parseDateText(std::string_view text, const RegionalSettings& settings) {
  std::size_t pos = 0;
  skipBlanks(text, pos);
  std::size_t start = pos;
  int h = 0, m = 0, s = 0;
  // A time alone.
  if (text.find(':') != std::string_view::npos && text.find_first_of("-/.") == std::string_view::npos) {
    if (!readTime(text, start, h, m, s)) return std::nullopt;
    return makeDate(1899, 12, 30, h, m, s);
  }

  int parts[3];
  std::size_t widths[3];
  for (int k = 0; k < 3; ++k) {
    if (!readNumber(text, pos, 4, parts[k], widths[k])) return std::nullopt;
    if (k < 2) {
      if (pos >= text.size() || !isDateSeparator(text[pos])) return std::nullopt;
      ++pos;
    }
  }
  std::size_t afterDate = pos;
  skipBlanks(text, pos);
  if (pos < text.size()) {
    if (pos == afterDate) return std::nullopt;  // "01-02-2024x"
    if (!readTime(text, pos, h, m, s)) return std::nullopt;
  }

  int year, month, day;
  std::size_t yearWidth;
  if (widths[0] >= 3 || settings.dateOrder() == DateOrder::YearMonthDay) {
    year = parts[0], month = parts[1], day = parts[2], yearWidth = widths[0];
    if (widths[1] > 2 || widths[2] > 2) return std::nullopt;
  } else if (settings.dateOrder() == DateOrder::MonthDayYear) {
    month = parts[0], day = parts[1], year = parts[2], yearWidth = widths[2];
    if (widths[0] > 2 || widths[1] > 2) return std::nullopt;
  } else {
    day = parts[0], month = parts[1], year = parts[2], yearWidth = widths[2];
    if (widths[0] > 2 || widths[1] > 2) return std::nullopt;
  }
  if (yearWidth <= 2)
    year += year < 30 ? 2000 : 1900;
  else if (yearWidth == 3)
    return std::nullopt;
  return validDate(year, month, day, h, m, s);
}

}  // namespace quill::vb

#include "platform/vb/RegionalSettings.h"

#include <cctype>
#include <cstdlib>

namespace quill::vb {

namespace {

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A short date form is usable when it has a day, a month and a four- or
// two-digit year field, separated by one and the same punctuation character.
bool usableDateFormat(std::string_view format) {
  char separator = 0;
  int fields = 0;
  bool day = false, month = false, year = false;
  std::size_t i = 0;
  while (i < format.size()) {
    char c = format[i];
    if (c == 'd' || c == 'm' || c == 'y') {
      std::size_t run = 0;
      while (i + run < format.size() && format[i + run] == c) ++run;
      if (c == 'd' && run <= 2 && !day)
        day = true;
      else if (c == 'm' && run <= 2 && !month)
        month = true;
      else if (c == 'y' && (run == 2 || run == 4) && !year)
        year = true;
      else
        return false;
      ++fields;
      i += run;
    } else if (c == '-' || c == '/' || c == '.') {
      if (separator != 0 && separator != c) return false;
      separator = c;
      ++i;
    } else {
      return false;
    }
  }
  return fields == 3 && day && month && year && separator != 0;
}

bool usableSeparator(char c) { return c == '.' || c == ',' || c == ' ' || c == '\''; }

RegionalSettings portuguese() { return RegionalSettings{}; }

RegionalSettings english() { return RegionalSettings{'.', ',', "mm/dd/yyyy", "en-US"}; }

RegionalSettings fromEnvironment() {
  const char* value = std::getenv("QUILL_LOCALE");
  if (value == nullptr || *value == '\0') return portuguese();
  return RegionalSettings::fromName(value).value_or(portuguese());
}

RegionalSettings& storage() {
  static RegionalSettings settings = fromEnvironment();
  return settings;
}

}  // namespace

const RegionalSettings& RegionalSettings::current() { return storage(); }

void RegionalSettings::setCurrent(const RegionalSettings& settings) { storage() = settings; }

// QUILL_LOCALE accepts a language tag (pt-PT, pt_PT, pt_PT.UTF-8, en-US ...,
// letter case ignored) or the explicit form "decimal=X;thousands=Y;date=F",
// where any of the three may be left out and keeps the Portuguese value.
std::optional<RegionalSettings> RegionalSettings::fromName(std::string_view name) {
  std::string text = lowerAscii(trimmed(name));
  if (text.find('=') == std::string::npos) {
    std::string tag = text.substr(0, text.find('.'));
    for (char& c : tag)
      if (c == '_') c = '-';
    if (tag == "pt-pt" || tag == "pt") return portuguese();
    if (tag == "en-us" || tag == "en" || tag == "c" || tag == "posix") return english();
    return std::nullopt;
  }

  RegionalSettings settings = portuguese();
  std::string_view rest = trimmed(name);
  while (!rest.empty()) {
    std::size_t end = rest.find(';');
    std::string_view item = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (trimmed(item).empty()) continue;
    std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string key = lowerAscii(trimmed(item.substr(0, eq)));
    // The value is not trimmed: a blank is a legitimate thousands separator.
    std::string_view value = item.substr(eq + 1);
    if (key == "decimal" || key == "thousands") {
      if (value.size() != 1 || !usableSeparator(value[0])) return std::nullopt;
      (key == "decimal" ? settings.decimalSeparator : settings.thousandsSeparator) = value[0];
    } else if (key == "date") {
      std::string format = lowerAscii(trimmed(value));
      if (!usableDateFormat(format)) return std::nullopt;
      settings.shortDateFormat = format;
    } else {
      return std::nullopt;
    }
  }
  if (settings.decimalSeparator == settings.thousandsSeparator || settings.decimalSeparator == ' ') return std::nullopt;
  return settings;
}

char RegionalSettings::dateSeparator() const {
  for (char c : shortDateFormat)
    if (c == '-' || c == '/' || c == '.') return c;
  return '-';
}

DateOrder RegionalSettings::dateOrder() const {
  std::size_t d = shortDateFormat.find('d');
  std::size_t m = shortDateFormat.find('m');
  std::size_t y = shortDateFormat.find('y');
  if (y < d && y < m) return DateOrder::YearMonthDay;
  if (m < d) return DateOrder::MonthDayYear;
  return DateOrder::DayMonthYear;
}

}  // namespace quill::vb

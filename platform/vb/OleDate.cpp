#include "platform/vb/OleDate.h"

#include <fmt/format.h>

#include <cmath>
#include <ctime>

namespace quill::vb {

namespace {
// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// 1899-12-30 counted from 1970-01-01.
const long long kOleEpoch = daysFromCivil(1899, 12, 30);

bool digits(std::string_view s, std::size_t pos, std::size_t n, int& out) {
  if (pos + n > s.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    out = out * 10 + (s[i] - '0');
  }
  return true;
}
}  // namespace

Date makeDate(int year, int month, int day, int hour, int minute, int second) {
  // Roll months over into years first, then let days and times run past
  // their ends (hour 25 is 01:00 of the next day).
  long long m0 = static_cast<long long>(month) - 1;
  long long y = year + (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
  long long m = ((m0 % 12) + 12) % 12 + 1;
  long long days = daysFromCivil(y, static_cast<unsigned>(m), 1) + (day - 1) - kOleEpoch;
  long long seconds = days * 86400 + hour * 3600LL + minute * 60LL + second;
  long long wholeDays = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  double time = static_cast<double>(seconds - wholeDays * 86400) / 86400.0;
  // Before the zero date the day counts down but the time of day still
  // counts up: 29-12-1899 06:00 is -1.25, not -0.75.
  return Date{wholeDays < 0 ? static_cast<double>(wholeDays) - time : static_cast<double>(wholeDays) + time};
}

DateParts dateParts(Date date) {
  // The whole part is the day (counted towards zero), the fraction's size the
  // time of day whatever the sign. Rounded to the second, so 23:59:59.6
  // becomes the next day.
  double whole = std::trunc(date.serial);
  long long days = static_cast<long long>(whole);
  long long rest = std::llround(std::fabs(date.serial - whole) * 86400.0);
  if (rest >= 86400) {
    rest -= 86400;
    ++days;
  }
  DateParts p;
  civilFromDays(days + kOleEpoch, p.year, p.month, p.day);
  p.hour = static_cast<int>(rest / 3600);
  p.minute = static_cast<int>(rest % 3600 / 60);
  p.second = static_cast<int>(rest % 60);
  return p;
}

Date dateOnly(Date date) {
  auto p = dateParts(date);
  return makeDate(p.year, p.month, p.day);
}

std::string toIsoText(Date date) {
  auto p = dateParts(date);
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", p.year, p.month, p.day, p.hour, p.minute, p.second);
}

std::optional<Date> parseIsoText(std::string_view text) {
  int y, m, d, hh = 0, mi = 0, ss = 0;
  if (!digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' || !digits(text, 5, 2, m) || text[7] != '-' ||
      !digits(text, 8, 2, d))
    return std::nullopt;
  std::size_t pos = 10;
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return std::nullopt;
    if (!digits(text, pos + 1, 2, hh) || pos + 3 >= text.size() || text[pos + 3] != ':' ||
        !digits(text, pos + 4, 2, mi))
      return std::nullopt;
    pos += 6;
    if (pos < text.size()) {
      if (text[pos] != ':' || !digits(text, pos + 1, 2, ss)) return std::nullopt;
      pos += 3;
      if (pos < text.size()) {
        if (text[pos] != '.') return std::nullopt;
        for (++pos; pos < text.size(); ++pos)
          if (text[pos] < '0' || text[pos] > '9') return std::nullopt;
      }
    }
  }
  if (m < 1 || m > 12 || d < 1 || hh > 23 || mi > 59 || ss > 59) return std::nullopt;
  Date date = makeDate(y, m, d, hh, mi, ss);
  if (dateParts(date).day != d) return std::nullopt;  // 31 April and the like
  return date;
}

Date now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

Date today() { return dateOnly(now()); }

}  // namespace quill::vb

#include "erp/DemoDates.h"

#include <fmt/format.h>

#include <cmath>

#include "platform/vb/OleDate.h"

namespace quill::erp {

int DemoDates::day(int year, int month, int dayOfMonth) {
  return static_cast<int>(vb::makeDate(year, month, dayOfMonth).serial);
}

int DemoDates::parse(std::string_view isoDate) {
  auto date = vb::parseIsoText(isoDate.substr(0, 10));
  return date ? static_cast<int>(std::floor(date->serial)) : 0;
}

std::string DemoDates::text(int day) {
  auto parts = vb::dateParts(Date{static_cast<double>(day)});
  return fmt::format("{:04d}-{:02d}-{:02d} 00:00:00", parts.year, parts.month, parts.day);
}

int DemoDates::year(int day) { return vb::dateParts(Date{static_cast<double>(day)}).year; }

bool DemoDates::weekend(int day) {
  // Day 0, 30-12-1899, was a Saturday.
  int weekday = ((day % 7) + 7) % 7;
  return weekday == 0 || weekday == 1;
}

}  // namespace quill::erp

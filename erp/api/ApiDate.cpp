#include "erp/api/ApiDate.h"

#include <charconv>
#include <string>

#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::erpapi {

namespace {

bool readNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// "dd-mm-yyyy" with "-", "/" or ".", optionally followed by a time.
std::optional<Date> dayFirst(std::string_view text) {
  std::string_view time;
  if (auto blank = text.find(' '); blank != std::string_view::npos) {
    time = text.substr(blank + 1);
    text = text.substr(0, blank);
  }
  if (text.size() != 10 || text[2] != text[5] || (text[2] != '-' && text[2] != '/' && text[2] != '.'))
    return std::nullopt;
  int day = 0, month = 0, year = 0;
  if (!readNumber(text.substr(0, 2), day) || !readNumber(text.substr(3, 2), month) ||
      !readNumber(text.substr(6, 4), year))
    return std::nullopt;
  // Reuse the ISO reader for the checks of the calendar and the time.
  std::string iso =
      std::string(text.substr(6, 4)) + "-" + std::string(text.substr(3, 2)) + "-" + std::string(text.substr(0, 2));
  if (!time.empty()) iso += " " + std::string(time);
  return vb::parseIsoText(iso);
}

}  // namespace

ApiDate ApiDate::from(const Variant& value) {
  if (value.isEmpty() || value.isNull()) return {true, std::nullopt};
  if (value.type() == VarType::Date) return {true, value.dateValue()};
  if (!value.isString()) return {false, std::nullopt};
  std::string text = vb::Trim(value.stringValue());
  if (text.empty()) return {true, std::nullopt};
  if (auto date = vb::parseIsoText(text)) return {true, date};
  if (auto date = dayFirst(text)) return {true, date};
  return {false, std::nullopt};
}

Variant ApiDate::asProperty(const Variant& given) {
  ApiDate d = from(given);
  if (!d.valid) return given;
  return d.date ? Variant(*d.date) : Variant::null();
}

}  // namespace quill::erpapi

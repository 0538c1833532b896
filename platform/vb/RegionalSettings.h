#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill::vb {

// The order of day, month and year in a short date form.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// The user's regional settings as the system's conversions see them: decimal
// and thousands separators and the short date form, and the language of the
// windows (a language tag: "pt-PT", "en-US"). One per process, as on
// the original platform. The default is Portuguese ("," decimal, "."
// thousands, "dd-mm-yyyy"); the environment variable QUILL_LOCALE overrides
// it at start (see RegionalSettings.cpp for its forms).
struct RegionalSettings {
  char decimalSeparator = ',';
  char thousandsSeparator = '.';
  std::string shortDateFormat = "dd-mm-yyyy";
  std::string language = "pt-PT";

  static const RegionalSettings& current();
  // For tests and for a host that applies a user's choice: replaces the
  // process's settings.
  static void setCurrent(const RegionalSettings& settings);

  // Settings named by a QUILL_LOCALE value: "pt-PT", "en-US", or the explicit
  // form "decimal=.;thousands=,;date=dd/mm/yyyy". Nothing when the text is
  // not understood or describes unusable settings.
  static std::optional<RegionalSettings> fromName(std::string_view name);

  // The separator between the parts of the short date form ("-" in "dd-mm-yyyy").
  char dateSeparator() const;
  DateOrder dateOrder() const;
};

}  // namespace quill::vb

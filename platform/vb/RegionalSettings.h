#pragma once

#include <string>

namespace quill::vb {

// The user's regional settings as the system's conversions see them: decimal
// and thousands separators and the short date form. One per process, as on
// the original platform. The default is Portuguese ("," decimal, "."
// thousands, "dd-mm-yyyy"); the environment variable QUILL_LOCALE overrides
// it at start (see RegionalSettings.cpp for its forms).
struct RegionalSettings {
  char decimalSeparator = ',';
  char thousandsSeparator = '.';
  std::string shortDateFormat = "dd-mm-yyyy";

  static const RegionalSettings& current();
  // For tests and for a host that applies a user's choice: replaces the
  // process's settings.
  static void setCurrent(const RegionalSettings& settings);
};

}  // namespace quill::vb

#pragma once

#include "platform/vb/RegionalSettings.h"

namespace quill::vb::testing {

// Applies regional settings for the life of a test and puts back the
// process's previous ones afterwards.
class RegionalScope {
 public:
  explicit RegionalScope(const RegionalSettings& settings) : saved_(RegionalSettings::current()) {
    RegionalSettings::setCurrent(settings);
  }
  ~RegionalScope() { RegionalSettings::setCurrent(saved_); }
  RegionalScope(const RegionalScope&) = delete;
  RegionalScope& operator=(const RegionalScope&) = delete;

  static RegionalSettings portuguese() { return RegionalSettings{}; }
  static RegionalSettings english() { return RegionalSettings{'.', ',', "mm/dd/yyyy", "en-US"}; }

 private:
  RegionalSettings saved_;
};

}  // namespace quill::vb::testing

#pragma once

#include <string>
#include <string_view>

namespace quill::erp {

// Calendar arithmetic for the demo generator, on whole days. Dates are kept
// as day numbers (OLE serials) and written as "yyyy-mm-dd 00:00:00".
class DemoDates {
 public:
  static int day(int year, int month, int dayOfMonth);
  // "yyyy-mm-dd" (a time after it is ignored).
  static int parse(std::string_view isoDate);
  static std::string text(int day);
  static int year(int day);
  static bool weekend(int day);
};

}  // namespace quill::erp

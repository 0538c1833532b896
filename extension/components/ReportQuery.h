#pragma once

#include <string>
#include <vector>

#include "platform/automation/Variant.h"

namespace quill {

class ReportFile;

// A report's query ready to run: its ?n placeholders turned into plain "?"
// in order, and the values to bind to them. The criteria never enter the
// statement's text.
struct BoundQuery {
  std::string sql;
  std::vector<Variant> values;
};

// `parameters[n]` is parameter n (element 0 is not used); a parameter beyond
// the array is empty text. A date parameter is read as the regional short
// date ("dd-mm-yyyy"); empty, it is Null; text that is no date fails with a
// ReportError naming the parameter.
BoundQuery bindReportQuery(const ReportFile& report, const std::vector<std::string>& parameters);

// The value parameter n is bound as.
Variant reportParameterValue(const ReportFile& report, int number, const std::vector<std::string>& parameters);

}  // namespace quill

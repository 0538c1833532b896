#pragma once

#include <optional>

#include "platform/automation/Variant.h"

namespace quill::erpapi {

// A date as the API's date properties take it: a Date, or a text in the
// ERP's own forms "dd-mm-yyyy" (also with "/" or ".") or "yyyy-mm-dd",
// either with an optional " hh:mm[:ss]". Empty and Null mean no date.
struct ApiDate {
  bool valid = true;         // false for a value that is no date at all
  std::optional<Date> date;  // nothing for no date

  static ApiDate from(const Variant& value);
  // The property's value: the Date, or Null when there is none; a value
  // that was no date is answered as it was given.
  static Variant asProperty(const Variant& given);
};

}  // namespace quill::erpapi

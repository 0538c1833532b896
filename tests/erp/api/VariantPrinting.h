#pragma once

#include <ostream>

#include "platform/automation/Variant.h"

namespace quill {

// How test failures show a Variant: its kind and value.
void PrintTo(const Variant& value, std::ostream* out);

}  // namespace quill

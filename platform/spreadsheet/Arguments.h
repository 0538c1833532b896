#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "platform/automation/Variant.h"

namespace quill::spreadsheet {

// Reading the arguments of the late-bound members.

// An optional argument left out (or passed as Empty).
inline bool isMissing(std::span<Variant> args, std::size_t i) { return i >= args.size() || args[i].isEmpty(); }

// A 1-based row or column as callers pass it, 0-based; a column may also be
// given by its letters ("B"). Past the sheet's limits: 1004 saying so,
// before anything changes. Not a number: Type mismatch (13).
int rowArgument(const Variant& value);
int columnArgument(const Variant& value);

// The 0-based item of a collection named by its 1-based index or by its
// name (without regard to case); Subscript out of range (9) for none.
std::size_t itemArgument(const Variant& key, std::size_t count, const std::function<std::string(std::size_t)>& nameAt,
                         const char* collection);

}  // namespace quill::spreadsheet

#pragma once

#include <string_view>

namespace quill {

// Put in front of the currency code given to SageNextApi.AlteraPreco, it
// asks for a date-only change: an existing price gets a new start date and
// update date and keeps its values and history; a missing price is not
// inserted and nothing is removed. The price editors put the same value in
// front of the national currency.
inline constexpr std::string_view kDateOnlyMarker = "#DTA";

}  // namespace quill

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::erp {

// A line's discount as the ERP keeps it (DOCGCLIN.DESCONTO): percentages
// joined by "+", each applied to what the one before left ("10+5" is 10 %
// and then 5 % of the rest, 14.5 % in all), "." or "," as decimal point,
// blanks around a piece and empty pieces ignored. Empty text is no discount.
// This is the ERP's one reading of the text: its API, its documents' totals
// and the host all use it. (The extension keeps its own, with the system's
// semantics.)

// The pieces of the text, trimmed, empty ones left out.
std::vector<std::string> discountPieces(std::string_view text);

// The percentage the text comes to; nothing when the ERP refuses it, that
// is when a piece is not a number from 0 to 100 ("10+abc", "abc", "101").
std::optional<double> compoundDiscountPercent(std::string_view text);

// The ERP's refusal of a document line's discount ("Linha 2: o desconto
// '10+abc' não é válido."); `line` counts from 1.
std::string invalidDiscountMessage(int line, std::string_view text);

}  // namespace quill::erp

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/automation/Variant.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::host {

// A line discount is kept as the ERP keeps it (erp/CompoundDiscount.h): text
// of one or more percentages chained with "+" ("10+5" is 10 % and then 5 % of
// the rest), read by the ERP's one routine. The host writes its numbers with
// "." as decimal separator so that the stored text reads the same on every
// machine; users type and see it with their own decimal separator.

// The stored form of a discount the user typed ("2,5+3" with a "," decimal
// separator gives "2.5+3"); blanks around pieces and empty pieces are
// dropped. Nothing, with the reason in `error`, when a piece is not a number
// or the ERP refuses it (outside 0 to 100).
std::optional<std::string> parseTypedDiscount(std::string_view typed, std::string& error,
                                              const vb::RegionalSettings& settings = vb::RegionalSettings::current());

// The stored form as the user reads it.
std::string displayDiscount(std::string_view stored,
                            const vb::RegionalSettings& settings = vb::RegionalSettings::current());

// The one percentage a chain of discounts comes to, as the ERP reads it:
// 100 - 100 × Π(1 - d/100). A text the ERP refuses ("10+abc") counts as no
// discount here; a document holding one has no totals and is not saved.
double compoundDiscountRate(std::string_view stored);

// The stored form of what a hook wrote into Linha.Desconto: a number (a
// percentage, written with at most 4 decimals) or text ("0", "", a chain).
std::string discountFromVariant(const Variant& value);

// A percentage in the stored form: "2.73", "0", "12.5".
std::string percentText(double percent);

}  // namespace quill::host

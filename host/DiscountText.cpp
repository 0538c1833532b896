#include "host/DiscountText.h"

#include <fmt/format.h>

#include <cmath>

#include "erp/CompoundDiscount.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill::host {

std::string percentText(double percent) {
  if (!std::isfinite(percent)) return "0";
  const std::string text = fmt::format("{:.4f}", percent);
  // Trailing zeros and a bare point go; what is left of nothing is "0".
  std::size_t end = text.find_last_not_of('0');
  if (end != std::string::npos && text[end] == '.') --end;
  const std::string_view kept(text.data(), end == std::string::npos ? 0 : end + 1);
  return kept.empty() || kept == "-0" ? std::string("0") : std::string(kept);
}

std::optional<std::string> parseTypedDiscount(std::string_view typed, std::string& error,
                                              const vb::RegionalSettings& settings) {
  std::string result;
  for (const auto& piece : erp::discountPieces(typed)) {
    std::optional<double> value;
    try {
      value = vb::parseNumber(piece, settings);
    } catch (const std::exception&) {
      value.reset();
    }
    if (!value) {
      error = fmt::format("\"{}\" não é um desconto: escreva percentagens, por exemplo 10 ou 10+5.", piece);
      return std::nullopt;
    }
    // The stored piece must be one the ERP reads.
    std::string stored = percentText(*value);
    if (!erp::compoundDiscountPercent(stored)) {
      error = fmt::format("O desconto {} está fora de 0 a 100 %.", piece);
      return std::nullopt;
    }
    if (!result.empty()) result += '+';
    result += stored;
  }
  return result;
}

std::string displayDiscount(std::string_view stored, const vb::RegionalSettings& settings) {
  std::string text(stored);
  for (char& c : text)
    if (c == '.') c = settings.decimalSeparator;
  return text;
}

double compoundDiscountRate(std::string_view stored) { return erp::compoundDiscountPercent(stored).value_or(0.0); }

std::string discountFromVariant(const Variant& value) {
  if (value.isEmpty() || value.isNull()) return {};
  if (value.isString()) {
    const std::string& text = value.stringValue();
    // A number written as text in the user's form ("2,5") is kept in the stored form.
    std::string error;
    if (auto stored = parseTypedDiscount(text, error)) return *stored;
    return vb::Trim(text);
  }
  return percentText(vb::CDbl(value));
}

}  // namespace quill::host

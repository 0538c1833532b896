#include "host/DiscountText.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

std::vector<std::string> pieces(std::string_view text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t to = text.find('+', from);
    if (to == std::string_view::npos) to = text.size();
    std::string piece = vb::Trim(text.substr(from, to - from));
    if (!piece.empty()) out.push_back(std::move(piece));
    from = to + 1;
  }
  return out;
}

std::optional<double> storedNumber(std::string_view text) {
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string percentText(double percent) {
  if (!std::isfinite(percent)) return "0";
  std::string text = fmt::format("{:.4f}", percent);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0" || text.empty()) text = "0";
  return text;
}

std::optional<std::string> parseTypedDiscount(std::string_view typed, std::string& error,
                                              const vb::RegionalSettings& settings) {
  std::string result;
  for (const auto& piece : pieces(typed)) {
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
    if (*value < 0 || *value > 100) {
      error = fmt::format("O desconto {} está fora de 0 a 100 %.", piece);
      return std::nullopt;
    }
    if (!result.empty()) result += '+';
    result += percentText(*value);
  }
  return result;
}

std::string displayDiscount(std::string_view stored, const vb::RegionalSettings& settings) {
  std::string text(stored);
  for (char& c : text)
    if (c == '.') c = settings.decimalSeparator;
  return text;
}

double compoundDiscountRate(std::string_view stored) {
  double rest = 100.0;
  for (const auto& piece : pieces(stored)) {
    auto value = storedNumber(piece);
    if (value) rest -= *value / 100.0 * rest;
  }
  return 100.0 - rest;
}

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

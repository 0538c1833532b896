#include "erp/CompoundDiscount.h"

#include <fmt/format.h>

#include <charconv>

namespace quill::erp {

std::vector<std::string> discountPieces(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t to = text.find('+', from);
    if (to == std::string_view::npos) to = text.size();
    std::string_view piece = text.substr(from, to - from);
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
    if (!piece.empty()) pieces.emplace_back(piece);
    from = to + 1;
  }
  return pieces;
}

std::optional<double> compoundDiscountPercent(std::string_view text) {
  double rest = 100.0;
  for (std::string piece : discountPieces(text)) {
    for (char& c : piece)
      if (c == ',') c = '.';
    // from_chars reads "." whatever the process's locale is.
    double percent = 0;
    auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), percent);
    if (ec != std::errc() || end != piece.data() + piece.size() || !(percent >= 0.0 && percent <= 100.0))
      return std::nullopt;
    rest -= percent / 100.0 * rest;
  }
  return 100.0 - rest;
}

std::string invalidDiscountMessage(int line, std::string_view text) {
  return fmt::format("Linha {}: o desconto '{}' não é válido.", line, text);
}

}  // namespace quill::erp

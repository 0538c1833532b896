#include "platform/sql/SqlQuote.h"

namespace quill::sql {

std::string sqlQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

}  // namespace quill::sql

#pragma once

#include <string>
#include <string_view>

namespace quill::sql {

// A code as it goes between single quotes in statement text: every quote
// doubled, so that "O'Brien" stays one value and no typed code can end the
// literal and change the statement. sqlQuote("O'Brien") == "O''Brien".
std::string sqlQuote(std::string_view text);

}  // namespace quill::sql

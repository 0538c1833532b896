#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace quill::sql {

class Recordset;

// The visible rows of `rows` whose first `fields` fields hold `text`, without
// regard to case, in a new recordset of the same fields: how a list of codes
// and names narrows as the user types part of a code or of a name. A blank
// text answers `rows` itself.
std::shared_ptr<Recordset> rowsContaining(const std::shared_ptr<Recordset>& rows, std::string_view text,
                                          std::size_t fields = 2);

}  // namespace quill::sql

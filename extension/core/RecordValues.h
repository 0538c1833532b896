#pragma once

#include <string>
#include <string_view>

#include "platform/automation/Variant.h"

namespace quill {
namespace sql {
class Recordset;
}

// Values of the current row of a recordset as the system's code reads them:
// a Null text is empty and a Null number is 0 (a missing user-field row reads
// as no value at all).
std::string textOf(const sql::Recordset& rs, std::string_view field);
double numberOf(const sql::Recordset& rs, std::string_view field);
Date dateOf(const sql::Recordset& rs, std::string_view field);
// True when the recordset is missing, closed or has no rows.
bool noRows(const sql::Recordset* rs);

}  // namespace quill

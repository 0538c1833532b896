#pragma once

#include <cstdint>
#include <string>

#include "platform/sql/DataType.h"

namespace quill::sql {

// One column of a recordset: its name as the query named it, its type, and
// where its values come from, which is what saving a recordset needs.
struct Field {
  std::string name;
  DataType type = DataType::Variant;
  std::string baseTable;   // empty for expressions and added columns
  std::string baseColumn;  // the column of baseTable (an alias's source)
  bool key = false;        // part of baseTable's primary key
  bool identity = false;   // numbered by the database when a row is added
  std::int32_t definedSize = 0;

  friend bool operator==(const Field&, const Field&) = default;
};

}  // namespace quill::sql

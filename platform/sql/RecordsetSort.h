#pragma once

#include <string_view>
#include <vector>

#include "platform/automation/Variant.h"
#include "platform/sql/Field.h"

namespace quill::sql {

// A recordset sort order, "VND ASC, CLIENTEAUX ASC, LINHA ASC": fields by
// name ([bracketed] when needed), each ASC (the default) or DESC. Rows that
// compare equal keep their order. An unknown field fails with ItemNotFound.
class RecordsetSort {
 public:
  struct Key {
    std::size_t field = 0;
    bool descending = false;
  };

  static RecordsetSort parse(std::string_view order, const std::vector<Field>& fields);

  bool empty() const { return keys_.empty(); }
  // True when row a sorts before row b.
  bool before(const std::vector<Variant>& a, const std::vector<Variant>& b) const;

 private:
  std::vector<Key> keys_;
};

}  // namespace quill::sql

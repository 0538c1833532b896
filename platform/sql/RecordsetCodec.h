#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quill::sql {

class Recordset;

// The bytes of a recordset crossing a process border by value: fields, rows
// with their states, original values and written marks, the visible rows
// and position, filter and sort. MessagePack.
class RecordsetCodec {
 public:
  static std::string encode(const Recordset& recordset);
  // Fails with an AutomationError naming the problem for bytes that are not
  // a recordset.
  static std::shared_ptr<Recordset> decode(std::string_view bytes);
};

}  // namespace quill::sql

#include "platform/sql/RecordsetSearch.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Strings.h"

namespace quill::sql {

std::shared_ptr<Recordset> rowsContaining(const std::shared_ptr<Recordset>& rows, std::string_view text,
                                          std::size_t fields) {
  const std::string wanted = vb::UCase(vb::Trim(text));
  if (!rows || wanted.empty()) return rows;
  auto shown = Recordset::create(rows->fields());
  const std::size_t count = rows->fieldCount();
  const std::size_t searched = std::min(fields, count);
  const auto total = static_cast<std::size_t>(rows->recordCount());
  for (std::size_t p = 0; p < total; ++p) {
    bool match = false;
    for (std::size_t f = 0; f < searched && !match; ++f)
      match = vb::UCase(textOrEmpty(rows->valueAt(p, f))).find(wanted) != std::string::npos;
    if (!match) continue;
    std::vector<Variant> values;
    values.reserve(count);
    for (std::size_t f = 0; f < count; ++f) values.push_back(rows->valueAt(p, f));
    shown->appendRow(std::move(values));
  }
  return shown;
}

}  // namespace quill::sql

#include "platform/sql/RecordsetSort.h"

#include <fmt/format.h>

#include <string>

#include "platform/automation/Dispatch.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueOrder.h"

namespace quill::sql {

namespace {
std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool endsWithWord(std::string_view s, std::string_view word) {
  if (s.size() <= word.size()) return false;
  const char before = s[s.size() - word.size() - 1];
  return (before == ' ' || before == '\t' || before == ']') && equalsNoCase(s.substr(s.size() - word.size()), word);
}
}  // namespace

RecordsetSort RecordsetSort::parse(std::string_view order, const std::vector<Field>& fields) {
  RecordsetSort sort;
  std::size_t start = 0;
  while (start <= order.size()) {
    std::size_t comma = order.find(',', start);
    if (comma == std::string_view::npos) comma = order.size();
    std::string_view item = trim(order.substr(start, comma - start));
    start = comma + 1;
    if (item.empty()) {
      if (comma == order.size() && sort.keys_.empty()) break;
      throw sqlError(sqlerr::InvalidArgument, fmt::format("The sort order \"{}\" has an empty item", order));
    }
    Key key;
    if (endsWithWord(item, "DESC")) {
      key.descending = true;
      item = trim(item.substr(0, item.size() - 4));
    } else if (endsWithWord(item, "ASC")) {
      item = trim(item.substr(0, item.size() - 3));
    }
    if (item.size() >= 2 && item.front() == '[' && item.back() == ']') item = item.substr(1, item.size() - 2);
    bool found = false;
    for (std::size_t f = 0; f < fields.size() && !found; ++f) {
      if (equalsNoCase(fields[f].name, item)) {
        key.field = f;
        found = true;
      }
    }
    if (!found)
      throw sqlError(sqlerr::ItemNotFound,
                     fmt::format("Item cannot be found in the collection: the sort field {} does not exist", item));
    sort.keys_.push_back(key);
    if (comma == order.size()) break;
  }
  return sort;
}

bool RecordsetSort::before(const std::vector<Variant>& a, const std::vector<Variant>& b) const {
  for (const Key& key : keys_) {
    int order = compareValues(a[key.field], b[key.field]);
    if (order != 0) return key.descending ? order > 0 : order < 0;
  }
  return false;
}

}  // namespace quill::sql

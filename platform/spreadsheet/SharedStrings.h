#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill::spreadsheet {

// The workbook's table of shared strings: every text cell refers to its text
// by index, each distinct text stored once.
class SharedStrings {
 public:
  // Counts one more cell with this text and answers the text's index.
  std::uint32_t add(std::string_view utf8);

  std::uint32_t uniqueCount() const { return static_cast<std::uint32_t>(order_.size()); }
  std::uint32_t totalCount() const { return total_; }

  // Appends the table to a workbook stream: the SST record, CONTINUE
  // records as it grows past one record, and the EXTSST index of where
  // every few strings begin (positions are offsets in `stream`).
  void write(std::string& stream) const;

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>()(s); }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> index_;
  std::vector<const std::string*> order_;  // the map's keys, by index
  std::uint32_t total_ = 0;
};

}  // namespace quill::spreadsheet

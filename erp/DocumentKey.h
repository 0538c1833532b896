#pragma once

#include <cstdint>
#include <string>

namespace quill::erp {

// What identifies a commercial document in the company: type, series, number
// and year (the key of DOCGCCAB; its lines carry it as TPDOCUM, SERIE,
// NNUMDOC, ANO).
struct DocumentKey {
  std::string type;
  std::int32_t series = 0;
  std::int32_t number = 0;
  std::int32_t year = 0;
  friend bool operator==(const DocumentKey&, const DocumentKey&) = default;
};

}  // namespace quill::erp

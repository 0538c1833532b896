#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/automation/Dispatch.h"
#include "platform/spreadsheet/DisplayFormat.h"
#include "platform/spreadsheet/SheetData.h"

namespace quill::spreadsheet {

// The contents of one workbook: its sheets in tab order, the active one, and
// the number format codes its cells refer to by index.
class WorkbookData {
 public:
  WorkbookData();

  std::vector<std::unique_ptr<SheetData>>& sheets() { return sheets_; }
  const std::vector<std::unique_ptr<SheetData>>& sheets() const { return sheets_; }
  SheetData& addSheet(std::string name, std::size_t position);

  std::size_t activeSheet() const { return activeSheet_; }
  void setActiveSheet(std::size_t index) { activeSheet_ = index; }

  // The index of a format code, added when new. "General" (in any case, or
  // an empty code) is index 0; other codes compare exactly.
  std::uint16_t numberFormat(std::string_view code);
  const std::string& numberFormatCode(std::uint16_t index) const { return formats_[index]; }
  std::size_t numberFormatCount() const { return formats_.size(); }
  // The compiled form of a format, made on first use.
  const DisplayFormat& displayFormat(std::uint16_t index) const;

 private:
  std::vector<std::unique_ptr<SheetData>> sheets_;
  std::size_t activeSheet_ = 0;
  std::vector<std::string> formats_;
  std::unordered_map<std::string, std::uint16_t> formatIndex_;
  std::uint16_t lastFormat_ = 0;  // most cells in a row take the code the previous one took
  mutable std::vector<std::unique_ptr<DisplayFormat>> compiled_;
};

}  // namespace quill::spreadsheet

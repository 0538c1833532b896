#include "platform/spreadsheet/WorkbookData.h"

#include <limits>

#include "platform/spreadsheet/SpreadsheetError.h"

namespace quill::spreadsheet {

WorkbookData::WorkbookData() {
  formats_.emplace_back("General");
  formatIndex_.emplace("General", 0);
}

SheetData& WorkbookData::addSheet(std::string name, std::size_t position) {
  position = std::min(position, sheets_.size());
  auto it = sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(position),
                           std::make_unique<SheetData>(std::move(name)));
  return **it;
}

std::uint16_t WorkbookData::numberFormat(std::string_view code) {
  if (formats_[lastFormat_] == code) return lastFormat_;
  if (code.empty() || equalsNoCase(code, "General")) return lastFormat_ = 0;
  if (auto it = formatIndex_.find(std::string(code)); it != formatIndex_.end()) return lastFormat_ = it->second;
  if (formats_.size() > std::numeric_limits<std::uint16_t>::max())
    throw sheetError("Too many different number formats in one workbook");
  auto index = static_cast<std::uint16_t>(formats_.size());
  formats_.emplace_back(code);
  formatIndex_.emplace(std::string(code), index);
  return lastFormat_ = index;
}

const DisplayFormat& WorkbookData::displayFormat(std::uint16_t index) const {
  if (compiled_.size() <= index) compiled_.resize(static_cast<std::size_t>(index) + 1);
  auto& slot = compiled_[index];
  if (!slot) slot = std::make_unique<DisplayFormat>(DisplayFormat::compile(formats_[index]));
  return *slot;
}

}  // namespace quill::spreadsheet

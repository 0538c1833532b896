#include "platform/spreadsheet/SpreadsheetError.h"

namespace quill::spreadsheet {

AutomationError sheetError(std::string description) {
  return AutomationError(sheeterr::Refused, kErrorSource, std::move(description));
}

AutomationError disconnectedError() {
  return AutomationError(sheeterr::Disconnected, kErrorSource, "The object invoked has disconnected from its clients.");
}

}  // namespace quill::spreadsheet

#pragma once

#include <cstdint>
#include <string>

#include "platform/automation/AutomationError.h"

namespace quill::spreadsheet {

// The source of every error the spreadsheet layer raises.
inline constexpr const char* kErrorSource = "Quill.Spreadsheet";

// The numbers a caller of the spreadsheet objects sees.
namespace sheeterr {
// A call that the application refuses: a cell past the sheet's limits, a
// value it cannot hold, a file it cannot save ("Application-defined or
// object-defined error" is its generic text; ours say what went wrong).
inline constexpr std::int32_t Refused = 1004;
// A call on an object of a workbook that has been closed
// (RPC_E_DISCONNECTED: "The object invoked has disconnected from its clients").
inline constexpr std::int32_t Disconnected = -2147417848;
}  // namespace sheeterr

AutomationError sheetError(std::string description);
AutomationError disconnectedError();

}  // namespace quill::spreadsheet

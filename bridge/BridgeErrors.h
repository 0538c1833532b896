#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/automation/AutomationError.h"

namespace quill {

// The source of the errors the bridge raises itself (VB's project name).
inline constexpr const char* kBridgeErrorSource = "Quillbridge";
// A caught error as the bridge's handlers see it: an automation error as it
// is, anything else as kUnexpectedFailure with its text.
AutomationError asBridgeError(const std::exception& error);

// The caught error raised again by the operation `source`: same number and
// description.
AutomationError raisedAgain(const std::exception& error, std::string source);

}  // namespace quill

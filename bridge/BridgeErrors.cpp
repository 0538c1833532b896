#include "bridge/BridgeErrors.h"

namespace quill {

AutomationError asAutomationError(const std::exception& error) {
  if (auto automation = dynamic_cast<const AutomationError*>(&error)) return *automation;
  return AutomationError(kUnexpectedFailure, kBridgeErrorSource, error.what());
}

AutomationError raisedAgain(const std::exception& error, std::string source) {
  return asAutomationError(error).withSource(std::move(source));
}

}  // namespace quill

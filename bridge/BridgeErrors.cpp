#include "bridge/BridgeErrors.h"

namespace quill {

AutomationError asBridgeError(const std::exception& error) { return asAutomationError(error, kBridgeErrorSource); }

AutomationError raisedAgain(const std::exception& error, std::string source) {
  return asBridgeError(error).withSource(std::move(source));
}

}  // namespace quill

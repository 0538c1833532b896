#include "bridge/BridgeLog.h"

#include "platform/vb/DebugLog.h"

namespace quill {

void logBridge(std::string_view tag, std::string_view detail) noexcept {
  vb::appendDebugLine(kBridgeLogFileName, tag, vb::kBridgeLogTagWidth, detail);
}

}  // namespace quill

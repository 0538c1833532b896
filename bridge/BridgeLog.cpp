#include "bridge/BridgeLog.h"

#include "platform/vb/DebugLog.h"

namespace quill {

void logBridge(const std::filesystem::path& folder, std::string_view tag, std::string_view detail) noexcept {
  try {
    const std::filesystem::path file =
        folder.empty() ? std::filesystem::path(kBridgeLogFileName) : folder / kBridgeLogFileName;
    vb::appendDebugLine(file, tag, vb::kBridgeLogTagWidth, detail);
  } catch (...) {
    // A line that cannot be written is lost.
  }
}

}  // namespace quill

#pragma once

#include <string_view>

namespace quill {

// The bridge's debug log: "DBGVALTERO.TXT" in the server process's current
// folder, one line a call (the tag cut or padded to 20 characters, a blank,
// the detail, CR LF), the file opened and closed for every line. Errors are
// ignored: a line that cannot be written is lost.
inline constexpr const char* kBridgeLogFileName = "DBGVALTERO.TXT";

void logBridge(std::string_view tag, std::string_view detail) noexcept;

}  // namespace quill

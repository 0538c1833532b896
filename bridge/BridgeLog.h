#pragma once

#include <filesystem>
#include <string_view>

namespace quill {

// The bridge's debug log: "DBGVALTERO.TXT" in the log folder its client
// gave Iniciar (sFlLog, the configuration's log folder, where the
// extension keeps its own log), or in the server process's current folder
// when it gave none. One line a call (the tag cut or padded to 20
// characters, a blank, the detail, CR LF), the file opened and closed for
// every line. Errors are ignored: a line that cannot be written is lost.
inline constexpr const char* kBridgeLogFileName = "DBGVALTERO.TXT";

void logBridge(const std::filesystem::path& folder, std::string_view tag, std::string_view detail) noexcept;

}  // namespace quill

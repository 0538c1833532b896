#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace quill::vb {

// Tag widths of the system's debug logs.
inline constexpr std::size_t kLibraryLogTagWidth = 50;  // "DBGVALTERO.TXT" of the extension
inline constexpr std::size_t kBridgeLogTagWidth = 20;   // the bridge's log and "DBGLINPRC.TXT"

// Appends one debug line to `file`: the tag padded with blanks on the right
// and cut to exactly `width` characters, one blank, the detail, CR LF. The
// file is created when missing, and opened and closed for this one line so
// that a crash loses nothing already written. Every error is ignored (the
// line is then lost); this never throws.
void appendDebugLine(const std::filesystem::path& file, std::string_view tag, std::size_t width,
                     std::string_view detail) noexcept;

}  // namespace quill::vb

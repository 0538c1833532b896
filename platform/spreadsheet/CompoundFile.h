#pragma once

#include <string>
#include <string_view>

namespace quill::spreadsheet {

// A compound file (structured storage, version 3, 512-byte sectors) holding
// one stream under the root storage. The stream is padded with zeros to at
// least 4,096 bytes so that it lives in regular sectors (no mini stream);
// the sector allocation table grows through DIFAT sectors past the 109
// table sectors the header lists, so any stream below 2 GB fits.
std::string buildCompoundFile(std::string_view streamName, std::string_view stream);

// The smallest stream the file keeps in regular sectors.
inline constexpr std::size_t kMiniStreamCutoff = 4096;

}  // namespace quill::spreadsheet

#pragma once

#include <filesystem>

namespace quill {

// The folder of the binary this code is linked into: the extension
// library's own folder (where its configuration and report files lie) when
// it runs inside the host, the program's folder when a program links the
// library's code itself (tests, benchmarks).
std::filesystem::path libraryFolder();

}  // namespace quill

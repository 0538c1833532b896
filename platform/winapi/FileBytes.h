#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quill::winapi {

// A whole file's bytes. Nothing when the file is missing, unreadable or not
// a regular file.
std::optional<std::string> readFileBytes(const std::filesystem::path& file);

// The same into a buffer the caller keeps between calls: the answer views
// the buffer, which only grows. A file smaller than the buffer costs one
// open, one read and one close, as a configuration file read on every
// lookup should. Never blocks on a pipe.
std::optional<std::string_view> readFileInto(const std::filesystem::path& file, std::vector<char>& buffer);

// Replaces the file's contents with `bytes` all at once: the bytes go to a
// temporary file in the same folder, which is then renamed over the file, so
// that a failure at any point leaves the old file as it was. The file keeps
// its permissions; a symbolic link keeps pointing at the replaced file.
// False when the folder or the file is not writable or any step fails.
bool replaceFileContents(const std::filesystem::path& file, std::string_view bytes);
// The same, answering why it failed (permission denied, no such folder, no
// space left...); an empty code when the file was replaced.
std::error_code tryReplaceFileContents(const std::filesystem::path& file, std::string_view bytes);

}  // namespace quill::winapi

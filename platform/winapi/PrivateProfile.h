#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quill::winapi {

// The private-profile (INI file) functions with Windows' semantics, on UTF-8
// text. Sizes and counts are in characters, as the ANSI functions count
// bytes of a one-byte code page: a size of 255 returns at most 254
// characters whatever their UTF-8 length.
//
// Files: "[section]" headers, "key=value" entries, comments starting with
// ";" or "#", CR LF, LF or CR-alone line ends. Names match without regard to
// case (accented letters included) and to blanks around them; values lose
// the blanks around them and a matching pair of quotes. A file is read as
// Windows writes it: UTF-16 little-endian after its byte-order mark, else
// UTF-8 (a byte-order mark skipped) with each byte that is not part of a
// UTF-8 sequence read as Windows-1252. The first of two sections or keys of
// the same name counts. Every call reads the file afresh; nothing is cached.

// GetPrivateProfileString.
// - section and key given: the key's value, or `defaultValue` (its trailing
//   blanks removed, as Windows does) when the file, the section or the key
//   is missing; cut to size - 1 characters.
// - key missing (std::nullopt): the section's key names, each followed by a
//   NUL; the default when the section has none.
// - section missing: the file's section names, each followed by a NUL; the
//   default when the file cannot be read.
// A list that does not fit is cut to size - 2 characters (its last name
// then lacks its NUL). `returned` receives the text; the result is its
// length in characters. An empty key name answers 0 and "".
std::uint32_t getPrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                      std::optional<std::string_view> defaultValue, std::string& returned,
                                      std::uint32_t size, const std::filesystem::path& file);

// WritePrivateProfileString.
// - section, key and value given: writes key=value (creating the file, the
//   section or the key as needed).
// - value missing: deletes the key; key missing: deletes the section with
//   all its keys.
// The rest of the file is kept byte for byte, in its encoding and line ends;
// the new file replaces the old one in a single step. Answers 1 on success
// and 0 on failure, the file then left as it was: an unwritable folder or
// file, a missing folder, a missing section name, names or a value that
// would break the file's lines (CR, LF, NUL; "=" in a key, "]" in a section
// name, a key starting with "[", ";" or "#"), text that is not UTF-8, or a
// character that a Windows-1252 file cannot store.
std::int32_t writePrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                       std::optional<std::string_view> value, const std::filesystem::path& file);

// WritePrivateProfileSection: makes the section hold exactly `entries`,
// "key=value" texts separated by NUL characters (a trailing NUL and empty
// entries are ignored). The same answers as writePrivateProfileString; an
// entry without "=" is refused.
std::int32_t writePrivateProfileSection(std::string_view section, std::string_view entries,
                                        const std::filesystem::path& file);

}  // namespace quill::winapi

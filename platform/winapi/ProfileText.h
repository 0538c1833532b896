#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::winapi {

// One line of an INI file as the profile functions see it.
struct ProfileLine {
  enum Kind { Blank, Comment, Section, Entry, Other };
  Kind kind = Blank;
  std::string_view name;   // the section's or the key's name, trimmed
  std::string_view value;  // an entry's value, trimmed
};

// Reads one line (without its line end): "[name]" is a section header,
// "key=value" an entry, a line starting with ";" or "#" a comment. A line
// that is none of these ("[broken", "no equals sign", "=value") is Other and
// is ignored by every read.
ProfileLine parseProfileLine(std::string_view line);

// Calls `visit(content)` for every line of `text`, the line end (LF or
// CR LF) removed; stops early when `visit` answers false.
template <class Visit>
void forEachProfileLine(std::string_view text, Visit visit) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::size_t contentEnd = end > pos && text[end - 1] == '\r' ? end - 1 : end;
    if (!visit(text.substr(pos, contentEnd - pos))) return;
    pos = next;
  }
}

// How a file's bytes encode its text.
enum class ProfileEncoding { Utf8, Windows1252 };

// Queries on a profile's text. Section and key names match
// without regard to case, accented letters included. When a section or a
// key appears twice, the first one counts, as on Windows.

// The value of `key` in `section`: blanks around it removed, and a matching
// pair of quotes (" or ') around it as well. `text` may be the file's own
// Windows-1252 bytes: names are then decoded only to be compared (section
// and key are UTF-8), and the value found is in the file's encoding.
std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section, std::string_view key,
                                                 ProfileEncoding encoding = ProfileEncoding::Utf8);

// The names of the file's sections, or of one section's keys, in file order,
// each once. `text` is UTF-8.
std::vector<std::string_view> profileSectionNames(std::string_view text);
std::vector<std::string_view> profileKeyNames(std::string_view text, std::string_view section);

// A name as the profile functions compare it: blanks around removed.
std::string_view trimProfileName(std::string_view name);

}  // namespace quill::winapi

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

// The line of `text` that starts at `pos`: its content ends at `end`, the
// next line starts at `next`. A line ends with CR LF, LF or a CR alone (old
// Windows and Mac programs write CR alone), as Windows reads them.
struct ProfileLineSpan {
  std::size_t end;
  std::size_t next;
};
inline ProfileLineSpan profileLineAt(std::string_view text, std::size_t pos) {
  std::size_t lf = text.find('\n', pos);
  std::size_t stop = lf == std::string_view::npos ? text.size() : lf;
  std::size_t cr = text.substr(pos, stop - pos).find('\r');
  if (cr != std::string_view::npos && pos + cr + 1 < stop) return {pos + cr, pos + cr + 1};  // CR alone
  if (lf == std::string_view::npos) {
    if (cr != std::string_view::npos && pos + cr + 1 == stop) return {stop - 1, stop};  // a last CR
    return {stop, stop};
  }
  return {cr != std::string_view::npos ? lf - 1 : lf, lf + 1};
}

// Calls `visit(content)` for every line of `text`, the line end removed;
// stops early when `visit` answers false.
template <class Visit>
void forEachProfileLine(std::string_view text, Visit visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    ProfileLineSpan line = profileLineAt(text, pos);
    if (!visit(text.substr(pos, line.end - pos))) return;
    pos = line.next;
  }
}

// Queries on a profile's text. Section and key names match
// without regard to case, accented letters included. When a section or a
// key appears twice, the first one counts, as on Windows.

// The value of `key` in `section`: blanks around it removed, and a matching
// pair of quotes (" or ') around it as well. `text` is UTF-8.
std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section, std::string_view key);

// The names of the file's sections, or of one section's keys, in file order,
// each once. `text` is UTF-8.
std::vector<std::string_view> profileSectionNames(std::string_view text);
std::vector<std::string_view> profileKeyNames(std::string_view text, std::string_view section);

// A name as the profile functions compare it: blanks around removed.
std::string_view trimProfileName(std::string_view name);

}  // namespace quill::winapi

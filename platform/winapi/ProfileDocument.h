#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quill::winapi {

// An INI file held for editing. Every line that an edit does not touch is
// written back exactly as it was read (same bytes, same line end), so that
// comments, blank lines, unknown lines and the other sections survive. The
// file keeps its encoding and its line ends (CR LF, LF or CR; CR LF for a
// new file). Lines an edit writes are UTF-8 in a UTF-8 file (also one with
// stray Windows-1252 bytes elsewhere), Windows-1252 in a file that has no
// UTF-8 at all but bytes of that code page, UTF-16 in a UTF-16 file.
class ProfileDocument {
 public:
  // A file's bytes; empty for a file that does not exist yet.
  explicit ProfileDocument(std::string_view bytes);

  // Writes key=value into the first section of that name: over the key's
  // first line when it has one, else after the section's last entry; a
  // missing section is added at the end of the file.
  void setValue(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key from every section of that name. False when there was
  // nothing to remove.
  bool deleteKey(std::string_view section, std::string_view key);
  // Removes every section of that name with all its lines.
  bool deleteSection(std::string_view section);
  // Makes the section hold exactly these entries, in this order, each
  // written as key=value with the key and value as given; the blank lines
  // after the section stay; later sections of the same name go.
  void replaceSection(std::string_view section, const std::vector<std::pair<std::string, std::string>>& entries);

  // The file's new bytes; nothing when the text holds a character that the
  // file's encoding (Windows-1252) cannot store, or when the file could not
  // be read back exactly (UTF-16 that is not well formed).
  std::optional<std::string> bytes() const;

 private:
  enum class Encoding { Utf8, Utf8WithBom, Windows1252, Utf16Le };
  struct Line {
    std::string text;        // without its line end, as UTF-8
    std::string terminator;  // "\r\n", "\n", "\r", or "" for a last line without one
    // The line as the file held it (UTF-8 for a UTF-16 file), while no edit
    // changed it.
    std::optional<std::string> original;
  };
  struct Block {
    std::size_t header;  // index of the "[section]" line
    std::size_t end;     // index after the section's last line
  };

  std::vector<Block> blocks(std::string_view section) const;
  // Index after the block's last line that is not blank.
  std::size_t contentEnd(const Block& block) const;
  void insertLines(std::size_t at, std::vector<std::string> texts);
  void appendSection(std::string_view section, std::vector<std::string> texts);

  std::vector<Line> lines_;
  Encoding encoding_ = Encoding::Utf8;
  bool readExactly_ = true;
  std::string newline_ = "\r\n";
};

}  // namespace quill::winapi

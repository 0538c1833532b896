#pragma once

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace quill::testing {

// The text of a PDF file as pdftotext reads it (reading order, pages
// separated by form feeds); empty when the file cannot be read.
inline std::string pdfText(const std::filesystem::path& file, bool layout = false) {
  const std::string command =
      std::string("pdftotext -enc UTF-8 ") + (layout ? "-layout " : "") + "'" + file.string() + "' - 2>/dev/null";
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) text.append(buffer.data(), n);
    pclose(pipe);
  }
  return text;
}

// How many times a text occurs in another.
inline int occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

}  // namespace quill::testing

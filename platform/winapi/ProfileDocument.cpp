#include "platform/winapi/ProfileDocument.h"

#include "platform/vb/Strings.h"
#include "platform/vb/TextEncoding.h"
#include "platform/winapi/ProfileText.h"

namespace quill::winapi {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string entryLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line.append(value);
  return line;
}

}  // namespace

ProfileDocument::ProfileDocument(std::string_view bytes) {
  std::string text;
  if (bytes.substr(0, kBom.size()) == kBom) {
    encoding_ = Encoding::Utf8WithBom;
    bytes.remove_prefix(kBom.size());
  }
  if (vb::isValidUtf8(bytes)) {
    text.assign(bytes);
  } else {
    // Windows-1252 reads back to the same bytes, so lines left alone are
    // written exactly as they were.
    encoding_ = Encoding::Windows1252;
    text = vb::utf8FromWindows1252(bytes);
  }
  bool styleKnown = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    Line line;
    if (end == std::string::npos) {
      line.text = text.substr(pos);
      pos = text.size();
    } else {
      bool crlf = end > pos && text[end - 1] == '\r';
      line.text = text.substr(pos, (crlf ? end - 1 : end) - pos);
      line.terminator = crlf ? "\r\n" : "\n";
      if (!styleKnown) {
        newline_ = line.terminator;
        styleKnown = true;
      }
      pos = end + 1;
    }
    lines_.push_back(std::move(line));
  }
}

std::vector<ProfileDocument::Block> ProfileDocument::blocks(std::string_view section) const {
  section = trimProfileName(section);
  std::vector<Block> found;
  bool open = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    ProfileLine line = parseProfileLine(lines_[i].text);
    if (line.kind != ProfileLine::Section) continue;
    if (open) {
      found.back().end = i;
      open = false;
    }
    if (vb::equalsText(line.name, section)) {
      found.push_back({i, lines_.size()});
      open = true;
    }
  }
  return found;
}

std::size_t ProfileDocument::contentEnd(const Block& block) const {
  std::size_t end = block.end;
  while (end > block.header + 1 && parseProfileLine(lines_[end - 1].text).kind == ProfileLine::Blank) --end;
  return end;
}

void ProfileDocument::insertLines(std::size_t at, std::vector<std::string> texts) {
  if (texts.empty()) return;
  // The line before the new ones may be a last line without a line end.
  if (at > 0 && lines_[at - 1].terminator.empty()) lines_[at - 1].terminator = newline_;
  std::vector<Line> added;
  added.reserve(texts.size());
  for (auto& text : texts) added.push_back({std::move(text), newline_});
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));
}

void ProfileDocument::appendSection(std::string_view section, std::vector<std::string> texts) {
  texts.insert(texts.begin(), "[" + std::string(trimProfileName(section)) + "]");
  insertLines(lines_.size(), std::move(texts));
}

void ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
  key = trimProfileName(key);
  auto found = blocks(section);
  if (found.empty()) {
    appendSection(section, {entryLine(key, value)});
    return;
  }
  const Block& block = found.front();
  for (std::size_t i = block.header + 1; i < block.end; ++i) {
    ProfileLine line = parseProfileLine(lines_[i].text);
    if (line.kind == ProfileLine::Entry && vb::equalsText(line.name, key)) {
      lines_[i].text = entryLine(line.name, value);  // the key keeps its spelling in the file
      return;
    }
  }
  insertLines(contentEnd(block), {entryLine(key, value)});
}

bool ProfileDocument::deleteKey(std::string_view section, std::string_view key) {
  key = trimProfileName(key);
  auto found = blocks(section);
  bool removed = false;
  // From the last block backwards, so earlier indexes stay valid.
  for (auto block = found.rbegin(); block != found.rend(); ++block) {
    for (std::size_t i = block->end; i-- > block->header + 1;) {
      ProfileLine line = parseProfileLine(lines_[i].text);
      if (line.kind == ProfileLine::Entry && vb::equalsText(line.name, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        removed = true;
      }
    }
  }
  return removed;
}

bool ProfileDocument::deleteSection(std::string_view section) {
  auto found = blocks(section);
  for (auto block = found.rbegin(); block != found.rend(); ++block)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(block->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(block->end));
  return !found.empty();
}

void ProfileDocument::replaceSection(std::string_view section,
                                     const std::vector<std::pair<std::string, std::string>>& entries) {
  std::vector<std::string> texts;
  texts.reserve(entries.size());
  for (const auto& [key, value] : entries) texts.push_back(entryLine(key, value));
  auto found = blocks(section);
  if (found.empty()) {
    appendSection(section, std::move(texts));
    return;
  }
  for (std::size_t b = found.size(); b-- > 1;)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(found[b].header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(found[b].end));
  const Block& block = found.front();
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(block.header + 1),
               lines_.begin() + static_cast<std::ptrdiff_t>(contentEnd(block)));
  insertLines(block.header + 1, std::move(texts));
}

std::optional<std::string> ProfileDocument::bytes() const {
  std::string text;
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.text.size() + line.terminator.size();
  text.reserve(size + kBom.size());
  if (encoding_ == Encoding::Utf8WithBom) text.append(kBom);
  for (const auto& line : lines_) {
    text += line.text;
    text += line.terminator;
  }
  if (encoding_ == Encoding::Windows1252) return vb::windows1252FromUtf8(text);
  return text;
}

}  // namespace quill::winapi

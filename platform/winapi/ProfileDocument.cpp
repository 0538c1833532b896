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
  // The lines are cut from the file's own bytes (line ends are the same
  // bytes in every 8-bit encoding); a UTF-16 file is converted first.
  std::string converted;
  std::string_view body = bytes;
  switch (vb::fileEncodingOf(bytes)) {
    case vb::FileEncoding::Utf16Le:
      encoding_ = Encoding::Utf16Le;
      converted = vb::utf8FromUtf16Le(bytes.substr(2), &readExactly_);
      body = converted;
      break;
    case vb::FileEncoding::Utf8WithBom:
      encoding_ = Encoding::Utf8WithBom;
      body.remove_prefix(kBom.size());
      break;
    case vb::FileEncoding::Utf8:
      break;
  }
  const bool utf8 = encoding_ == Encoding::Utf16Le || vb::isValidUtf8(body);
  // A file with bytes that are not UTF-8 and no UTF-8 beyond ASCII is a
  // Windows-1252 file; one that has both is UTF-8 with stray bytes.
  if (!utf8 && encoding_ == Encoding::Utf8) {
    bool anyUtf8 = false;
    for (std::size_t i = 0; i < body.size() && !anyUtf8;) {
      if (static_cast<unsigned char>(body[i]) < 0x80) {
        ++i;
        continue;
      }
      vb::Utf8Char ch = vb::decodeUtf8(body, i);
      anyUtf8 = ch.length > 1;
      i += ch.length;
    }
    if (!anyUtf8) encoding_ = Encoding::Windows1252;
  }
  bool styleKnown = false;
  for (std::size_t pos = 0; pos < body.size();) {
    ProfileLineSpan span = profileLineAt(body, pos);
    Line line;
    line.original = std::string(body.substr(pos, span.end - pos));
    line.text = utf8 ? *line.original : vb::utf8FromUtf8OrWindows1252(*line.original);
    line.terminator = std::string(body.substr(span.end, span.next - span.end));
    if (!styleKnown && !line.terminator.empty()) {
      newline_ = line.terminator;
      styleKnown = true;
    }
    lines_.push_back(std::move(line));
    pos = span.next;
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
  for (auto& text : texts) added.push_back({std::move(text), newline_, std::nullopt});
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
      lines_[i].original.reset();
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
  if (!readExactly_) return std::nullopt;
  std::string text;
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.text.size() + line.terminator.size();
  text.reserve(size + kBom.size());
  if (encoding_ == Encoding::Utf8WithBom) text.append(kBom);
  for (const auto& line : lines_) {
    if (line.original) {
      text += *line.original;
    } else if (encoding_ == Encoding::Windows1252) {
      auto encoded = vb::windows1252FromUtf8(line.text);
      if (!encoded) return std::nullopt;
      text += *encoded;
    } else {
      text += line.text;
    }
    text += line.terminator;
  }
  if (encoding_ == Encoding::Utf16Le) return "\xFF\xFE" + vb::utf16LeFromUtf8(text);
  return text;
}

}  // namespace quill::winapi

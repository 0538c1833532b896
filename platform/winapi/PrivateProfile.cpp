#include "platform/winapi/PrivateProfile.h"

#include <vector>

#include "platform/vb/TextEncoding.h"
#include "platform/winapi/FileBytes.h"
#include "platform/winapi/ProfileDocument.h"
#include "platform/winapi/ProfileText.h"

namespace quill::winapi {

namespace {

// A file read for one query, as UTF-8 text. Its bytes stay in a buffer that
// each thread keeps between calls; a file that is UTF-8 already (the usual
// case) is read in place, any other is decoded (vb::decodeFileText).
class ProfileSource {
 public:
  explicit ProfileSource(const std::filesystem::path& file) {
    thread_local std::vector<char> buffer;
    auto bytes = readFileInto(file, buffer);
    if (!bytes) return;
    readable_ = true;
    text_ = *bytes;
    const auto encoding = vb::fileEncodingOf(text_);
    if (encoding == vb::FileEncoding::Utf8WithBom) text_.remove_prefix(3);
    if (encoding == vb::FileEncoding::Utf16Le || !vb::isValidUtf8(text_)) {
      decoded_ = vb::decodeFileText(*bytes);
      text_ = decoded_;
    }
  }
  bool readable() const { return readable_; }
  std::string_view text() const { return text_; }

 private:
  bool readable_ = false;
  std::string_view text_;
  std::string decoded_;
};

// Copies `text` cut to `limit` characters; answers the characters copied.
std::uint32_t copyCut(std::string_view text, std::size_t limit, std::string& returned) {
  std::size_t bytes = vb::utf8PrefixBytes(text, limit);
  returned.assign(text.substr(0, bytes));
  return static_cast<std::uint32_t>(vb::utf8Length(returned));
}

std::uint32_t copyDefault(std::optional<std::string_view> defaultValue, std::uint32_t size, std::string& returned) {
  std::string_view text = defaultValue.value_or(std::string_view{});
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return copyCut(text, size - 1, returned);
}

std::uint32_t copyList(const std::vector<std::string_view>& names, std::uint32_t size, std::string& returned) {
  std::string list;
  for (auto name : names) {
    list.append(name);
    list += '\0';
  }
  // The list and its closing NUL must fit in the buffer.
  if (vb::utf8Length(list) + 1 <= size) {
    returned = std::move(list);
    return static_cast<std::uint32_t>(vb::utf8Length(returned));
  }
  return size < 2 ? copyCut("", 0, returned) : copyCut(list, size - 2, returned);
}

bool breaksLines(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool validSection(std::string_view section) {
  section = trimProfileName(section);
  return !section.empty() && !breaksLines(section) && section.find(']') == std::string_view::npos &&
         vb::isValidUtf8(section);
}

bool validKey(std::string_view key) {
  key = trimProfileName(key);
  return !key.empty() && !breaksLines(key) && key.find('=') == std::string_view::npos && key.front() != '[' &&
         key.front() != ';' && key.front() != '#' && vb::isValidUtf8(key);
}

bool validValue(std::string_view value) { return !breaksLines(value) && vb::isValidUtf8(value); }

// Reads the file, lets `edit` change it, and writes it back when it changed.
template <class Edit>
std::int32_t editProfile(const std::filesystem::path& file, Edit edit) {
  std::error_code error;
  bool exists = std::filesystem::exists(file, error);
  std::optional<std::string> old = exists ? readFileBytes(file) : std::string();
  if (!old) return 0;  // there but unreadable: never overwrite what we could not read
  ProfileDocument document(*old);
  if (!edit(document)) return 1;  // nothing to change
  auto bytes = document.bytes();
  if (!bytes) return 0;
  if (exists && *bytes == *old) return 1;
  return replaceFileContents(file, *bytes) ? 1 : 0;
}

}  // namespace

std::uint32_t getPrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                      std::optional<std::string_view> defaultValue, std::string& returned,
                                      std::uint32_t size, const std::filesystem::path& file) {
  returned.clear();
  if (size == 0) return 0;
  if (key && trimProfileName(*key).empty()) return 0;
  ProfileSource source(file);
  if (!section) {
    if (!source.readable()) return copyDefault(defaultValue, size, returned);
    return copyList(profileSectionNames(source.text()), size, returned);
  }
  if (!key) {
    auto names = source.readable() ? profileKeyNames(source.text(), *section) : std::vector<std::string_view>{};
    if (names.empty()) return copyDefault(defaultValue, size, returned);
    return copyList(names, size, returned);
  }
  auto value = source.readable() ? findProfileValue(source.text(), *section, *key) : std::nullopt;
  if (!value) return copyDefault(defaultValue, size, returned);
  // A value is read up to a NUL, as from a C string.
  return copyCut(value->substr(0, value->find('\0')), size - 1, returned);
}

std::int32_t writePrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                       std::optional<std::string_view> value, const std::filesystem::path& file) {
  if (!section || !validSection(*section)) return 0;
  if (!key) return editProfile(file, [&](ProfileDocument& d) { return d.deleteSection(*section); });
  if (!validKey(*key)) return 0;
  if (!value) return editProfile(file, [&](ProfileDocument& d) { return d.deleteKey(*section, *key); });
  if (!validValue(*value)) return 0;
  return editProfile(file, [&](ProfileDocument& d) {
    d.setValue(*section, *key, *value);
    return true;
  });
}

std::int32_t writePrivateProfileSection(std::string_view section, std::string_view entries,
                                        const std::filesystem::path& file) {
  if (!validSection(section)) return 0;
  std::vector<std::pair<std::string, std::string>> parsed;
  std::size_t pos = 0;
  while (pos <= entries.size()) {
    std::size_t end = entries.find('\0', pos);
    if (end == std::string_view::npos) end = entries.size();
    std::string_view entry = entries.substr(pos, end - pos);
    pos = end + 1;
    if (entry.empty()) continue;
    std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos) return 0;
    std::string_view key = entry.substr(0, eq), value = entry.substr(eq + 1);
    if (!validKey(key) || !validValue(value)) return 0;
    parsed.emplace_back(std::string(key), std::string(value));
  }
  return editProfile(file, [&](ProfileDocument& d) {
    d.replaceSection(section, parsed);
    return true;
  });
}

}  // namespace quill::winapi

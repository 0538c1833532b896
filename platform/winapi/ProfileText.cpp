#include "platform/winapi/ProfileText.h"

#include <unordered_set>

#include "platform/vb/Strings.h"

namespace quill::winapi {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Names are listed without a NUL inside them: a list separates names by NUL.
std::string_view cutAtNul(std::string_view s) { return s.substr(0, s.find('\0')); }

// Each name once, the first spelling kept.
class UniqueNames {
 public:
  void add(std::string_view name) {
    if (seen_.insert(vb::LCase(name)).second) names_.push_back(name);
  }
  std::vector<std::string_view> take() { return std::move(names_); }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<std::string_view> names_;
};

}  // namespace

std::string_view trimProfileName(std::string_view name) { return trim(name); }

ProfileLine parseProfileLine(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty()) return {};
  if (t.front() == ';' || t.front() == '#') return {ProfileLine::Comment, {}, {}};
  if (t.front() == '[') {
    std::size_t close = t.rfind(']');
    if (close == std::string_view::npos) return {ProfileLine::Other, {}, {}};
    return {ProfileLine::Section, trim(t.substr(1, close - 1)), {}};
  }
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return {ProfileLine::Other, {}, {}};
  std::string_view name = trim(t.substr(0, eq));
  if (name.empty()) return {ProfileLine::Other, {}, {}};
  return {ProfileLine::Entry, name, trim(t.substr(eq + 1))};
}

std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key) {
  section = trim(section);
  key = trim(key);
  std::optional<std::string_view> found;
  bool inSection = false, sectionSeen = false;
  forEachProfileLine(text, [&](std::string_view content) {
    // Cheap rejections first: most lines are entries of other sections.
    std::size_t first = content.find_first_not_of(" \t");
    if (first == std::string_view::npos) return true;
    char lead = content[first];
    if (lead == '[') {
      ProfileLine line = parseProfileLine(content);
      if (line.kind != ProfileLine::Section) return true;
      if (inSection) return false;  // the first occurrence of the section ended
      inSection = !sectionSeen && vb::equalsText(line.name, section);
      sectionSeen = sectionSeen || inSection;
      return true;
    }
    if (!inSection || lead == ';' || lead == '#') return true;
    ProfileLine line = parseProfileLine(content);
    if (line.kind == ProfileLine::Entry && vb::equalsText(line.name, key)) {
      std::string_view value = line.value;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      found = value;
      return false;
    }
    return true;
  });
  return found;
}

std::vector<std::string_view> profileSectionNames(std::string_view text) {
  UniqueNames names;
  forEachProfileLine(text, [&](std::string_view content) {
    ProfileLine line = parseProfileLine(content);
    if (line.kind == ProfileLine::Section) names.add(cutAtNul(line.name));
    return true;
  });
  return names.take();
}

std::vector<std::string_view> profileKeyNames(std::string_view text, std::string_view section) {
  section = trim(section);
  UniqueNames names;
  bool inSection = false;
  forEachProfileLine(text, [&](std::string_view content) {
    ProfileLine line = parseProfileLine(content);
    if (line.kind == ProfileLine::Section) {
      if (inSection) return false;
      inSection = vb::equalsText(line.name, section);
    } else if (inSection && line.kind == ProfileLine::Entry) {
      names.add(cutAtNul(line.name));
    }
    return true;
  });
  return names.take();
}

}  // namespace quill::winapi

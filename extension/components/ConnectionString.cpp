#include "extension/components/ConnectionString.h"

#include "platform/automation/Dispatch.h"

namespace quill {

namespace {
std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// Blanks inside a key count as one ("Initial  Catalog").
std::string normalKey(std::string_view key) {
  std::string out;
  for (char c : trim(key)) {
    if (c == ' ' || c == '\t') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  return foldCase(out);
}
}  // namespace

std::optional<ConnectionString> ConnectionString::parse(std::string_view text, std::string& error) {
  ConnectionString result;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t eq = text.find('=', i);
    std::size_t semi = text.find(';', i);
    if (semi != std::string_view::npos && (eq == std::string_view::npos || semi < eq)) {
      if (!trim(text.substr(i, semi - i)).empty()) {
        error = "the part \"" + std::string(trim(text.substr(i, semi - i))) + "\" has no \"=\"";
        return std::nullopt;
      }
      i = semi + 1;
      continue;
    }
    if (eq == std::string_view::npos) {
      if (!trim(text.substr(i)).empty()) {
        error = "the part \"" + std::string(trim(text.substr(i))) + "\" has no \"=\"";
        return std::nullopt;
      }
      break;
    }
    const std::string key = normalKey(text.substr(i, eq - i));
    if (key.empty()) {
      error = "a value has no name";
      return std::nullopt;
    }
    std::size_t j = eq + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    std::string value;
    if (j < text.size() && (text[j] == '"' || text[j] == '\'')) {
      const char quote = text[j];
      bool closed = false;
      for (++j; j < text.size(); ++j) {
        if (text[j] == quote) {
          if (j + 1 < text.size() && text[j + 1] == quote) {
            value += quote;
            ++j;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        value += text[j];
      }
      if (!closed) {
        error = "the value of \"" + key + "\" has an unclosed quote";
        return std::nullopt;
      }
      std::size_t end = text.find(';', j);
      if (!trim(text.substr(j, end == std::string_view::npos ? std::string_view::npos : end - j)).empty()) {
        error = "unexpected text after the quoted value of \"" + key + "\"";
        return std::nullopt;
      }
      i = end == std::string_view::npos ? text.size() : end + 1;
    } else {
      std::size_t end = text.find(';', j);
      value = std::string(trim(text.substr(j, end == std::string_view::npos ? std::string_view::npos : end - j)));
      i = end == std::string_view::npos ? text.size() : end + 1;
    }
    for (const auto& [k, v] : result.pairs_) {
      if (k == key && v != value) {
        error = "\"" + key + "\" is given twice with different values";
        return std::nullopt;
      }
    }
    result.pairs_.emplace_back(key, std::move(value));
  }
  return result;
}

std::string ConnectionString::value(std::string_view key) const {
  const std::string wanted = normalKey(key);
  for (const auto& [k, v] : pairs_)
    if (k == wanted) return v;
  return {};
}

bool ConnectionString::has(std::string_view key) const {
  const std::string wanted = normalKey(key);
  for (const auto& [k, v] : pairs_)
    if (k == wanted) return true;
  return false;
}

std::string buildConnectionString(std::string_view shapeProvider, std::string_view dataProvider,
                                  std::string_view server, std::string_view database, std::string_view user,
                                  std::string_view password) {
  std::string s;
  if (!shapeProvider.empty())
    s = std::string("Provider=") + std::string(shapeProvider) + ";Data Provider=" + std::string(dataProvider) +
        ";Data Source=" + std::string(server) + ";Initial Catalog=" + std::string(database);
  else
    s = std::string("Provider=") + std::string(dataProvider) + ";Data Source=" + std::string(server) +
        ";Initial Catalog=" + std::string(database);
  if (!user.empty() || !password.empty())
    s += ";User Id=" + std::string(user) + ";Password=" + std::string(password) + "; ";
  else
    s += ";Integrated Security=SSPI;";
  return s;
}

}  // namespace quill

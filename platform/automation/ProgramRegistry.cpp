#include "platform/automation/ProgramRegistry.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <unordered_map>

#include "platform/automation/AutomationError.h"

namespace quill {

namespace {
std::string trim(std::string_view s) {
  auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(" \t\r\n");
  return std::string(s.substr(b, e - b + 1));
}
}  // namespace

ProgramRegistry ProgramRegistry::load(const std::filesystem::path& file) {
  ProgramRegistry registry;
  std::ifstream in(file);
  if (!in) return registry;
  auto folder = file.parent_path();
  std::string line;
  while (std::getline(in, line)) {
    auto text = trim(line);
    if (text.empty() || text[0] == '#') continue;
    auto eq = text.find('=');
    if (eq == std::string::npos) continue;
    auto progId = trim(std::string_view(text).substr(0, eq));
    auto rest = trim(std::string_view(text).substr(eq + 1));
    auto blank = rest.find_first_of(" \t");
    if (progId.empty() || blank == std::string::npos) continue;
    auto kind = foldCase(rest.substr(0, blank));
    std::filesystem::path binary = trim(std::string_view(rest).substr(blank + 1));
    if (binary.is_relative()) binary = folder / binary;
    ProgramEntry entry;
    entry.progId = progId;
    entry.binary = binary;
    if (kind == "inproc") entry.kind = ProgramEntry::Kind::InProcess;
    else if (kind == "localserver") entry.kind = ProgramEntry::Kind::LocalServer;
    else continue;
    registry.entries_.push_back(std::move(entry));
  }
  return registry;
}

std::filesystem::path programFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

const ProgramRegistry& ProgramRegistry::installed() {
  static const ProgramRegistry registry = [] {
    if (const char* env = std::getenv("QUILL_REGISTRY"); env && *env) return load(env);
    return load(programFolder() / kFileName);
  }();
  return registry;
}

std::optional<ProgramEntry> ProgramRegistry::find(std::string_view progId) const {
  for (const auto& e : entries_)
    if (equalsNoCase(e.progId, progId)) return e;
  return std::nullopt;
}

void ClassFactory::add(std::string progId, Creator creator) { creators_[foldCase(progId)] = std::move(creator); }

DispatchPtr ClassFactory::create(std::string_view progId) const {
  auto it = creators_.find(foldCase(progId));
  return it == creators_.end() ? nullptr : it->second();
}

bool ClassFactory::knows(std::string_view progId) const { return creators_.count(foldCase(progId)) != 0; }

DispatchPtr createInProcessObject(const ProgramEntry& entry) {
  using Factory = bool (*)(const char*, DispatchPtr*);
  static std::mutex mutex;
  static std::unordered_map<std::string, Factory> loaded;
  std::lock_guard lock(mutex);
  auto key = entry.binary.string();
  auto it = loaded.find(key);
  if (it == loaded.end()) {
    // Libraries stay loaded for the life of the process, as COM servers do
    // while objects of theirs may exist.
    void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw AutomationError(vberr::CannotCreateObject, entry.progId, dlerror());
    auto factory = reinterpret_cast<Factory>(dlsym(handle, "QuillCreateObject"));
    if (!factory) throw vbError(vberr::CannotCreateObject, entry.progId);
    it = loaded.emplace(key, factory).first;
  }
  DispatchPtr object;
  if (!it->second(entry.progId.c_str(), &object) || !object) throw vbError(vberr::CannotCreateObject, entry.progId);
  return object;
}

}  // namespace quill

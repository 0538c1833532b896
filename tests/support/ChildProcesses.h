#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace quill::testing {

// The processes this process started that run the program `name` and are
// still running (a zombie is not), from /proc.
inline std::vector<pid_t> childProcesses(std::string_view name) {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string id = entry.path().filename().string();
    if (id.find_first_not_of("0123456789") != std::string::npos) continue;
    // "pid (comm) state ppid ..."
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    const auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    if (parent == ::getpid() && line.substr(open + 1, close - open - 1) == name && state != 'Z')
      found.push_back(static_cast<pid_t>(std::stol(id)));
  }
  return found;
}

}  // namespace quill::testing

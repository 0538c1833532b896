#include "extension/components/LibraryFolder.h"

#include <dlfcn.h>

#include "platform/automation/ProgramRegistry.h"

namespace quill {

std::filesystem::path libraryFolder() {
  // A library loaded by path is named by its path; the program itself may
  // be named as it was started, relative to a folder left since.
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) && info.dli_fname &&
      std::filesystem::path(info.dli_fname).is_absolute())
    return std::filesystem::path(info.dli_fname).parent_path();
  return programFolder();
}

}  // namespace quill

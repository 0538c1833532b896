#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/vb/Conversions.h"

namespace quill::testing {

// The bridge's object in a new quillbridge process that runs in `folder`
// (the server starts in its creator's current folder; its logs go there).
inline DispatchPtr createBridgeIn(const std::filesystem::path& folder) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  DispatchPtr bridge;
  try {
    bridge = createObject("Quillbridge.SageNextApi");
  } catch (...) {
    std::filesystem::current_path(previous);
    throw;
  }
  std::filesystem::current_path(previous);
  return bridge;
}

// Starts a bridge as the extension does: Iniciar with the installation
// folder as both paths, the company and the login, then the data-access
// object handed over. False, with nothing handed over, when Iniciar says no.
inline bool startBridge(const DispatchPtr& bridge, const std::filesystem::path& installation, std::string_view company,
                        std::string_view login, std::string_view password, DispatchPtr dataAccess) {
  const std::string folder = installation.string();
  if (!vb::CBool(late::call(bridge, "Iniciar",
                            {Variant(folder), Variant(folder), Variant(company), Variant(login), Variant(password)})))
    return false;
  late::set(bridge, "DataAccess", std::move(dataAccess));
  return true;
}

}  // namespace quill::testing

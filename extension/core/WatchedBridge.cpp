#include "extension/core/WatchedBridge.h"

#include "platform/automation/AutomationError.h"

namespace quill {

WatchedBridge::WatchedBridge(DispatchPtr bridge, std::function<void(const WatchedBridge&)> onLost)
    : bridge_(std::move(bridge)), onLost_(std::move(onLost)), className_(bridge_->className()) {}

std::vector<std::string> WatchedBridge::memberNames() const {
  return bridge_ ? bridge_->memberNames() : std::vector<std::string>{};
}

Variant WatchedBridge::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  auto self = shared_from_this();  // the owner may let go of it when told
  if (!bridge_) throw AutomationError(vberr::ServerUnavailable, className_, kLost);
  DispatchPtr bridge = bridge_;
  try {
    return bridge->invoke(member, kind, args);
  } catch (const AutomationError& error) {
    if (error.number() != vberr::ServerUnavailable) throw;
    // The last reference to a dead server's object: its process is reaped.
    bridge_.reset();
    bridge.reset();
    if (auto onLost = std::move(onLost_)) onLost(*this);
    throw AutomationError(vberr::ServerUnavailable, error.source(), kLost);
  }
}

}  // namespace quill

#include "platform/automation/remote/RemoteProxy.h"

#include "platform/automation/remote/RemoteLink.h"

namespace quill {

RemoteProxy::RemoteProxy(std::shared_ptr<RemoteLink> link, std::uint64_t id, std::string className)
    : link_(std::move(link)), id_(id), className_(std::move(className)) {}

RemoteProxy::~RemoteProxy() { link_->forget(*this); }

Variant RemoteProxy::invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  // The caller's last reference may go while the call is served (a nested
  // call releases it); the proxy stays until its own call returns.
  auto self = shared_from_this();
  return link_->invoke(*this, member, kind, args);
}

}  // namespace quill

#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/automation/Dispatch.h"

namespace quill {

class RemoteLink;

// An object of the other process, seen from this one. Calls go over the link
// and block until answered; releasing the last reference to the proxy
// releases the object in its owner's process. The proxy keeps its link (and
// so the server process) alive.
class RemoteProxy final : public Dispatch {
 public:
  // Made by the link when a reference arrives.
  RemoteProxy(std::shared_ptr<RemoteLink> link, std::uint64_t id, std::string className);
  ~RemoteProxy() override;

  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;
  // The class name the owner gave when it sent the reference.
  std::string className() const override { return className_; }

  const RemoteLink& link() const { return *link_; }

 private:
  friend class RemoteLink;
  std::shared_ptr<RemoteLink> link_;
  std::uint64_t id_;
  std::string className_;
  std::uint64_t received_ = 1;  // times the reference arrived, given back on release
};

}  // namespace quill

#pragma once

#include <stdexcept>
#include <string>

namespace quill {

// A message from the other process that does not follow the link's
// protocol (wrong shape, unknown kind, an object that was never sent). The
// link closes on it; callers see the peer as unavailable.
class ProtocolError : public std::runtime_error {
 public:
  explicit ProtocolError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace quill

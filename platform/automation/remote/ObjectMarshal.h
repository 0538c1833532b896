#pragma once

#include <nlohmann/json.hpp>

#include "platform/automation/Variant.h"

namespace quill {

// How object references are written into and read from a message. The link
// implements it: it knows which objects it has exported and which proxies
// it holds. By-value objects never reach it; the codec copies those.
class ObjectMarshal {
 public:
  // A reference to a live object (never Nothing, never a by-value object).
  virtual nlohmann::json encodeReference(const DispatchPtr& object) = 0;
  // The object a reference written by the peer stands for. Throws
  // ProtocolError for a reference that is not well formed or unknown.
  virtual DispatchPtr decodeReference(const nlohmann::json& reference) = 0;

 protected:
  ~ObjectMarshal() = default;
};

}  // namespace quill

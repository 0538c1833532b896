#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>

namespace quill {

// Reads one MessagePack document into a json value, with the limits a
// message from another process needs: nesting deeper than `maxDepth` is
// refused (so a hostile message cannot exhaust the stack), maps are refused
// (messages are arrays only), and trailing bytes make the document invalid.
// Nothing when the bytes are not such a document.
class MessagePackReader {
 public:
  static std::optional<nlohmann::json> read(std::span<const std::uint8_t> bytes, int maxDepth);
};

}  // namespace quill

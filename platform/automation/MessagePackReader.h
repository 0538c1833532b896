#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quill {

// Reads one MessagePack document into a json value, with the limits bytes
// from another process need, whoever wrote them:
// - nesting (arrays and maps together) deeper than `maxDepth` is refused
//   before it is built, so a hostile document cannot exhaust the stack;
// - a container announcing more elements than there are bytes left to hold
//   them is refused at once, before anything is set aside for it;
// - maps are refused unless `allowMaps` (their keys must be text);
// - trailing bytes make the document invalid.
// Sizes are otherwise bounded by the bytes themselves: every element takes
// at least one byte of the document.
//
// Nothing when the bytes are not such a document; `why` then says what was
// wrong, in a few words.
class MessagePackReader {
 public:
  struct Limits {
    int maxDepth = 32;
    bool allowMaps = false;
  };

  static std::optional<nlohmann::json> read(std::span<const std::uint8_t> bytes, Limits limits,
                                            std::string* why = nullptr);
  static std::optional<nlohmann::json> read(std::string_view bytes, Limits limits, std::string* why = nullptr);
};

}  // namespace quill

#include "platform/automation/MessagePackReader.h"

#include <vector>

namespace quill {

namespace {
using json = nlohmann::json;

// Builds the document from the parser's events, keeping the containers
// being filled on a stack whose height is the nesting depth. Answering
// false to an event stops the parser where it is: it never descends
// further than this builder allows.
class BoundedBuilder final : public nlohmann::json_sax<json> {
 public:
  BoundedBuilder(MessagePackReader::Limits limits, std::size_t totalBytes) : limits_(limits), totalBytes_(totalBytes) {}

  json result;
  std::string refusal;

  bool null() override { return add(json(nullptr)); }
  bool boolean(bool value) override { return add(json(value)); }
  bool number_integer(number_integer_t value) override { return add(json(value)); }
  bool number_unsigned(number_unsigned_t value) override { return add(json(value)); }
  bool number_float(number_float_t value, const string_t&) override { return add(json(value)); }
  bool string(string_t& value) override { return add(json(std::move(value))); }
  bool binary(binary_t& value) override {
    return add(json::binary(std::move(static_cast<binary_t::container_type&>(value))));
  }

  bool start_object(std::size_t elements) override {
    if (!limits_.allowMaps) return refuse("a map where only lists are accepted");
    // A map entry takes at least two bytes, its key and its value.
    if (elements != kUnknownSize && elements > totalBytes_ / 2) return refuse("a map longer than its bytes");
    return open(json::object());
  }
  bool key(string_t& name) override {
    if (open_.empty() || !open_.back()->is_object()) return refuse("a key outside a map");
    pendingKey_ = std::move(name);
    return true;
  }
  bool end_object() override { return close(); }

  bool start_array(std::size_t elements) override {
    if (elements != kUnknownSize && elements > totalBytes_) return refuse("a list longer than its bytes");
    return open(json::array());
  }
  bool end_array() override { return close(); }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    if (refusal.empty()) refusal = "not well-formed MessagePack";
    return false;
  }

  bool complete() const { return rootSet_ && open_.empty(); }

 private:
  static constexpr std::size_t kUnknownSize = static_cast<std::size_t>(-1);

  bool refuse(const char* why) {
    refusal = why;
    return false;
  }
  bool open(json container) {
    if (static_cast<int>(open_.size()) >= limits_.maxDepth) return refuse("values nested deeper than the limit");
    json* slot = place(std::move(container));
    if (!slot) return false;
    open_.push_back(slot);
    return true;
  }
  bool close() {
    if (open_.empty()) return refuse("a container closed that was not open");
    open_.pop_back();
    return true;
  }
  json* place(json value) {
    if (open_.empty()) {
      if (rootSet_) return nullptr;
      rootSet_ = true;
      result = std::move(value);
      return &result;
    }
    json& container = *open_.back();
    if (container.is_object()) return &(container[std::move(pendingKey_)] = std::move(value));
    container.push_back(std::move(value));
    return &container.back();
  }
  bool add(json value) { return place(std::move(value)) != nullptr; }

  MessagePackReader::Limits limits_;
  std::size_t totalBytes_;
  bool rootSet_ = false;
  std::vector<json*> open_;
  std::string pendingKey_;
};
}  // namespace

std::optional<json> MessagePackReader::read(std::span<const std::uint8_t> bytes, Limits limits, std::string* why) {
  BoundedBuilder builder(limits, bytes.size());
  bool ok = false;
  try {
    ok = json::sax_parse(bytes.data(), bytes.data() + bytes.size(), &builder, json::input_format_t::msgpack, true);
  } catch (const std::exception&) {
    ok = false;
  }
  if (ok && builder.complete()) return std::move(builder.result);
  if (why) *why = builder.refusal.empty() ? "not well-formed MessagePack" : builder.refusal;
  return std::nullopt;
}

std::optional<json> MessagePackReader::read(std::string_view bytes, Limits limits, std::string* why) {
  return read(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), limits,
              why);
}

}  // namespace quill

#include "platform/automation/remote/MessagePackReader.h"

#include <vector>

namespace quill {

namespace {
using json = nlohmann::json;

// Builds the document from the parser's events, keeping the containers
// being filled on a stack whose height is the nesting depth.
class BoundedBuilder final : public nlohmann::json_sax<json> {
 public:
  explicit BoundedBuilder(int maxDepth) : maxDepth_(maxDepth) {}

  json result;

  bool null() override { return add(json(nullptr)); }
  bool boolean(bool value) override { return add(json(value)); }
  bool number_integer(number_integer_t value) override { return add(json(value)); }
  bool number_unsigned(number_unsigned_t value) override { return add(json(value)); }
  bool number_float(number_float_t value, const string_t&) override { return add(json(value)); }
  bool string(string_t& value) override { return add(json(std::move(value))); }
  bool binary(binary_t& value) override {
    return add(json::binary(std::move(static_cast<binary_t::container_type&>(value))));
  }

  bool start_object(std::size_t) override { return false; }
  bool key(string_t&) override { return false; }
  bool end_object() override { return false; }

  bool start_array(std::size_t) override {
    if (static_cast<int>(open_.size()) >= maxDepth_) return false;
    json* slot = place(json::array());
    if (!slot) return false;
    open_.push_back(slot);
    return true;
  }
  bool end_array() override {
    if (open_.empty()) return false;
    open_.pop_back();
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

  bool complete() const { return rootSet_ && open_.empty(); }

 private:
  json* place(json value) {
    if (open_.empty()) {
      if (rootSet_) return nullptr;
      rootSet_ = true;
      result = std::move(value);
      return &result;
    }
    json& array = *open_.back();
    array.push_back(std::move(value));
    return &array.back();
  }
  bool add(json value) { return place(std::move(value)) != nullptr; }

  int maxDepth_;
  bool rootSet_ = false;
  std::vector<json*> open_;
};
}  // namespace

std::optional<json> MessagePackReader::read(std::span<const std::uint8_t> bytes, int maxDepth) {
  BoundedBuilder builder(maxDepth);
  try {
    bool ok = json::sax_parse(bytes.data(), bytes.data() + bytes.size(), &builder, json::input_format_t::msgpack, true);
    if (!ok || !builder.complete()) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return std::move(builder.result);
}

}  // namespace quill

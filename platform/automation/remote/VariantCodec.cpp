#include "platform/automation/remote/VariantCodec.h"

#include <fmt/format.h>

#include <limits>

#include "platform/automation/AutomationError.h"
#include "platform/automation/ByValue.h"
#include "platform/automation/Dispatch.h"
#include "platform/automation/remote/ProtocolError.h"

namespace quill {

namespace {
using json = nlohmann::json;

// An integer of the message within [lo, hi]; msgpack writes small positive
// numbers as unsigned, so both kinds are accepted.
std::int64_t integerIn(const json& value, std::int64_t lo, std::int64_t hi, const char* what) {
  std::int64_t n = 0;
  if (value.is_number_unsigned()) {
    auto u = value.get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(hi)) throw ProtocolError(fmt::format("{} out of range", what));
    n = static_cast<std::int64_t>(u);
  } else if (value.is_number_integer()) {
    n = value.get<std::int64_t>();
  } else {
    throw ProtocolError(fmt::format("{} is not an integer", what));
  }
  if (n < lo || n > hi) throw ProtocolError(fmt::format("{} out of range", what));
  return n;
}

double numberOf(const json& value, const char* what) {
  if (value.is_number_float()) return value.get<double>();
  if (value.is_number_integer() || value.is_number_unsigned()) return value.get<double>();
  throw ProtocolError(fmt::format("{} is not a number", what));
}
}  // namespace

json VariantCodec::encode(const Variant& value, ObjectMarshal& objects) { return encodeAt(value, objects, 0); }

Variant VariantCodec::decode(const json& value, ObjectMarshal& objects) { return decodeAt(value, objects, 0); }

json VariantCodec::encodeAt(const Variant& value, ObjectMarshal& objects, int depth) {
  switch (value.type()) {
    case VarType::Empty:
      return json(nullptr);
    case VarType::Null:
      return json::array({Null});
    case VarType::Boolean:
      return json(value.boolValue());
    case VarType::Integer:
      return json::array({Integer, value.integerValue()});
    case VarType::Long:
      return json(value.longValue());
    case VarType::Double:
      return json(value.doubleValue());
    case VarType::Date:
      return json::array({Date, value.dateValue().serial});
    case VarType::String:
      return json(value.stringValue());
    case VarType::Object: {
      const DispatchPtr& object = value.objectValue();
      if (!object) return json::array({Object});
      if (auto* byValue = dynamic_cast<const ByValueObject*>(object.get())) {
        std::string bytes = byValue->serialize();
        return json::array(
            {ByValue, byValue->byValueTypeName(), json::binary(std::vector<std::uint8_t>(bytes.begin(), bytes.end()))});
      }
      return objects.encodeReference(object);
    }
    case VarType::Array: {
      if (depth >= kMaxArrayDepth)
        throw AutomationError(
            vberr::InvalidCall, "Quill",
            fmt::format("Arrays nested more than {} deep cannot be passed to another process", kMaxArrayDepth));
      const VariantArray& array = value.arrayValue();
      json items = json::array();
      items.get_ref<json::array_t&>().reserve(array.items.size());
      for (const Variant& item : array.items) items.push_back(encodeAt(item, objects, depth + 1));
      return json::array({Array, array.lowerBound, std::move(items)});
    }
  }
  throw AutomationError(vberr::TypeMismatch, "Quill", "A value of an unknown kind cannot be passed to another process");
}

Variant VariantCodec::decodeAt(const json& value, ObjectMarshal& objects, int depth) {
  switch (value.type()) {
    case json::value_t::null:
      return Variant();
    case json::value_t::boolean:
      return Variant(value.get<bool>());
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
      return Variant(static_cast<std::int32_t>(integerIn(value, std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max(), "a Long")));
    case json::value_t::number_float:
      return Variant(value.get<double>());
    case json::value_t::string:
      return Variant(value.get_ref<const std::string&>());
    case json::value_t::array:
      break;
    default:
      throw ProtocolError("a value of an unknown kind");
  }
  if (value.empty()) throw ProtocolError("an empty tagged value");
  auto tag = integerIn(value[0], 0, Array, "a value's tag");
  switch (tag) {
    case Null:
      if (value.size() != 1) break;
      return Variant::null();
    case Integer:
      if (value.size() != 2) break;
      return Variant(static_cast<std::int16_t>(integerIn(value[1], std::numeric_limits<std::int16_t>::min(),
                                                         std::numeric_limits<std::int16_t>::max(), "an Integer")));
    case Date:
      if (value.size() != 2) break;
      return Variant(quill::Date{numberOf(value[1], "a Date")});
    case Object:
      if (value.size() == 1) return Variant(DispatchPtr());
      return Variant(objects.decodeReference(value));
    case ByValue: {
      if (value.size() != 3 || !value[1].is_string() || !value[2].is_binary()) break;
      const auto& bytes = value[2].get_binary();
      return Variant(deserializeByValue(value[1].get_ref<const std::string&>(),
                                        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
    }
    case Array: {
      if (value.size() != 3 || !value[2].is_array()) break;
      if (depth >= kMaxArrayDepth) throw ProtocolError("arrays nested too deep");
      VariantArray array;
      array.lowerBound =
          static_cast<std::int32_t>(integerIn(value[1], std::numeric_limits<std::int32_t>::min(),
                                              std::numeric_limits<std::int32_t>::max(), "an array's lower bound"));
      const auto& items = value[2].get_ref<const json::array_t&>();
      if (static_cast<std::int64_t>(array.lowerBound) + static_cast<std::int64_t>(items.size()) - 1 >
          std::numeric_limits<std::int32_t>::max())
        throw ProtocolError("an array whose upper bound does not fit a Long");
      array.items.reserve(items.size());
      for (const json& item : items) array.items.push_back(decodeAt(item, objects, depth + 1));
      return Variant(std::move(array));
    }
    default:
      break;
  }
  throw ProtocolError(fmt::format("a malformed value with tag {}", tag));
}

}  // namespace quill

#pragma once

#include <nlohmann/json.hpp>

#include "platform/automation/Variant.h"
#include "platform/automation/remote/ObjectMarshal.h"

namespace quill {

// Variants as the values of a MessagePack message, kind for kind:
//
//   Empty nil · Boolean bool · Long int · Double float · String str
//   [1] Null · [2, n] Integer · [7, serial] Date · [9] Nothing
//   [9, ...] an object reference (written by the ObjectMarshal)
//   [10, type name, bin] a by-value object · [8192, lower bound, [items]] an array
//
// Strings travel as raw bytes; nothing checks or changes their encoding.
class VariantCodec {
 public:
  // Arrays nested deeper than this are refused on both sides.
  static constexpr int kMaxArrayDepth = 32;

  enum Tag : int { Null = 1, Integer = 2, Date = 7, Object = 9, ByValue = 10, Array = 8192 };

  // Fails with AutomationError for what cannot cross (arrays nested too
  // deep); passes on a by-value object's serialization errors.
  static nlohmann::json encode(const Variant& value, ObjectMarshal& objects);

  // Throws ProtocolError for a value that is not well formed and passes on
  // AutomationError from rebuilding a by-value object.
  static Variant decode(const nlohmann::json& value, ObjectMarshal& objects);

 private:
  static nlohmann::json encodeAt(const Variant& value, ObjectMarshal& objects, int depth);
  static Variant decodeAt(const nlohmann::json& value, ObjectMarshal& objects, int depth);
};

}  // namespace quill

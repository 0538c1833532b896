#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/automation/PropertyBag.h"

namespace quill::host {

// A property bag that remembers which properties its callers wrote. The
// host hands the extension's hooks its line this way, so that after a hook
// it can tell "the hook set the price" from "the hook left the price alone",
// even when the value written equals the one it had.
class TrackedPropertyBag : public PropertyBag {
 public:
  explicit TrackedPropertyBag(std::string className) : PropertyBag(std::move(className)) {}

  static std::shared_ptr<TrackedPropertyBag> create(std::string className) {
    return std::make_shared<TrackedPropertyBag>(std::move(className));
  }

  // True when a caller put the property since the bag was made (names
  // without regard to case); the host's own setValue does not count.
  bool written(std::string_view name) const;

  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

 private:
  std::set<std::string> written_;
};

}  // namespace quill::host

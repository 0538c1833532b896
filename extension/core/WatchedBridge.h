#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill {

// The bridge object as the extension and its forms hold it. Calls pass on
// to the bridge; one that finds the bridge gone (462: its process died or
// stopped answering) lets it go, tells the owner once, and fails with the
// same number and a description in the user's words, which whoever shows
// the error shows. Every later call fails so at once.
class WatchedBridge final : public Dispatch {
 public:
  static constexpr const char* kLost =
      "A ligação à API perdeu-se: a API deixou de responder. A ligação fica desligada; "
      "pode voltar a ligá-la no menu, em Ligação SageNext API.";

  WatchedBridge(DispatchPtr bridge, std::function<void(const WatchedBridge&)> onLost);

  Variant invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;
  std::string className() const override { return className_; }
  std::vector<std::string> memberNames() const override;

  bool lost() const { return !bridge_; }

 private:
  DispatchPtr bridge_;
  std::function<void(const WatchedBridge&)> onLost_;
  std::string className_;
};

}  // namespace quill

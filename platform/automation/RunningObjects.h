#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/automation/Dispatch.h"

namespace quill {

// The running-object table of this process: an application object that can
// be attached to ("the running one") registers itself under its program id
// while it is alive, and VB's GetObject(, progId) finds it there.
//
// The table holds its objects weakly: a registration never keeps an object
// alive, and an object that is gone is simply not found.

// VB's GetObject(, progId): the first registered object of that program id
// that is still alive (program ids without regard to case). Fails with 429
// "ActiveX component can't create object" when none is.
DispatchPtr getActiveObject(std::string_view progId);

// One entry in the table, removed when the registration is revoked or ends.
class ActiveObjectRegistration {
 public:
  ActiveObjectRegistration() = default;
  ActiveObjectRegistration(std::string progId, std::weak_ptr<Dispatch> object);
  ~ActiveObjectRegistration() { revoke(); }
  ActiveObjectRegistration(ActiveObjectRegistration&& other) noexcept : id_(other.id_) { other.id_ = 0; }
  ActiveObjectRegistration& operator=(ActiveObjectRegistration&& other) noexcept;
  ActiveObjectRegistration(const ActiveObjectRegistration&) = delete;
  ActiveObjectRegistration& operator=(const ActiveObjectRegistration&) = delete;

  void revoke();
  bool active() const { return id_ != 0; }

 private:
  std::uint64_t id_ = 0;
};

}  // namespace quill

#include "platform/automation/RunningObjects.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/automation/AutomationError.h"

namespace quill {

namespace {

struct Entry {
  std::uint64_t id;
  std::string progId;
  std::weak_ptr<Dispatch> object;
};

struct Table {
  std::mutex mutex;
  std::vector<Entry> entries;  // in registration order
  std::uint64_t lastId = 0;
};

Table& table() {
  static Table t;
  return t;
}

}  // namespace

DispatchPtr getActiveObject(std::string_view progId) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  for (const Entry& e : t.entries) {
    if (!equalsNoCase(e.progId, progId)) continue;
    if (auto object = e.object.lock()) return object;
  }
  throw vbError(vberr::CannotCreateObject);
}

ActiveObjectRegistration::ActiveObjectRegistration(std::string progId, std::weak_ptr<Dispatch> object) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  id_ = ++t.lastId;
  t.entries.push_back(Entry{id_, std::move(progId), std::move(object)});
}

ActiveObjectRegistration& ActiveObjectRegistration::operator=(ActiveObjectRegistration&& other) noexcept {
  if (this != &other) {
    revoke();
    id_ = other.id_;
    other.id_ = 0;
  }
  return *this;
}

void ActiveObjectRegistration::revoke() {
  if (id_ == 0) return;
  Table& t = table();
  std::lock_guard lock(t.mutex);
  std::erase_if(t.entries, [this](const Entry& e) { return e.id == id_; });
  id_ = 0;
}

}  // namespace quill

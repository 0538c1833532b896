#include "platform/automation/SlowCalls.h"

#include <algorithm>
#include <vector>

namespace quill {

namespace {
std::vector<SlowCallObserver*>& observers() {
  thread_local std::vector<SlowCallObserver*> list;
  return list;
}
}  // namespace

SlowCallObserver* slowCallObserver() { return observers().empty() ? nullptr : observers().back(); }

void addSlowCallObserver(SlowCallObserver* observer) {
  if (observer) observers().push_back(observer);
}

void removeSlowCallObserver(SlowCallObserver* observer) {
  auto& list = observers();
  if (auto it = std::find(list.rbegin(), list.rend(), observer); it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace quill

#include "platform/automation/ByValue.h"

#include <mutex>
#include <unordered_map>

#include "platform/automation/AutomationError.h"

namespace quill {

namespace {
struct Registry {
  std::mutex mutex;
  std::unordered_map<std::string, ByValueFactory> factories;
};
Registry& registry() {
  static Registry r;
  return r;
}
}  // namespace

void registerByValueType(std::string typeName, ByValueFactory factory) {
  auto& r = registry();
  std::lock_guard lock(r.mutex);
  r.factories[std::move(typeName)] = std::move(factory);
}

DispatchPtr deserializeByValue(std::string_view typeName, std::string_view bytes) {
  ByValueFactory factory;
  {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.factories.find(std::string(typeName));
    if (it == r.factories.end()) throw vbError(vberr::TypeMismatch);
    factory = it->second;
  }
  return factory(bytes);
}

}  // namespace quill

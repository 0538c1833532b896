#include "platform/ui/ProcessUi.h"

#include "platform/ui/QtUiServices.h"

namespace quill::ui {

namespace {
std::shared_ptr<UiServices>& installed() {
  static std::shared_ptr<UiServices> services;
  return services;
}
}  // namespace

UiServices& processUiServices() {
  auto& services = installed();
  if (!services) services = std::make_shared<QtUiServices>();
  return *services;
}

void installProcessUiServices(std::shared_ptr<UiServices> services) { installed() = std::move(services); }

}  // namespace quill::ui

#pragma once

#include <memory>

#include "platform/ui/UiServices.h"

namespace quill::ui {

// The user interface of this process: what the host installed, else a
// QtUiServices made on first use. Libraries loaded into the host (the
// extension) show their boxes and forms through it, so a host that runs
// scripted answers them too.
UiServices& processUiServices();
void installProcessUiServices(std::shared_ptr<UiServices> services);

}  // namespace quill::ui

#include "platform/ui/UiServices.h"

#include <string>

#include "platform/automation/AutomationError.h"
#include "platform/vb/MsgBox.h"

namespace quill::ui {

void UiServices::showError(const std::exception& error, std::string_view title) {
  msgBox("Erro " + asAutomationError(error).description(), vb::vbExclamation, title);
}

void UiServices::showNumberedError(const std::exception& error, std::string_view title) {
  const AutomationError automation = asAutomationError(error);
  msgBox("Erro " + std::to_string(automation.number()) + " - " + automation.description(), vb::vbExclamation, title);
}

}  // namespace quill::ui

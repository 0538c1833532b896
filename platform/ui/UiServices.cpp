#include "platform/ui/UiServices.h"

#include <string>

#include "platform/automation/AutomationError.h"
#include "platform/vb/MsgBox.h"

namespace quill::ui {

std::string UiServices::errorPrompt(const std::exception& error) {
  return "Erro " + asAutomationError(error).description();
}

void UiServices::showError(const std::exception& error, std::string_view title) {
  msgBox(errorPrompt(error), vb::vbExclamation, title);
}

void UiServices::showNumberedError(const std::exception& error, std::string_view title) {
  const AutomationError automation = asAutomationError(error);
  msgBox("Erro " + std::to_string(automation.number()) + " - " + automation.description(), vb::vbExclamation, title);
}

}  // namespace quill::ui

#include "platform/ui/ScriptedUiServices.h"

#include <QApplication>
#include <QWidget>

namespace quill::ui {

void ScriptedUiServices::showModal(QWidget& form, std::int32_t) {
  if (modalHandlers_.empty()) return;  // the user closes it at once
  auto handler = std::move(modalHandlers_.front());
  modalHandlers_.pop_front();
  form.show();
  // As a modal window does, it takes the keyboard while the user plays it.
  form.activateWindow();
  QApplication::setActiveWindow(&form);
  handler(form);
  form.hide();
}

void ScriptedUiServices::showModeless(QWidget& form) { form.show(); }

}  // namespace quill::ui

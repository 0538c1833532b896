#pragma once

#include <deque>
#include <functional>

#include "platform/ui/RecordingUiServices.h"

namespace quill::ui {

// UiServices for tests and scripts of forms: what RecordingUiServices
// records and answers, and modal forms driven through handlers queued by
// the test.
class ScriptedUiServices : public RecordingUiServices {
 public:
  using FormHandler = std::function<void(QWidget&)>;

  // The next modal form is handed to this function, which plays the user
  // (fills fields, clicks buttons) and must end by hiding or closing it.
  void onNextModal(FormHandler handler) { modalHandlers_.push_back(std::move(handler)); }

  void showModal(QWidget& form, std::int32_t owner = 0) override;
  void showModeless(QWidget& form) override;

 private:
  std::deque<FormHandler> modalHandlers_;
};

}  // namespace quill::ui

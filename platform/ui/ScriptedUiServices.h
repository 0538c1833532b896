#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <iterator>
#include <vector>

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
  // Handlers for the forms about to open, before every one queued already
  // (the forms a form opens come before the forms after it).
  void onNextModalsFirst(std::vector<FormHandler> handlers) {
    modalHandlers_.insert(modalHandlers_.begin(), std::make_move_iterator(handlers.begin()),
                          std::make_move_iterator(handlers.end()));
  }
  // Handlers queued and not used yet, and forgetting them.
  std::size_t pendingModals() const { return modalHandlers_.size(); }
  void clearPendingModals() { modalHandlers_.clear(); }
  // Forgets `count` handlers from the front (or the back) of the queue.
  void dropPendingModals(std::size_t count, bool fromFront) {
    count = std::min(count, modalHandlers_.size());
    if (fromFront)
      modalHandlers_.erase(modalHandlers_.begin(), modalHandlers_.begin() + static_cast<std::ptrdiff_t>(count));
    else
      modalHandlers_.erase(modalHandlers_.end() - static_cast<std::ptrdiff_t>(count), modalHandlers_.end());
  }

  void showModal(QWidget& form, std::int32_t owner = 0) override;
  void showModeless(QWidget& form) override;

 private:
  std::deque<FormHandler> modalHandlers_;
};

}  // namespace quill::ui

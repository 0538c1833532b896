#include "host/ObservedUiServices.h"

namespace quill::host {

int ObservedUiServices::msgBox(const ui::MessageBox& box) {
  ++boxCount_;
  lastPrompt_ = box.prompt;
  int answer = inner_->msgBox(box);
  if (listener_) {
    Listener listener = listener_;  // the listener may replace itself
    listener(box, answer);
  }
  return answer;
}

}  // namespace quill::host

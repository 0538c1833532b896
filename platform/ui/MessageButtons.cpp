#include "platform/ui/MessageButtons.h"

namespace quill::ui {

std::vector<int> buttonAnswers(const MessageBox& box) {
  // VB's answer numbers: OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7.
  switch (box.buttons()) {
    case 1:
      return {1, 2};
    case 2:
      return {3, 4, 5};
    case 3:
      return {6, 7, 2};
    case 4:
      return {6, 7};
    case 5:
      return {4, 2};
    default:
      return {1};
  }
}

int defaultAnswer(const MessageBox& box) {
  auto answers = buttonAnswers(box);
  std::size_t index = static_cast<std::size_t>(box.defaultButton() >> 8);
  return index < answers.size() ? answers[index] : answers.front();
}

}  // namespace quill::ui

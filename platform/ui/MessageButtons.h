#pragma once

#include <vector>

#include "platform/ui/UiServices.h"

namespace quill::ui {

// The answers (vbOK, vbYes, ...) of the buttons a box shows, left to right.
std::vector<int> buttonAnswers(const MessageBox& box);

// The answer of the box's default button (vbDefaultButton1..3; the first
// button when the flag names a button the box does not have).
int defaultAnswer(const MessageBox& box);

}  // namespace quill::ui

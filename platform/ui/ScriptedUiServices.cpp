#include "platform/ui/ScriptedUiServices.h"

#include <QWidget>

#include "platform/ui/MessageButtons.h"

namespace quill::ui {

int ScriptedUiServices::msgBox(const MessageBox& box) {
  boxes_.push_back(box);
  if (answers_.empty()) return defaultAnswer(box);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedUiServices::showModal(QWidget& form, std::int32_t) {
  if (modalHandlers_.empty()) return;  // the user closes it at once
  auto handler = std::move(modalHandlers_.front());
  modalHandlers_.pop_front();
  form.show();
  handler(form);
  form.hide();
}

void ScriptedUiServices::showModeless(QWidget& form) { form.show(); }

void ScriptedUiServices::processEvents() {
  ++processEventsCalls_;
  if (tickOnProcessEvents_) tickTimers();
}

std::optional<std::filesystem::path> ScriptedUiServices::saveFileDialog(const SaveFileRequest&) { return saveFile_; }

bool ScriptedUiServices::openWithDefaultProgram(const std::filesystem::path& file) {
  openedFiles_.push_back(file);
  return true;
}

void ScriptedUiServices::tickTimers() {
  // A callback may stop timers, so walk a copy of the identifiers.
  std::vector<std::uint32_t> ids;
  for (const auto& [id, fn] : timers_) ids.push_back(id);
  for (auto id : ids)
    if (auto it = timers_.find(id); it != timers_.end()) {
      auto fn = it->second;
      fn();
    }
}

std::uint32_t ScriptedUiServices::setTimer(int, std::function<void()> onTick) {
  auto id = nextTimerId_++;
  timers_.emplace(id, std::move(onTick));
  return id;
}

void ScriptedUiServices::killTimer(std::uint32_t timerId) { timers_.erase(timerId); }

}  // namespace quill::ui

#include "platform/ui/RecordingUiServices.h"

#include <algorithm>

#include "platform/ui/MessageButtons.h"

namespace quill::ui {

int RecordingUiServices::msgBox(const MessageBox& box) {
  boxes_.push_back(box);
  if (answers_.empty()) return defaultAnswer(box);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void RecordingUiServices::processEvents() {
  ++processEventsCalls_;
  if (tickOnProcessEvents_) tickTimers();
}

void RecordingUiServices::showProgress(std::string_view caption, std::int64_t done, std::int64_t total) {
  progressShown_ = total > 0;
  if (total <= 0) return;
  ++progressUpdates_;
  progressTotal_ = std::max(progressTotal_, total);
  progressCaption_ = caption;
}

std::optional<std::filesystem::path> RecordingUiServices::saveFileDialog(const SaveFileRequest&) { return saveFile_; }

bool RecordingUiServices::openWithDefaultProgram(const std::filesystem::path& file) {
  openedFiles_.push_back(file);
  return true;
}

void RecordingUiServices::tickTimers() {
  // A callback may stop timers, so walk a copy of the identifiers.
  std::vector<std::uint32_t> ids;
  for (const auto& [id, fn] : timers_) ids.push_back(id);
  for (auto id : ids)
    if (auto it = timers_.find(id); it != timers_.end()) {
      auto fn = it->second;
      fn();
    }
}

std::uint32_t RecordingUiServices::setTimer(int intervalMs, std::function<void()> onTick) {
  auto id = nextTimerId_++;
  timers_.emplace(id, std::move(onTick));
  timerIntervals_.push_back(intervalMs);
  return id;
}

void RecordingUiServices::killTimer(std::uint32_t timerId) { timers_.erase(timerId); }

}  // namespace quill::ui

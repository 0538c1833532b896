#pragma once

#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "platform/ui/UiServices.h"

namespace quill::ui {

// UiServices without a window system, for tests and scripts of business
// code: records every message box and answers it from a script, counts
// DoEvents, keeps timers that the caller fires. A form it is asked to show
// is not shown (ScriptedUiServices drives Qt forms on top of it).
class RecordingUiServices : public UiServices {
 public:
  // The next message box answers this (vbYes, vbNo, ...). Boxes with no
  // scripted answer answer their default button.
  void answerNext(int answer) { answers_.push_back(answer); }
  // A save-file dialog answers this (nothing: the user cancels).
  void answerSaveFile(std::optional<std::filesystem::path> file) { saveFile_ = std::move(file); }

  const std::vector<MessageBox>& boxes() const { return boxes_; }
  void clearBoxes() { boxes_.clear(); }
  int processEventsCalls() const { return processEventsCalls_; }
  int processEventsExceptInputCalls() const { return exceptInputCalls_; }
  bool busy() const { return busy_; }
  // The progress shown so far: how many updates, the largest total and the
  // last caption; whether a bar is still shown.
  int progressUpdates() const { return progressUpdates_; }
  std::int64_t progressTotal() const { return progressTotal_; }
  const std::string& progressCaption() const { return progressCaption_; }
  bool progressShown() const { return progressShown_; }
  const std::vector<std::filesystem::path>& openedFiles() const { return openedFiles_; }
  std::size_t runningTimers() const { return timers_.size(); }
  // The intervals the timers were started with, in the order they started.
  const std::vector<int>& timerIntervals() const { return timerIntervals_; }
  // Fires every running timer once, as the window system would after its interval.
  void tickTimers();
  // When set, every processEvents() also fires the running timers once.
  void setTickOnProcessEvents(bool on) { tickOnProcessEvents_ = on; }

  int msgBox(const MessageBox& box) override;
  using UiServices::msgBox;
  void showModal(QWidget&, std::int32_t = 0) override {}
  void showModeless(QWidget&) override {}
  void processEvents() override;
  void processEventsExceptInput() override { ++exceptInputCalls_; }
  void setBusyCursor(bool busy) override { busy_ = busy; }
  void showProgress(std::string_view caption, std::int64_t done, std::int64_t total) override;
  std::optional<std::filesystem::path> saveFileDialog(const SaveFileRequest& request) override;
  bool openWithDefaultProgram(const std::filesystem::path& file) override;
  std::uint32_t setTimer(int intervalMs, std::function<void()> onTick) override;
  void killTimer(std::uint32_t timerId) override;

 private:
  std::deque<int> answers_;
  std::optional<std::filesystem::path> saveFile_;
  std::vector<MessageBox> boxes_;
  std::vector<std::filesystem::path> openedFiles_;
  std::map<std::uint32_t, std::function<void()>> timers_;
  std::vector<int> timerIntervals_;
  std::uint32_t nextTimerId_ = 1;
  int processEventsCalls_ = 0;
  int exceptInputCalls_ = 0;
  bool busy_ = false;
  int progressUpdates_ = 0;
  std::int64_t progressTotal_ = 0;
  std::string progressCaption_;
  bool progressShown_ = false;
  bool tickOnProcessEvents_ = false;
};

}  // namespace quill::ui

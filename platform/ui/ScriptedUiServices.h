#pragma once

#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "platform/ui/UiServices.h"

namespace quill::ui {

// UiServices for tests and scripts: records every message box and answers
// from a script; drives modal forms through handlers queued by the test.
class ScriptedUiServices : public UiServices {
 public:
  using FormHandler = std::function<void(QWidget&)>;

  // The next message box answers this (vbYes, vbNo, ...). Boxes with no
  // scripted answer answer their default button.
  void answerNext(int answer) { answers_.push_back(answer); }
  // The next modal form is handed to this function, which plays the user
  // (fills fields, clicks buttons) and must end by hiding or closing it.
  void onNextModal(FormHandler handler) { modalHandlers_.push_back(std::move(handler)); }
  // A save-file dialog answers this (nothing: the user cancels).
  void answerSaveFile(std::optional<std::filesystem::path> file) { saveFile_ = std::move(file); }

  const std::vector<MessageBox>& boxes() const { return boxes_; }
  void clearBoxes() { boxes_.clear(); }
  int processEventsCalls() const { return processEventsCalls_; }
  bool busy() const { return busy_; }
  const std::vector<std::filesystem::path>& openedFiles() const { return openedFiles_; }
  std::size_t runningTimers() const { return timers_.size(); }
  // Fires every running timer once, as the window system would after its interval.
  void tickTimers();
  // When set, every processEvents() also fires the running timers once.
  void setTickOnProcessEvents(bool on) { tickOnProcessEvents_ = on; }

  int msgBox(const MessageBox& box) override;
  using UiServices::msgBox;
  void showModal(QWidget& form, std::int32_t owner = 0) override;
  void showModeless(QWidget& form) override;
  void processEvents() override;
  void setBusyCursor(bool busy) override { busy_ = busy; }
  std::optional<std::filesystem::path> saveFileDialog(const SaveFileRequest& request) override;
  bool openWithDefaultProgram(const std::filesystem::path& file) override;
  std::uint32_t setTimer(int intervalMs, std::function<void()> onTick) override;
  void killTimer(std::uint32_t timerId) override;

 private:
  std::deque<int> answers_;
  std::deque<FormHandler> modalHandlers_;
  std::optional<std::filesystem::path> saveFile_;
  std::vector<MessageBox> boxes_;
  std::vector<std::filesystem::path> openedFiles_;
  std::map<std::uint32_t, std::function<void()>> timers_;
  std::uint32_t nextTimerId_ = 1;
  int processEventsCalls_ = 0;
  bool busy_ = false;
  bool tickOnProcessEvents_ = false;
};

}  // namespace quill::ui

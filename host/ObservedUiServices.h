#pragma once

#include <functional>
#include <memory>

#include "platform/ui/UiServices.h"

namespace quill::host {

// The host's user interface as installed for the whole process: it passes
// everything on to the real services (Qt, or scripted answers) and tells a
// listener about every message box and the answer it got.
class ObservedUiServices : public ui::UiServices {
 public:
  using Listener = std::function<void(const ui::MessageBox& box, int answer)>;

  explicit ObservedUiServices(std::shared_ptr<ui::UiServices> inner) : inner_(std::move(inner)) {}

  ui::UiServices& inner() { return *inner_; }
  // How many boxes were shown so far, and what the last one said: what a
  // caller learns of a call to the extension that showed one.
  std::size_t boxCount() const { return boxCount_; }
  const std::string& lastPrompt() const { return lastPrompt_; }
  // One listener at a time; an empty function removes it.
  void setListener(Listener listener) { listener_ = std::move(listener); }

  int msgBox(const ui::MessageBox& box) override;
  using ui::UiServices::msgBox;
  void showModal(QWidget& form, std::int32_t owner = 0) override { inner_->showModal(form, owner); }
  void showModeless(QWidget& form) override { inner_->showModeless(form); }
  void processEvents() override { inner_->processEvents(); }
  void processEventsExceptInput() override { inner_->processEventsExceptInput(); }
  void setBusyCursor(bool busy) override { inner_->setBusyCursor(busy); }
  void showProgress(std::string_view caption, std::int64_t done, std::int64_t total) override {
    inner_->showProgress(caption, done, total);
  }
  std::optional<std::filesystem::path> saveFileDialog(const ui::SaveFileRequest& request) override {
    return inner_->saveFileDialog(request);
  }
  bool openWithDefaultProgram(const std::filesystem::path& file) override {
    return inner_->openWithDefaultProgram(file);
  }
  std::uint32_t setTimer(int intervalMs, std::function<void()> onTick) override {
    return inner_->setTimer(intervalMs, std::move(onTick));
  }
  void killTimer(std::uint32_t timerId) override { inner_->killTimer(timerId); }

 private:
  std::shared_ptr<ui::UiServices> inner_;
  Listener listener_;
  std::size_t boxCount_ = 0;
  std::string lastPrompt_;
};

}  // namespace quill::host

#pragma once

#include <map>
#include <memory>

#include "platform/ui/UiServices.h"

class QProgressDialog;
class QTimer;

namespace quill::ui {

// UiServices on Qt Widgets, for the real host. Needs a QApplication.
class QtUiServices : public UiServices {
 public:
  QtUiServices();
  ~QtUiServices() override;

  int msgBox(const MessageBox& box) override;
  using UiServices::msgBox;
  void showModal(QWidget& form, std::int32_t owner = 0) override;
  void showModeless(QWidget& form) override;
  void processEvents() override;
  void processEventsExceptInput() override;
  void setBusyCursor(bool busy) override;
  void showProgress(std::string_view caption, std::int64_t done, std::int64_t total) override;
  std::optional<std::filesystem::path> saveFileDialog(const SaveFileRequest& request) override;
  bool openWithDefaultProgram(const std::filesystem::path& file) override;
  std::uint32_t setTimer(int intervalMs, std::function<void()> onTick) override;
  void killTimer(std::uint32_t timerId) override;

 private:
  std::map<std::uint32_t, std::unique_ptr<QTimer>> timers_;
  std::uint32_t nextTimerId_ = 1;
  int busyDepth_ = 0;
  std::unique_ptr<QProgressDialog> progress_;
};

// "Desc (*.xls;*.xlsx)|*.xls;*.xlsx" (VB) as "Desc (*.xls *.xlsx)" (Qt).
std::string qtFileFilter(std::string_view vbFilter);

}  // namespace quill::ui

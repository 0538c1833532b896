#include "extension/core/BridgeWait.h"

#include "extension/components/WaitWindow.h"
#include "platform/ui/UiServices.h"

namespace quill {

BridgeWait::BridgeWait(ui::UiServices& ui, std::function<std::unique_ptr<WaitWindow>()> createWindow,
                       std::function<bool()> windowShown)
    : ui_(ui), createWindow_(std::move(createWindow)), windowShown_(std::move(windowShown)) {}

BridgeWait::~BridgeWait() = default;

void BridgeWait::slowCallStarted() {
  if (depth_++ > 0) return;
  ticks_ = 0;
  ui_.setBusyCursor(true);
  if (createWindow_ && !(windowShown_ && windowShown_())) {
    window_ = createWindow_();
    if (window_) {
      window_->setCaption(kCaption);
      window_->setMessage(kMessage);
      window_->setProgressMaximum(100);
      window_->setProgressValue(0);
      window_->show();
    }
  }
  ui_.processEventsExceptInput();
}

void BridgeWait::slowCallWaiting() {
  if (depth_ == 0) return;
  if (window_ && ++ticks_ % kTicksPerStep == 0) window_->advance();
  ui_.processEventsExceptInput();
}

void BridgeWait::slowCallEnded() {
  if (depth_ == 0 || --depth_ > 0) return;
  if (window_) {
    window_->hide();
    window_.reset();
  }
  ui_.setBusyCursor(false);
}

}  // namespace quill

#pragma once

#include <functional>
#include <memory>

#include "platform/automation/SlowCalls.h"

namespace quill {

class WaitWindow;
namespace ui {
class UiServices;
}

// What the user sees while a call to the ERP API bridge keeps the host
// waiting (the bridge is busy or frozen): the busy pointer and the wait
// window, which the host's windows repaint under until the call ends, with
// its answer or with the timeout's error. The user's input waits meanwhile,
// so nothing can start another call. When a wait window is up already (the
// company is opening) it serves for both.
class BridgeWait final : public SlowCallObserver {
 public:
  static constexpr const char* kCaption = "Ligação SageNext API";
  static constexpr const char* kMessage = "A aguardar resposta da API. Aguarde ...";
  // Waiting ticks between two steps of the window's bar (about 500 ms).
  static constexpr int kTicksPerStep = 5;

  BridgeWait(ui::UiServices& ui, std::function<std::unique_ptr<WaitWindow>()> createWindow,
             std::function<bool()> windowShown);
  ~BridgeWait() override;

  void slowCallStarted() override;
  void slowCallWaiting() override;
  void slowCallEnded() override;

 private:
  ui::UiServices& ui_;
  std::function<std::unique_ptr<WaitWindow>()> createWindow_;
  std::function<bool()> windowShown_;
  std::unique_ptr<WaitWindow> window_;
  int depth_ = 0;
  int ticks_ = 0;
};

}  // namespace quill

#pragma once

#include "platform/ui/UiServices.h"

namespace quill::host {

// Whether the extension's link to the ERP API is on, as far as the host can
// know it. The extension does not answer this; the host learns it from what
// happens in front of the user:
// - ConnectionOpen answered true with no failure shown meanwhile: on;
// - the bridge start failed ("Erro. Não foi possivel ligar ao Sage Next") or
//   an error ended the opening (a box titled "Ligação ao Servidor"): off;
// - the switch's question and its confirmations say the state in words
//   ("... encontra-se ligada. Pretende desligar?", "... agora, desligada.");
// - the API-off warning says the link is off.
class ApiLinkState {
 public:
  void openingStarted();
  void openingEnded(bool opened);
  // The session ended: nothing is linked any more.
  void closed() { on_ = false; }
  void observe(const ui::MessageBox& box);

  bool isOn() const { return on_; }

 private:
  bool on_ = false;
  bool opening_ = false;
  bool failedWhileOpening_ = false;
};

}  // namespace quill::host

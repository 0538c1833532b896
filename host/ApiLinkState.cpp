#include "host/ApiLinkState.h"

#include <string_view>

namespace quill::host {

namespace {

constexpr std::string_view kNowOn = "A API SageNext encontra-se agora, ligada.";
constexpr std::string_view kNowOff = "A API SageNext encontra-se agora, desligada.";
// The switch's question and the API-off warning begin with the state.
constexpr std::string_view kIsOn = "A API SageNext encontra-se ligada.";
constexpr std::string_view kIsOff = "A API SageNext encontra-se desligada.";
constexpr std::string_view kStartFailed = "Erro. Não foi possivel ligar ao Sage Next";
constexpr std::string_view kOpeningErrorTitle = "Ligação ao Servidor";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

void ApiLinkState::openingStarted() {
  opening_ = true;
  failedWhileOpening_ = false;
  on_ = false;
}

void ApiLinkState::openingEnded(bool opened) {
  opening_ = false;
  on_ = opened && !failedWhileOpening_;
}

void ApiLinkState::observe(const ui::MessageBox& box) {
  std::string_view prompt = box.prompt;
  if (prompt == kNowOn || startsWith(prompt, kIsOn)) {
    on_ = true;
  } else if (prompt == kNowOff || startsWith(prompt, kIsOff)) {
    on_ = false;
  } else if (prompt == kStartFailed || (opening_ && box.title == kOpeningErrorTitle)) {
    on_ = false;
    if (opening_) failedWhileOpening_ = true;
  }
}

}  // namespace quill::host

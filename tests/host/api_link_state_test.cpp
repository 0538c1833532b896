// What the host knows of the extension's API link, from what the user sees.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "host/ApiLinkState.h"
#include "platform/vb/MsgBox.h"

namespace quill::host {
namespace {

ui::MessageBox box(const char* prompt, const char* title = "Ligação SageNext API") { return {prompt, 0, title}; }

TEST(ApiLinkState, OpeningAnsweredTrueIsOnUnlessAFailureShowedMeanwhile) {
  struct Case {
    const char* name;
    std::vector<ui::MessageBox> during;
    bool answer;
    bool on;
  };
  const Case cases[] = {
      {"clean opening", {}, true, true},
      {"opening answered false", {}, false, false},
      {"bridge start refused",
       {box("Erro. Não foi possivel ligar ao Sage Next", "Ligação ao Servidor/Sage Next")},
       false,
       false},
      {"bridge could not be created",
       {box("Erro ActiveX component can't create object", "Ligação ao Servidor")},
       true,
       false},
      {"an unrelated box", {box("Outra coisa", "Outro")}, true, true},
  };
  for (const auto& c : cases) {
    ApiLinkState state;
    state.openingStarted();
    for (const auto& b : c.during) state.observe(b);
    state.openingEnded(c.answer);
    EXPECT_EQ(state.isOn(), c.on) << c.name;
  }
}

TEST(ApiLinkState, TheSwitchsWordsAndTheWarningTellTheState) {
  ApiLinkState state;
  state.openingStarted();
  state.openingEnded(true);
  state.observe(box("A API SageNext encontra-se agora, desligada."));
  EXPECT_FALSE(state.isOn());
  state.observe(box("A API SageNext encontra-se agora, ligada."));
  EXPECT_TRUE(state.isOn());
  state.observe(box("A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next."));
  EXPECT_FALSE(state.isOn());
  state.observe(box("A API SageNext encontra-se ligada. Pretende desligar?"));
  EXPECT_TRUE(state.isOn());
  // After the opening, a "Ligação ao Servidor" box is someone else's.
  state.observe(box("Erro qualquer", "Ligação ao Servidor"));
  EXPECT_TRUE(state.isOn());
  state.closed();
  EXPECT_FALSE(state.isOn());
}

TEST(ObservedUiServices, ListenerHearsEveryBoxWithItsAnswerAndTheInnerServicesAnswerIt) {
  auto scripted = std::make_shared<ui::ScriptedUiServices>();
  ObservedUiServices observed(scripted);
  std::vector<std::pair<std::string, int>> heard;
  observed.setListener([&](const ui::MessageBox& b, int answer) { heard.emplace_back(b.prompt, answer); });
  scripted->answerNext(vb::vbNo);
  EXPECT_EQ(observed.msgBox("Pergunta?", vb::vbYesNo, "T"), vb::vbNo);
  EXPECT_EQ(observed.msgBox("Aviso", vb::vbOKOnly, "T"), vb::vbOK);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], (std::pair<std::string, int>{"Pergunta?", vb::vbNo}));
  EXPECT_EQ(scripted->boxes().size(), 2u);
  observed.setListener({});
  observed.msgBox("Sem ouvinte");
  EXPECT_EQ(heard.size(), 2u);
}

}  // namespace
}  // namespace quill::host

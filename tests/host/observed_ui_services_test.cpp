// The host's user interface as the whole process sees it.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "platform/vb/MsgBox.h"

namespace quill::host {
namespace {

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

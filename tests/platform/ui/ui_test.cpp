#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <stdexcept>

#include "platform/automation/AutomationError.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/MessageButtons.h"
#include "platform/ui/QtTranslations.h"
#include "platform/ui/QtUiServices.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/support/TestApplication.h"

namespace quill::ui {
namespace {

QApplication& app() { return testing::testApplication(); }

TEST(MessageButtons, DefaultButtonFlagsPickTheirAnswerAndFallBackToTheFirst) {
  // Yes/No/Cancel with the second button as default answers No.
  EXPECT_EQ(defaultAnswer(MessageBox{"?", 3 + 32 + 256, "t"}), 7);
  EXPECT_EQ(defaultAnswer(MessageBox{"?", 4, "t"}), 6);
  // A third default button on a two-button box falls back to the first.
  EXPECT_EQ(defaultAnswer(MessageBox{"?", 4 + 512, "t"}), 6);
  EXPECT_EQ(buttonAnswers(MessageBox{"!", 48, "t"}), std::vector<int>{1});
}

// Qt's standard buttons, in a Portuguese user's language; translators
// installed by a test are taken away again.
TEST(QtTranslations, StandardButtonsSpeakTheLanguageOfTheRegionalSettings) {
  app();
  auto removeAll = [] {
    for (auto* t : qApp->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(t);
      delete t;
    }
  };
  EXPECT_TRUE(installQtTranslations("en-US").empty()) << "Qt speaks English already";
  auto installed = installQtTranslations("pt_PT.UTF-8");
  ASSERT_FALSE(installed.empty()) << "Qt's translations are installed by scripts/setup.sh";
  {
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                         QDialogButtonBox::No);
    EXPECT_EQ(box.button(QDialogButtonBox::Ok)->text(), "OK");
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), "Cancelar");
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text().remove('&'), "Sim");
    EXPECT_EQ(box.button(QDialogButtonBox::No)->text().remove('&'), QString::fromUtf8("Não"));
  }
  removeAll();
  // A folder without Qt's files for the language installs nothing.
  EXPECT_TRUE(installQtTranslations("pt-PT", ::testing::TempDir()).empty());
  EXPECT_TRUE(installQtTranslations("").empty());
  QDialogButtonBox english(QDialogButtonBox::Cancel);
  EXPECT_EQ(english.button(QDialogButtonBox::Cancel)->text(), "Cancel");
}

TEST(QtFileFilter, TurnsVbFiltersIntoQtFilters) {
  EXPECT_EQ(qtFileFilter("Ficheiros de excel (*.xls;*.xlsx)|*.xls;*.xlsx"), "Ficheiros de excel (*.xls *.xlsx)");
  EXPECT_EQ(qtFileFilter("Texto|*.txt|Todos|*.*"), "Texto (*.txt);;Todos (*.*)");
}

TEST(ScriptedUiServices, AnswersFromTheScriptThenWithTheDefaultButton) {
  ScriptedUiServices ui;
  ui.answerNext(7);
  EXPECT_EQ(ui.msgBox("Pretende ligar?", 4 + 32, "Ligação SageNext API"), 7);
  EXPECT_EQ(ui.msgBox("Outra", 4 + 32 + 256, "t"), 7);
  ASSERT_EQ(ui.boxes().size(), 2u);
  EXPECT_EQ(ui.boxes()[0].title, "Ligação SageNext API");
  EXPECT_EQ(ui.boxes()[0].icon(), 32);
}

TEST(UiServicesErrorBoxes, ShowTheDescriptionOrTheNumberAndDescriptionWithAnExclamation) {
  ScriptedUiServices ui;
  const AutomationError refused(-2147217865, "Altera Preço", "Linha de preços inexistente");
  ui.showError(refused, "Linhas de preços");
  ui.showNumberedError(refused, "Comissões por Grupo");
  // Anything else is a failure of its own, with its text.
  ui.showNumberedError(std::runtime_error("disk full"), "Comissões");
  ASSERT_EQ(ui.boxes().size(), 3u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro Linha de preços inexistente");
  EXPECT_EQ(ui.boxes()[0].title, "Linhas de preços");
  EXPECT_EQ(ui.boxes()[1].prompt, "Erro -2147217865 - Linha de preços inexistente");
  EXPECT_EQ(ui.boxes()[2].prompt, "Erro -2147467259 - disk full");
  for (const auto& box : ui.boxes()) EXPECT_EQ(box.icon(), 48);
}

TEST(ScriptedUiServices, TimersTickUntilKilledEvenWhenACallbackKillsOne) {
  ScriptedUiServices ui;
  int ticks = 0;
  std::uint32_t second = 0;
  auto first = ui.setTimer(500, [&] {
    ++ticks;
    ui.killTimer(second);
  });
  second = ui.setTimer(500, [&] { ticks += 100; });
  ui.tickTimers();
  EXPECT_EQ(ticks, 1);
  ui.killTimer(first);
  ui.tickTimers();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(ui.runningTimers(), 0u);
}

// Long work tells the bar about a hundred times at most, and ends the bar
// and the busy pointer even when the work fails.
TEST(LongWork, ReportsAHundredStepsAtMostAndEndsTheBarAndThePointerWhateverHappens) {
  struct Case {
    std::size_t total;
    int updates;  // besides the first, at 0
  } cases[] = {{100000, 100}, {250, 125}, {3, 3}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.total);
    ScriptedUiServices ui;
    try {
      LongWork work(ui, "A gravar", c.total);
      EXPECT_TRUE(ui.busy());
      for (std::size_t done = 1; done <= c.total; ++done) work.next();
      EXPECT_EQ(ui.progressShown(), c.total > 0);
      throw std::runtime_error("a step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ui.progressUpdates(), c.total > 0 ? c.updates + 1 : 0);
    EXPECT_EQ(ui.progressTotal(), static_cast<std::int64_t>(c.total));
    EXPECT_FALSE(ui.progressShown());
    EXPECT_FALSE(ui.busy());
  }
}

TEST(QtUiServices, ProgressShowsABarForLongWorkAndRemovesIt) {
  testing::testApplication();
  QtUiServices ui;
  ui.showProgress("A gravar os preços...", 0, 10);
  ui.showProgress("A gravar os preços...", 5, 10);
  auto bars = QApplication::topLevelWidgets();
  EXPECT_TRUE(std::any_of(bars.begin(), bars.end(), [](QWidget* w) { return w->inherits("QProgressDialog"); }));
  ui.showProgress("", 0, 0);
  bars = QApplication::topLevelWidgets();
  EXPECT_FALSE(std::any_of(bars.begin(), bars.end(), [](QWidget* w) { return w->inherits("QProgressDialog"); }));
}

TEST(QtUiServices, ModalShowReturnsWhenTheFormIsHidden) {
  app();
  QtUiServices ui;
  QDialog form;
  bool hiddenByUser = false;
  QTimer::singleShot(10, [&] {
    hiddenByUser = true;
    form.hide();
  });
  ui.showModal(form);
  EXPECT_TRUE(hiddenByUser);
  EXPECT_FALSE(form.isVisible());
}

TEST(QtUiServices, MessageBoxAnswersTheButtonClicked) {
  app();
  QtUiServices ui;
  QTimer::singleShot(10, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    for (auto* button : box->buttons())
      if (button->text() == "Não") button->click();
  });
  EXPECT_EQ(ui.msgBox("Pretende desligar?", 4 + 32, "Ligação SageNext API"), 7);
}

TEST(QtUiServices, SystemTimersTickOnTheEventLoop) {
  app();
  QtUiServices ui;
  int ticks = 0;
  auto id = ui.setTimer(5, [&] { ++ticks; });
  QEventLoop loop;
  QTimer::singleShot(60, &loop, &QEventLoop::quit);
  loop.exec();
  ui.killTimer(id);
  EXPECT_GT(ticks, 2);
}

}  // namespace
}  // namespace quill::ui

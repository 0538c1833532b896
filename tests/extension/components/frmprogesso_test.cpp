// The wait window on Qt: its texts and names, its bar, its own timer.

#include "extension/components/FrmProgesso.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include "platform/ui/ScriptedUiServices.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

TEST(FrmProgesso, ShowsItsTextsThroughTheUiServicesAndItsBarWrapsBackToOne) {
  testing::testApplication();
  ui::ScriptedUiServices ui;
  FrmProgesso window(ui);
  EXPECT_EQ(window.form().objectName(), "FrmProgesso");
  EXPECT_EQ(window.Label1().objectName(), "Label1");
  EXPECT_EQ(window.Label1().text(), QString::fromUtf8("Sage API em inicialização. Aguarde ..."));
  EXPECT_EQ(window.Timer1().interval(), 500);
  EXPECT_TRUE(window.Timer1().isActive());

  window.setCaption("Inicialização Sage API");
  window.setProgressMaximum(100);
  window.setProgressValue(0);
  window.show();
  EXPECT_TRUE(window.form().isVisible());
  EXPECT_EQ(window.form().windowTitle(), QString::fromUtf8("Inicialização Sage API"));

  window.advance();
  EXPECT_EQ(window.ProgressBar1().value(), 1);
  window.setProgressValue(99);
  window.advance();
  EXPECT_EQ(window.ProgressBar1().value(), 1) << "back to 1 once it reaches the maximum";
  window.hide();
  EXPECT_FALSE(window.form().isVisible());

  // The line of text says what the user waits for.
  window.setMessage("A aguardar resposta da API. Aguarde ...");
  EXPECT_EQ(window.Label1().text(), QString::fromUtf8("A aguardar resposta da API. Aguarde ..."));
}

}  // namespace
}  // namespace quill

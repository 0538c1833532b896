// The host's windows on the real Qt services, as a user meets them: the
// lookup list opened over the document editor, the question asked before
// unsaved changes are lost, in Portuguese. With QUILL_SCREENSHOT_DIR set,
// what the user sees at each step is saved there as a PNG.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "host/MainWindow.h"
#include "host/SalesDocumentDialog.h"
#include "host/SalesDocumentEditor.h"
#include "platform/ui/ProcessUi.h"
#include "platform/ui/QtUiServices.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/RecordsetTableModel.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

// Runs `step` once the event loop of the next modal window is running.
void whenModal(std::function<void(QWidget&)> step) {
  QTimer::singleShot(50, [step = std::move(step)] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QApplication::processEvents();
    step(*modal);
  });
}

// The windows as the user sees them, the first one under the others
// (centred over it), saved when screenshots are asked for.
void screenshot(const char* name, std::vector<QWidget*> windows) {
  const char* folder = std::getenv("QUILL_SCREENSHOT_DIR");
  if (!folder || !*folder) return;
  QPixmap picture = windows.front()->window()->grab();
  QPainter painter(&picture);
  for (std::size_t i = 1; i < windows.size(); ++i) {
    QPixmap top = windows[i]->grab();
    painter.fillRect(
        QRect(QPoint((picture.width() - top.width()) / 2 + 6, (picture.height() - top.height()) / 2 + 6), top.size()),
        QColor(0, 0, 0, 60));
    painter.drawPixmap((picture.width() - top.width()) / 2, (picture.height() - top.height()) / 2, top);
  }
  painter.end();
  EXPECT_TRUE(picture.save(QString::fromUtf8(folder) + "/" + name + ".png"));
}

QStringList buttonTexts(QMessageBox& box) {
  QStringList texts;
  for (auto* b : box.buttons()) texts << b->text();
  return texts;
}

QAbstractButton* buttonNamed(QMessageBox& box, const QString& text) {
  for (auto* b : box.buttons())
    if (b->text() == text) return b;
  return nullptr;
}

class HostDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureApplication();
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    observed = std::make_shared<ObservedUiServices>(std::make_shared<ui::QtUiServices>());
    ui::installProcessUiServices(observed);
    HostCompanySession::Environment env;
    env.ui = observed.get();
    env.createObject = [this](std::string_view) -> DispatchPtr { return fake; };
    env.extensionFolder = processFolder() / (name + "-extension");
    std::filesystem::create_directories(*env.extensionFolder);
    session = std::make_unique<HostCompanySession>(env);
  }
  void TearDown() override {
    session.reset();
    ui::installProcessUiServices(nullptr);
  }

  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  std::shared_ptr<ObservedUiServices> observed;
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
};

TEST_F(HostDialogsTest, TheLookupOpensOverTheEditorAndTheUnsavedChangesQuestionIsAskedInPortuguese) {
  MainWindow window(*session, company);
  window.resize(900, 560);
  window.show();
  ASSERT_TRUE(session->open(company));
  QApplication::processEvents();
  screenshot("main-window", {&window});

  bool editorPlayed = false, lookupPlayed = false;
  QStringList questionButtons;
  whenModal([&](QWidget& shown) {
    auto* editor = qobject_cast<SalesDocumentDialog*>(&shown);
    ASSERT_NE(editor, nullptr);
    editor->resize(960, 560);
    auto* client = editor->findChild<QLineEdit*>("txtCliente");
    client->setFocus();
    QTest::keyClicks(client, "c0000");

    // F4: the client's lookup, narrowed by what the field held.
    whenModal([&](QWidget& lookup) {
      EXPECT_EQ(lookup.objectName(), "frmProcurar");
      EXPECT_EQ(lookup.windowTitle(), "Clientes");
      auto* filter = lookup.findChild<QLineEdit*>("txtProcura");
      auto* list = lookup.findChild<ui::RecordsetGrid*>("grdLista");
      ASSERT_TRUE(filter && list);
      EXPECT_EQ(filter->text(), "c0000");
      const int narrowedByField = list->model()->rowCount();
      QTest::keyClicks(filter, "5");
      EXPECT_LT(list->model()->rowCount(), narrowedByField);
      EXPECT_EQ(list->model()->index(0, 0).data().toString().toStdString(), demo::kAllowanceClient);
      screenshot("editor-with-lookup", {editor, &lookup});
      QTest::keyClick(filter, Qt::Key_Return);  // picks the current row
      lookupPlayed = true;
    });
    QTest::keyClick(client, Qt::Key_F4);
    EXPECT_EQ(editor->editor().document().header.client, demo::kAllowanceClient);
    ASSERT_TRUE(editor->editor().isModified());

    // Esc with the change unsaved: the question; Cancelar stays.
    whenModal([&](QWidget& modal) {
      auto* box = qobject_cast<QMessageBox*>(&modal);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text(), QString::fromUtf8("Gravar as alterações?"));
      questionButtons = buttonTexts(*box);
      screenshot("unsaved-changes-question", {editor, box});
      buttonNamed(*box, "Cancelar")->click();
    });
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    // Again, and Não: the window goes, nothing saved.
    whenModal(
        [&](QWidget& modal) { buttonNamed(*qobject_cast<QMessageBox*>(&modal), QString::fromUtf8("Não"))->click(); });
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(editor->editor().document().stored);
    editorPlayed = true;
  });
  window.newDocument();
  EXPECT_TRUE(editorPlayed);
  EXPECT_TRUE(lookupPlayed);
  EXPECT_EQ(questionButtons, (QStringList{"Sim", QString::fromUtf8("Não"), "Cancelar"}));
}

}  // namespace
}  // namespace quill::host

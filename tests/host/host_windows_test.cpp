// The host's windows show what the session and the editor hold and pass
// what the user types on to them.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "host/ExtensionMenu.h"
#include "host/MainWindow.h"
#include "host/SalesDocumentDialog.h"
#include "host/SalesDocumentEditor.h"
#include "host/SalesLinesModel.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

template <class W>
W& child(QWidget& parent, const char* name) {
  auto* w = parent.findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return *w;
}

void type(QLineEdit& edit, const QString& text) {
  edit.setText(text);
  edit.setModified(true);
  emit edit.editingFinished();
}

class HostWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    session = sessionWith(ui, fake, processFolder() / (name + "-extension"));
  }

  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
};

TEST_F(HostWindowsTest, MainWindowFollowsTheSessionAndItsApiLink) {
  MainWindow window(*session, company);
  EXPECT_NE(child<QLabel>(window, "lblEmpresa").text().indexOf("nenhuma empresa"), -1);
  ASSERT_TRUE(session->open(company));
  EXPECT_EQ(child<QLabel>(window, "lblEmpresa").text().toStdString(),
            std::string(demo::kCompanyCode) + " - " + std::string(demo::kCompanyName));
  EXPECT_EQ(child<QLabel>(window, "lblUtilizador").text(), QString::fromStdString(std::string(demo::kLogin)));
  EXPECT_TRUE(child<QLabel>(window, "lblApiSageNext").text().startsWith("ligada"));
  EXPECT_GT(child<QTableWidget>(window, "grdDocumentos").rowCount(), 0);
  EXPECT_EQ(window.windowTitle(), "quillhost - DEMO");

  // The extension's menu: its commands, then the API switch.
  QMenu* menu = nullptr;
  for (QAction* a : window.menuBar()->actions())
    if (a->text().contains(QString::fromUtf8("tensão"))) menu = a->menu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), static_cast<int>(extensionCommands().size()) + 1);
  EXPECT_EQ(menu->actions().back()->text().toStdString(), ExtensionMenu::kApiSwitchCaption);
  fake->on("ConnectDisconnectApiNext", [this](std::span<Variant>) {
    ui.observed->msgBox("A API SageNext encontra-se agora, desligada.", 64, "Ligação SageNext API");
    return Variant();
  });
  menu->actions().back()->trigger();
  EXPECT_TRUE(child<QLabel>(window, "lblApiSageNext").text().startsWith("desligada"));

  window.closeCompany();
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
  EXPECT_EQ(child<QTableWidget>(window, "grdDocumentos").rowCount(), 0);
}

TEST_F(HostWindowsTest, ClosingTheMainWindowClosesTheCompany) {
  ASSERT_TRUE(session->open(company));
  MainWindow window(*session, company);
  window.show();
  window.close();
  EXPECT_FALSE(session->isOpen());
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
}

TEST_F(HostWindowsTest, DocumentDialogTakesTheHeaderAndLinesAndPutsRefusedValuesBack) {
  ASSERT_TRUE(session->open(company));
  SalesDocumentDialog dialog(*session);
  dialog.newDocument();
  auto& client = child<QLineEdit>(dialog, "txtCliente");
  type(client, QString::fromStdString(std::string(demo::kUnknownClient)));
  EXPECT_EQ(client.text(), "");  // refused: back to what the document holds
  EXPECT_EQ(ui.boxesWith("não existe").size(), 1u);
  type(client, "c00008");
  EXPECT_EQ(client.text(), "C00008");
  EXPECT_FALSE(child<QLabel>(dialog, "lblNomeCliente").text().isEmpty());

  child<QPushButton>(dialog, "cmdNovaLinha").click();
  auto& model = dialog.linesModel();
  ASSERT_EQ(model.rowCount(), 1);
  ASSERT_TRUE(model.setData(model.index(0, SalesLinesModel::Article), "ARR001"));
  ASSERT_TRUE(model.setData(model.index(0, SalesLinesModel::Quantity), "3"));
  EXPECT_NE(child<QLabel>(dialog, "lblTotais").text().indexOf("Total"), -1);

  child<QPushButton>(dialog, "cmdGravar").click();
  EXPECT_TRUE(dialog.editor().document().stored);
  EXPECT_NE(child<QLabel>(dialog, "lblEstado").text().indexOf("Gravado"), -1);
  EXPECT_FALSE(child<QComboBox>(dialog, "cmbTipo").isEnabled());  // a stored document keeps its key
  EXPECT_TRUE(dialog.windowTitle().contains(QString::number(dialog.editor().document().header.key.number)));
}

TEST_F(HostWindowsTest, ALineWithADiscountTheErpRefusesShowsNoTotalsAndIsNotSaved) {
  fake->on("ValidateArtigo", [](std::span<Variant> a) {
    late::let(late::get(a[0].objectValue(), "Linha").objectValue(), "Desconto", Variant("10+abc"));
    return Variant();
  });
  ASSERT_TRUE(session->open(company));
  SalesDocumentDialog dialog(*session);
  dialog.newDocument();
  type(child<QLineEdit>(dialog, "txtCliente"), "c00008");
  child<QPushButton>(dialog, "cmdNovaLinha").click();
  auto& model = dialog.linesModel();
  ASSERT_TRUE(model.setData(model.index(0, SalesLinesModel::Article), "ARR001"));
  EXPECT_EQ(model.index(0, SalesLinesModel::Total).data().toString(), QString::fromUtf8("desconto inválido"));
  EXPECT_EQ(child<QLabel>(dialog, "lblTotais").text(),
            QString::fromUtf8("Sem totais: Linha 1: o desconto '10+abc' não é válido."));
  child<QPushButton>(dialog, "cmdGravar").click();
  EXPECT_FALSE(dialog.editor().document().stored);
  EXPECT_EQ(ui.boxesWith("Erro Linha 1: o desconto '10+abc' não é válido.").size(), 1u);
}

}  // namespace
}  // namespace quill::host

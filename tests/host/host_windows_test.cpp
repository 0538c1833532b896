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
#include <QTest>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "erp/DocumentStore.h"
#include "host/ExtensionMenu.h"
#include "host/MainWindow.h"
#include "host/SalesDocumentDialog.h"
#include "host/SalesDocumentEditor.h"
#include "host/SalesLinesModel.h"
#include "platform/vb/MsgBox.h"

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
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("DEMO - Cereais do Vale, Lda. — Quill"));

  // The extension's menu: its commands, then the API switch.
  QMenu* menu = nullptr;
  for (QAction* a : window.menuBar()->actions())
    if (a->text().contains(QString::fromUtf8("tensão"))) menu = a->menu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), static_cast<int>(extensionCommands().size()) + 1);
  EXPECT_EQ(menu->actions().back()->text().toStdString(), ExtensionMenu::kApiSwitchCaption);
  fake->on("ConnectDisconnectApiNext", [this](std::span<Variant>) {
    fake->apiLinkOn = false;
    ui.observed->msgBox("A API SageNext encontra-se agora, desligada.", 64, "Ligação SageNext API");
    return Variant();
  });
  menu->actions().back()->trigger();
  EXPECT_TRUE(child<QLabel>(window, "lblApiSageNext").text().startsWith("desligada"));

  window.closeCompany();
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
  EXPECT_EQ(child<QTableWidget>(window, "grdDocumentos").rowCount(), 0);
  EXPECT_EQ(window.windowTitle(), "Quill");
}

TEST_F(HostWindowsTest, ClosingTheMainWindowClosesTheCompany) {
  ASSERT_TRUE(session->open(company));
  MainWindow window(*session, company);
  window.show();
  window.close();
  EXPECT_FALSE(session->isOpen());
  EXPECT_EQ(fake->callsOf("ConnectionClose").size(), 1u);
}

// The host is left only once the document being edited has been left: the
// user who cancels the question keeps both.
TEST_F(HostWindowsTest, ClosingTheHostWithUnsavedChangesAsksFirstAndCancelKeepsEverythingOpen) {
  ASSERT_TRUE(session->open(company));
  MainWindow window(*session, company);
  window.show();
  bool played = false;
  ui.scripted->onNextModal([&](QWidget& shown) {
    auto& dialog = dynamic_cast<SalesDocumentDialog&>(shown);
    type(child<QLineEdit>(dialog, "txtCliente"), "c00008");
    ASSERT_TRUE(dialog.editor().isModified());
    ui.scripted->answerNext(vb::vbCancel);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(session->isOpen());
    ui.scripted->answerNext(vb::vbNo);
    EXPECT_TRUE(window.close());
    played = true;
  });
  window.newDocument();
  EXPECT_TRUE(played);
  EXPECT_EQ(ui.boxesWith("Gravar as alterações?").size(), 2u);
  EXPECT_FALSE(session->isOpen());
}

TEST_F(HostWindowsTest, EscAndTheCloseBoxAskBeforeUnsavedChangesAreLost) {
  ASSERT_TRUE(session->open(company));
  SalesDocumentDialog dialog(*session);
  dialog.newDocument();
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible()) << "nothing changed: nothing asked";
  EXPECT_TRUE(ui.boxesWith("Gravar").empty());

  dialog.newDocument();
  dialog.show();
  type(child<QLineEdit>(dialog, "txtCliente"), "c00008");
  ui.scripted->answerNext(vb::vbCancel);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  ui.scripted->answerNext(vb::vbCancel);
  EXPECT_FALSE(dialog.close());
  ui.scripted->answerNext(vb::vbCancel);
  child<QPushButton>(dialog, "cmdFechar").click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.boxesWith("Gravar as alterações?").size(), 3u);
  ui.scripted->answerNext(vb::vbNo);
  EXPECT_TRUE(dialog.close());
  EXPECT_FALSE(dialog.editor().document().stored);
}

TEST_F(HostWindowsTest, AClosedDocumentShowsWhyAndOffersNothingToChange) {
  ASSERT_TRUE(session->open(company));
  SalesDocumentDialog dialog(*session);
  ASSERT_TRUE(dialog.openDocument(erp::demo::kSignedInvoice.key()));
  auto& note = child<QLabel>(dialog, "lblSoLeitura");
  EXPECT_FALSE(note.isHidden());
  EXPECT_TRUE(note.text().startsWith(QString::fromStdString(erp::closedDocumentMessage(demo::kSignedInvoice.key()))));
  for (const char* name : {"cmdNovaLinha", "cmdApagarLinha", "cmdGravar", "cmdProcurarArtigo", "cmdProcurarCliente"})
    EXPECT_FALSE(child<QPushButton>(dialog, name).isEnabled()) << name;
  EXPECT_TRUE(child<QPushButton>(dialog, "cmdFechar").isEnabled());
  EXPECT_TRUE(child<QLineEdit>(dialog, "txtCliente").isReadOnly());
  auto& model = dialog.linesModel();
  ASSERT_GT(model.rowCount(), 0);
  EXPECT_FALSE(model.flags(model.index(0, SalesLinesModel::Quantity)) & Qt::ItemIsEditable);
  EXPECT_TRUE(dialog.windowTitle().contains(QString::fromUtf8("só consulta")));

  // Another document of the dialog is changeable again.
  ASSERT_TRUE(dialog.openDocument(erp::demo::kInvoiceInPreparation.key()));
  EXPECT_TRUE(note.isHidden());
  EXPECT_TRUE(child<QPushButton>(dialog, "cmdGravar").isEnabled());
}

TEST_F(HostWindowsTest, NumbersAreRightAlignedDiscountIncludedAndSeriesShowTheirNames) {
  ASSERT_TRUE(session->open(company));
  SalesDocumentDialog dialog(*session);
  ASSERT_TRUE(dialog.openDocument(erp::demo::kInvoiceWithAllowanceLine.key()));
  auto& model = dialog.linesModel();
  for (int column = 0; column < SalesLinesModel::ColumnCount; ++column) {
    const bool numeric = column >= SalesLinesModel::Quantity;
    const auto cell = model.data(model.index(0, column), Qt::TextAlignmentRole).value<Qt::Alignment>();
    const auto title = model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(bool(cell & Qt::AlignRight), numeric) << column;
    EXPECT_EQ(bool(title & Qt::AlignRight), numeric) << column;
  }
  EXPECT_EQ(model.headerData(SalesLinesModel::Discount, Qt::Horizontal).toString(), "Desc. %");
  auto& series = child<QComboBox>(dialog, "cmbSerie");
  EXPECT_EQ(series.currentText(), QString::fromUtf8("2 - Série manual"));
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

// The client/group discount editor on copies of the demo company, through a
// memory view: the client list, the client's validation, the grid and its
// edits, the save rule (rows inserted or updated, never deleted) read back
// from the database, and printing through the criteria window.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <QWidget>

#include "erp/DemoCodes.h"
#include "extension/commissions/EditGrpDescontos.h"
#include "extension/components/DataAccess.h"
#include "platform/sql/Connection.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/MsgBox.h"
#include "tests/extension/commissions/CommissionsTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::memoryOf;
using testing::rowsOf;

std::string s(std::string_view v) { return std::string(v); }

using Rows = std::vector<std::vector<std::string>>;

class GrpDescontos : public testing::EditorTest<EditGrpDescontos> {
 protected:
  void open(std::function<void(ui::MemoryFormView&)> user) { openWith("CmdCancel", std::move(user)); }

  Rows discountsOf(std::string_view client) {
    return rowsOf(copy.company(), "SELECT GRUPO, DESCONTO FROM U_QOR_GRUPOSDESCONTO WHERE CLIENTE = '" +
                                      s(client == demo::kQuotedCodeClient ? "D''OURO" : client) + "' ORDER BY GRUPO");
  }
  int rowOfGroup(ui::MemoryFormView& v, std::string_view group) { return v.grid("grdGrpDesc").model().findRow(group); }
  std::string cell(ui::MemoryFormView& v, std::string_view group) {
    auto& model = v.grid("grdGrpDesc").model();
    return model.displayText(model.findRow(group), *model.columnOf("DESCONTO")).toStdString();
  }
};

TEST_F(GrpDescontos, OpensOnTheFirstActiveClientWithEveryGroupOnceAndItsStoredDiscounts) {
  const auto active = rowsOf(copy.company(), "SELECT CODIGO, NOME FROM CLIENTES WHERE INACTIVO = 0 ORDER BY CODIGO");
  const auto groups = rowsOf(copy.company(), "SELECT COD FROM GRUPOS ORDER BY COD");
  open([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.caption(), "Desconto por Cliente/Grupo");
    const auto entries = v.items("cmbClientes");
    ASSERT_EQ(entries.size(), active.size());
    EXPECT_EQ(entries[0], active[0][0] + std::string(15 - active[0][0].size(), ' ') + active[0][1]);
    EXPECT_EQ(v.listIndex("cmbClientes"), 0);
    EXPECT_EQ(v.text("txtCli"), active[0][0]);
    EXPECT_EQ(v.text("lblCli"), active[0][1]);

    // The client of the group discounts has its two groups filled, the rest empty.
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    auto& model = v.grid("grdGrpDesc").model();
    ASSERT_EQ(model.dataRowCount(), groups.size());
    for (const auto& g : groups) EXPECT_GE(model.findRow(g[0]), 0) << g[0];
    EXPECT_EQ(cell(v, demo::kFeedGroup), "0,0150");
    EXPECT_EQ(cell(v, "ARROZ"), "");
    EXPECT_EQ(model.headerData(*model.columnOf("DESCONTO"), Qt::Horizontal).toString().toStdString(), "Desconto");
    EXPECT_FALSE(model.flags(model.index(0, *model.columnOf("DESCR"))) & Qt::ItemIsEditable);
  });
}

TEST_F(GrpDescontos, ACodeLongerThanFifteenCharactersIsCutInItsListEntry) {
  testing::runOn(copy.company(),
                 "INSERT INTO CLIENTES (CODIGO, NOME, INACTIVO) VALUES ('A2345678901234567', 'Longo', 0)");
  open([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.items("cmbClientes").at(0), "A23456789012345Longo");
    EXPECT_EQ(v.text("txtCli"), "A2345678901234567");
    EXPECT_EQ(v.text("lblCli"), "Longo");
  });
}

TEST_F(GrpDescontos, WithoutActiveClientsItSaysSoAndShowsNothing) {
  testing::runOn(copy.company(), "UPDATE CLIENTES SET INACTIVO = -1");
  form->Editar(Variant(std::int32_t{0}));
  EXPECT_EQ(memoryOf(*form).timesShown(), 0);
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Não existem Clientes definidos.");
  EXPECT_EQ(ui.boxes()[0].title, "Descontos Cliente/Grupo");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbInformation);
}

TEST_F(GrpDescontos, TheClientFieldRefusesUnknownAndInactiveCodesAndTakesQuotedOnes) {
  struct Case {
    std::string code;
    const char* box;  // nullptr: accepted
  };
  const Case cases[] = {{s(demo::kUnknownClient), "Cliente inválido ou não existe."},
                        {"X' OR '1'='1", "Cliente inválido ou não existe."},
                        {"", "Cliente inválido ou não existe."},
                        {s(demo::kInactiveClient), "Cliente inativo."},
                        {s(demo::kQuotedCodeClient), nullptr},
                        {s(demo::kPriceLineClient), nullptr}};
  open([&](ui::MemoryFormView& v) {
    for (const auto& c : cases) {
      ui.clearBoxes();
      const bool left = v.userType("txtCli", c.code);
      if (c.box) {
        EXPECT_FALSE(left) << c.code;
        EXPECT_EQ(v.focused(), "txtCli") << c.code;
        ASSERT_EQ(ui.boxes().size(), 1u) << c.code;
        EXPECT_EQ(ui.boxes()[0].prompt, c.box);
        EXPECT_EQ(v.text("lblCli"), "");
      } else {
        EXPECT_TRUE(left) << c.code;
        EXPECT_TRUE(ui.boxes().empty()) << c.code;
        EXPECT_FALSE(v.text("lblCli").empty()) << c.code;
        EXPECT_EQ(v.text("cmbClientes").substr(0, c.code.size()), c.code);
      }
    }
  });
}

TEST_F(GrpDescontos, ChoosingAClientInTheListMakesItTheFormsClient) {
  open([&](ui::MemoryFormView& v) {
    const auto entries = v.items("cmbClientes");
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [](const std::string& e) { return e.rfind(s(demo::kGroupDiscountClient), 0) == 0; });
    ASSERT_NE(it, entries.end());
    EXPECT_TRUE(v.userChoose("cmbClientes", *it));
    EXPECT_EQ(v.text("txtCli"), demo::kGroupDiscountClient);
    EXPECT_EQ(v.text("lblCli"), it->substr(15));
    EXPECT_EQ(cell(v, demo::kCerealGroup), "0,0100");
  });
}

TEST_F(GrpDescontos, TheLookupPutsThePickedClientInTheField) {
  open([&](ui::MemoryFormView& v) {
    testing::pickInNextLookup(ui, s(demo::kGroupDiscountClient));
    EXPECT_TRUE(v.userKey("txtCli", "Ctrl+L"));
    EXPECT_EQ(v.text("txtCli"), demo::kGroupDiscountClient);
    EXPECT_EQ(v.text("lblCli"), "");
    EXPECT_TRUE(v.userKey("txtCli", "Enter"));  // leaving it checks the pick
    EXPECT_FALSE(v.text("lblCli").empty());
    EXPECT_EQ(v.focused(), "cmbClientes");
  });
}

TEST_F(GrpDescontos, OnlyNumbersAreTakenInTheDiscountColumn) {
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    const int feed = rowOfGroup(v, demo::kFeedGroup);
    for (const char* refused : {"abc", "", "1,2,3", "--1"}) {
      EXPECT_FALSE(v.userEditCell("grdGrpDesc", feed, "DESCONTO", refused)) << refused;
      EXPECT_EQ(cell(v, demo::kFeedGroup), "0,0150") << refused;
    }
    EXPECT_FALSE(v.userEditCell("grdGrpDesc", feed, "DESCR", "Outra"));
    for (const char* taken : {"0", "-2,5", "12345,6789"})
      EXPECT_TRUE(v.userEditCell("grdGrpDesc", feed, "DESCONTO", taken));
  });
}

TEST_F(GrpDescontos, SavingInsertsNewGroupsUpdatesStoredOnesAndDeletesNothing) {
  const Rows before = discountsOf(demo::kGroupDiscountClient);
  ASSERT_EQ(before, (Rows{{"CEREAI", "0,01"}, {"RACAVE", "0,015"}}));
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", rowOfGroup(v, demo::kFeedGroup), "DESCONTO", "0,02"));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", rowOfGroup(v, "ARROZ"), "DESCONTO", "0,5"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_TRUE(v.isShown());  // the form stays open
    EXPECT_TRUE(v.grid("grdGrpDesc").redraw());
  });
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Descontos por Cliente/Grupos actualizados com exito.");
  EXPECT_EQ(ui.boxes()[0].title, "Desconto por Cliente/Grupo");
  EXPECT_EQ(discountsOf(demo::kGroupDiscountClient), (Rows{{"ARROZ", "0,5"}, {"CEREAI", "0,01"}, {"RACAVE", "0,02"}}));
  // Nobody else's rows moved.
  EXPECT_EQ(rowsOf(copy.company(), "SELECT COUNT(*) FROM U_QOR_GRUPOSDESCONTO")[0][0],
            rowsOf(testing::demoCompany(), "SELECT COUNT(*) + 1 FROM U_QOR_GRUPOSDESCONTO")[0][0]);
}

TEST_F(GrpDescontos, SavingAClientWithoutDiscountsWritesNothingAndStillReportsSuccess) {
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kPriceLineClient)));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  EXPECT_TRUE(discountsOf(demo::kPriceLineClient).empty());
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Descontos por Cliente/Grupos actualizados com exito.");
}

TEST_F(GrpDescontos, AQuotedClientCodeIsStoredAsTyped) {
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kQuotedCodeClient)));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", rowOfGroup(v, demo::kCerealGroup), "DESCONTO", "0,03"));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  EXPECT_EQ(discountsOf(demo::kQuotedCodeClient), (Rows{{"CEREAI", "0,03"}}));
}

TEST_F(GrpDescontos, ASaveThatFindsTheDatabaseLockedSaysSoAndWritesNothing) {
  const Rows before = discountsOf(demo::kGroupDiscountClient);
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtCli", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", rowOfGroup(v, demo::kFeedGroup), "DESCONTO", "9"));
    EXPECT_TRUE(v.userEditCell("grdGrpDesc", rowOfGroup(v, "ARROZ"), "DESCONTO", "9"));
    {
      testing::HeldWriteLock other(copy.company());
      EXPECT_TRUE(v.userClick("CmdConf"));
    }
    EXPECT_TRUE(v.isShown());
    EXPECT_TRUE(v.grid("grdGrpDesc").redraw());
  });
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Problemas na Gravação");
  EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
  EXPECT_NE(ui.boxes()[0].prompt.find("in use by another user"), std::string::npos) << ui.boxes()[0].prompt;
  EXPECT_EQ(discountsOf(demo::kGroupDiscountClient), before);
}

class GrpDescontosPrint : public GrpDescontos {
 protected:
  void SetUp() override {
    GrpDescontos::SetUp();
    form->reportDatabase() = {copy.company().dataFolder.string(), copy.company().databaseName, "sa", ""};
  }
  testing::PdfFolder pdf;
};

TEST_F(GrpDescontosPrint, PrintingAsksForTheRangesAndPassesABlankForEachEmptyOne) {
  ui.onNextModal([&](QWidget& window) {
    ui::FormView& criteria = *dynamic_cast<ui::FormDialog&>(window).view();
    EXPECT_EQ(criteria.caption(), "Grupos de Descontos");
    EXPECT_TRUE(criteria.userType("txtPrimeiro", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(criteria.userType("txtUltimo", s(demo::kGroupDiscountClient)));
    EXPECT_TRUE(criteria.userType("txtVndIni", ""));
    EXPECT_TRUE(criteria.userType("txtVndFin", ""));
    EXPECT_TRUE(criteria.userClick("CmdConf"));
  });
  ::testing::internal::CaptureStdout();
  memoryOf(*form).whenShown([](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userClick("CmdPrint"));
    EXPECT_FALSE(v.isShown());  // printing ends the editing
  });
  form->Editar(Variant(std::int32_t{0}));
  ::testing::internal::GetCapturedStdout();
  for (const auto& box : ui.boxes()) ADD_FAILURE() << box.title << ": " << box.prompt;
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->file.parent_path(), pdf.path());
  EXPECT_NE(
      printed->text.find(fmt::format("Clientes: de {0} a {0}      Vendedores: de   a  ", demo::kGroupDiscountClient)),
      std::string::npos)
      << printed->text;
  // The client's two discounts, and nobody else's.
  EXPECT_NE(printed->text.find("CEREAI\tCereais\t0,0100"), std::string::npos) << printed->text;
  EXPECT_NE(printed->text.find("RACAVE\tRações para Aves\t0,0150"), std::string::npos);
  EXPECT_EQ(printed->text.find(s(demo::kAllRulesClient)), std::string::npos);
}

TEST_F(GrpDescontosPrint, CancellingTheCriteriaPrintsNothingAndKeepsEditing) {
  ui.onNextModal(
      [](QWidget& window) { EXPECT_TRUE(dynamic_cast<ui::FormDialog&>(window).view()->userClick("CmdCancel")); });
  open([&](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userClick("CmdPrint"));
    EXPECT_TRUE(v.isShown());
  });
  EXPECT_FALSE(ui::ReportOutput::lastPrinted());
  EXPECT_TRUE(ui.boxes().empty());
}

}  // namespace
}  // namespace quill

// The four report-criteria forms on the demo company, through memory views:
// defaults, keys, validation, lookups, confirm and cancel, GetParametro.

#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "extension/components/DataAccess.h"
#include "extension/reports/CriteriosMapas.h"
#include "extension/reports/CriteriosMapasMediaVenda.h"
#include "extension/reports/CriteriosMapasPorVnd.h"
#include "extension/reports/CriteriosPendTolerancia.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using testing::demoCompany;
using testing::firstValue;
using testing::memoryOf;
using testing::memoryView;

std::string s(std::string_view v) { return std::string(v); }
std::string today() { return vb::FormatDate(vb::today(), "dd-mm-yyyy"); }

// The first and last rows of a table in code order, as the defaults take them.
struct Ends {
  std::string firstCode, firstName, lastCode, lastName;
};
Ends endsOf(const std::string& table, const std::string& code, const std::string& name, const std::string& where = "") {
  auto one = [&](const char* order) {
    return firstValue(demoCompany(),
                      "SELECT " + code + " FROM " + table + where + " ORDER BY " + code + " " + order + " LIMIT 1");
  };
  Ends e;
  e.firstCode = one("ASC");
  e.lastCode = one("DESC");
  auto nameOf = [&](const std::string& c) {
    return firstValue(demoCompany(),
                      "SELECT " + name + " FROM " + table + " WHERE " + code + " = '" + sql::sqlQuote(c) + "'");
  };
  e.firstName = nameOf(e.firstCode);
  e.lastName = nameOf(e.lastCode);
  return e;
}

class Criterios : public ::testing::Test {
 protected:
  void SetUp() override { testing::testApplication(); }
  template <typename Form>
  std::unique_ptr<Form> make(std::shared_ptr<DataAccess> data = nullptr) {
    auto form = std::make_unique<Form>(ui, memoryView(Form::controls()));
    form->setDataAccess(data ? data : testing::openCompany(demoCompany()));
    return form;
  }
  ui::ScriptedUiServices ui;
};

TEST_F(Criterios, PendingDocumentsModeDefaultsEveryRangeToItsWholeTableAndTodayAndAnswersByKey) {
  auto form = make<CriteriosMapas>();
  auto& view = memoryOf(*form);
  // Loaded: every field, label and picker hidden.
  EXPECT_FALSE(view.isVisible("txtVndIni"));
  EXPECT_FALSE(view.isVisible("Label9"));
  EXPECT_TRUE(view.isVisible("CmdConf"));

  form->setMapa(3);
  EXPECT_EQ(view.caption(), "Pendentes");
  EXPECT_EQ(view.heightTwips(), 4770);
  EXPECT_EQ(view.topTwips("CmdConf"), 3885);
  EXPECT_EQ(view.text("lblUltimo"), "Clente Final");
  view.whenShown([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.text("Label7"), "Carteira Inicial");  // caption labels keep their text
    v.userClick("CmdConf");
  });
  form->Editar(Variant());
  EXPECT_FALSE(form->Cancelou());

  const Ends clients = endsOf("CLIENTES", "CODIGO", "NOME");
  const Ends sellers = endsOf("VENDEDOR", "CODIGO", "NOME");
  const Ends zones = endsOf("ZONAGEO", "ZONA", "DESCR");
  const Ends portfolios = endsOf("CARTEIRA", "CODIGO", "DESCRI", " WHERE ACTIVO = -1");
  EXPECT_EQ(form->GetParametro("CLII"), clients.firstCode);
  EXPECT_EQ(view.text("lblPrimeiroDescr"), clients.firstName);
  EXPECT_EQ(form->GetParametro("clif"), clients.lastCode);  // keys without regard to case
  EXPECT_EQ(form->GetParametro("VNDI"), sellers.firstCode);
  EXPECT_EQ(view.text("lblVndFin"), sellers.lastName);
  EXPECT_EQ(form->GetParametro("ZONF"), zones.lastCode);
  EXPECT_EQ(form->GetParametro("CARI"), portfolios.firstCode);
  EXPECT_EQ(view.text("lblCarFin"), portfolios.lastName);
  EXPECT_EQ(form->GetParametro("DATI"), today());
  EXPECT_EQ(form->GetParametro("NADA"), "");
  EXPECT_EQ(form->Primeiro(), clients.firstCode);
}

TEST_F(Criterios, PriceLineModeRefusesLettersFirstAcceptsThemLastAndStandsInForNumbersTooLarge) {
  auto form = make<CriteriosMapas>();
  auto& view = memoryOf(*form);
  form->setMapa(1);
  EXPECT_EQ(view.caption(), "Linhas de Preços");
  EXPECT_FALSE(view.isVisible("txtVndIni"));
  view.whenShown([&](ui::MemoryFormView& v) {
    const Ends lines = endsOf("LINPRC", "LINHA", "DESCR");
    EXPECT_EQ(v.text("txtPrimeiro"), lines.firstCode);
    EXPECT_EQ(form->GetParametro("CLII"), lines.firstCode);  // txtPrimeiro carries the key in every mode

    EXPECT_FALSE(v.userType("txtPrimeiro", "abc"));
    EXPECT_EQ(v.focused(), "txtPrimeiro");
    EXPECT_TRUE(v.userType("txtPrimeiro", "70000"));
    EXPECT_EQ(v.text("txtPrimeiro"), lines.firstCode);
    EXPECT_EQ(v.text("lblPrimeiroDescr"), lines.firstName);

    EXPECT_TRUE(v.userType("txtUltimo", "abc"));
    EXPECT_EQ(v.text("lblUltimoDescr"), "");
    EXPECT_TRUE(v.userType("txtUltimo", "99999"));
    EXPECT_EQ(v.text("txtUltimo"), lines.lastCode);
    EXPECT_TRUE(v.userType("txtUltimo", std::to_string(demo::kUnknownPriceLine)));
    EXPECT_EQ(v.text("lblUltimoDescr"), "");
    EXPECT_TRUE(v.userType("txtUltimo", std::to_string(demo::kSecondPriceLine)));
    EXPECT_EQ(v.text("lblUltimoDescr"), firstValue(demoCompany(), "SELECT DESCR FROM LINPRC WHERE LINHA = " +
                                                                      std::to_string(demo::kSecondPriceLine)));
    v.userClick("CmdCancel");
  });
  form->Editar(Variant(std::int32_t{5}));
  EXPECT_TRUE(form->Cancelou());
  EXPECT_EQ(view.lastOwner(), 5);
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(Criterios, TypedCodesAreAcceptedAsTypedAndDescribedOnlyWhenFound) {
  auto form = make<CriteriosMapas>();
  auto& view = memoryOf(*form);
  form->setMapa(2);
  EXPECT_EQ(view.heightTwips(), 4000);
  EXPECT_FALSE(view.isVisible("txtZonIni"));
  view.whenShown([&](ui::MemoryFormView& v) {
    const std::string lower = "c00003";
    EXPECT_TRUE(v.userType("txtPrimeiro", lower));
    EXPECT_EQ(v.text("txtPrimeiro"), lower);
    EXPECT_EQ(v.text("lblPrimeiroDescr"),
              firstValue(demoCompany(), "SELECT NOME FROM CLIENTES WHERE CODIGO = '" + lower + "'"));
    EXPECT_TRUE(v.userType("txtUltimo", s(demo::kQuotedCodeClient)));  // a quote stays in the value
    EXPECT_EQ(v.text("lblUltimoDescr"),
              firstValue(demoCompany(), "SELECT NOME FROM CLIENTES WHERE CODIGO = 'D''OURO'"));
    EXPECT_TRUE(v.userType("txtVndIni", "X' OR '1'='1"));
    EXPECT_EQ(v.text("lblVndIni"), "");
    EXPECT_TRUE(v.userType("txtVndFin", ""));
    EXPECT_EQ(v.text("lblVndFin"), "");
    v.userClick("CmdConf");
  });
  form->Editar(Variant());
  EXPECT_EQ(form->GetParametro("VNDI"), "X' OR '1'='1");
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(Criterios, CtrlLPicksFromTheLookupListAndAnEmptyPickLeavesTheFieldAlone) {
  auto form = make<CriteriosMapas>();
  form->setMapa(3);
  auto& view = memoryOf(*form);
  view.whenShown([&](ui::MemoryFormView& v) {
    testing::pickInNextLookup(ui, s(demo::kSeller), "V0");
    v.userKey("txtVndFin", "Ctrl+L");
    EXPECT_EQ(v.text("txtVndFin"), demo::kSeller);
    EXPECT_EQ(v.text("lblVndFin"), "");  // filled again when the field is left
    const std::string before = v.text("txtZonIni");
    testing::pickInNextLookup(ui, "");
    v.userKey("txtZonIni", "Ctrl+L");
    EXPECT_EQ(v.text("txtZonIni"), before);
    v.userClick("CmdConf");
  });
  form->Editar(Variant());
}

TEST_F(Criterios, EmptyTablesLeaveTheDefaultsEmpty) {
  testing::DemoCopy copy;
  auto data = copy.open();
  data->Execute("DELETE FROM VENDEDOR");
  data->Execute("DELETE FROM LINPRC");
  auto byVnd = make<CriteriosMapasPorVnd>(data);
  byVnd->setMapa(1);
  memoryOf(*byVnd).whenShown([](ui::MemoryFormView& v) { v.userClick("CmdConf"); });
  byVnd->Editar(Variant());
  EXPECT_EQ(byVnd->PrimeiroVnd(), "");
  EXPECT_EQ(byVnd->UltimoPrc(), "");
  EXPECT_FALSE(byVnd->Cancelou());
}

TEST_F(Criterios, ADatabaseErrorInALookupIsShownWithTheFormTitleAndTheFormGoesOn) {
  testing::DemoCopy copy;
  auto data = copy.open();
  auto form = make<CriteriosMapas>(data);
  form->setMapa(3);
  memoryOf(*form).whenShown([&](ui::MemoryFormView& v) {
    data->Execute("DROP TABLE ZONAGEO");
    v.userKey("txtZonIni", "Ctrl+L");
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].title, "Pendentes");
    EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro -2147217865 - ", 0), 0u) << ui.boxes()[0].prompt;
    // Leaving the field fails too, and says so; the focus goes on as the user asked.
    EXPECT_TRUE(v.userType("txtVndIni", s(demo::kSeller)));
    EXPECT_EQ(ui.boxes().size(), 2u);
    v.userClick("CmdConf");
  });
  form->Editar(Variant());
  EXPECT_FALSE(form->Cancelou());
}

TEST_F(Criterios, AFailureWhilePreparingIsShownTitledByTheFormAndLeavesItCancelled) {
  testing::DemoCopy copy;
  auto data = copy.open();
  data->Execute("DROP TABLE CARTEIRA");
  auto form = make<CriteriosMapas>(data);
  form->setMapa(3);
  form->Editar(Variant());
  EXPECT_TRUE(form->Cancelou());
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].title, "Critérios Pendentes");
  EXPECT_EQ(memoryOf(*form).timesShown(), 0);
}

TEST_F(Criterios, AverageSalesKeepsPresetValuesUnlessBothArticlesAreEmpty) {
  {
    auto form = make<CriteriosMapasMediaVenda>();
    form->setPrimeiroArt(demo::kFixedPriceArticle);
    form->setPrimeiraData("01-01-2026");
    form->setUltimaData("31-03-2026");
    EXPECT_EQ(
        memoryOf(*form).text("lblArtIniDescr"),
        firstValue(demoCompany(), "SELECT NOME FROM ARTIGOS WHERE CODIGO = '" + s(demo::kFixedPriceArticle) + "'"));
    memoryOf(*form).whenShown([](ui::MemoryFormView& v) { v.userClick("CmdConf"); });
    form->Editar(Variant());
    EXPECT_EQ(form->PrimeiroArt(), demo::kFixedPriceArticle);
    EXPECT_EQ(form->UltimoArt(), "");
    EXPECT_EQ(form->PrimeiraData(), "01-01-2026");
    EXPECT_EQ(form->UltimaData(), "31-03-2026");
    EXPECT_EQ(memoryOf(*form).caption(), "Média de Vendas");
  }
  {
    auto form = make<CriteriosMapasMediaVenda>();
    form->setPrimeiraData("01-01-2026");
    memoryOf(*form).whenShown([](ui::MemoryFormView& v) {
      EXPECT_TRUE(v.userType("txtArtFin", s(demo::kUnknownArticle)));  // accepted, no description
      EXPECT_EQ(v.text("lblArtFinDescr"), "");
      v.userClick("CmdConf");
    });
    form->Editar(Variant());
    EXPECT_EQ(form->PrimeiraData(), today());
    EXPECT_EQ(form->UltimaData(), today());
    EXPECT_EQ(form->PrimeiroArt(), endsOf("ARTIGOS", "CODIGO", "NOME").firstCode);
    EXPECT_EQ(form->UltimoArt(), demo::kUnknownArticle);
  }
}

TEST_F(Criterios, PriceLinesBySellerTakeLettersInTheLastLineAndTheLastLineForATooLargeNumber) {
  auto form = make<CriteriosMapasPorVnd>();
  form->setMapa(1);
  memoryOf(*form).whenShown([](ui::MemoryFormView& v) {
    EXPECT_FALSE(v.userType("txtPrcIni", "abc"));
    EXPECT_EQ(v.focused(), "txtPrcIni");
    EXPECT_TRUE(v.userType("txtPrcIni", "1"));
    EXPECT_TRUE(v.userType("txtPrcFin", "abc"));
    v.userClick("CmdConf");
  });
  form->Editar(Variant());
  EXPECT_EQ(form->UltimoPrc(), "abc");
  EXPECT_EQ(form->PrimeiroVnd(), endsOf("VENDEDOR", "CODIGO", "NOME").firstCode);

  auto again = make<CriteriosMapasPorVnd>();
  again->setMapa(1);
  memoryOf(*again).whenShown([](ui::MemoryFormView& v) {
    EXPECT_TRUE(v.userType("txtPrcFin", "40000"));
    v.userClick("CmdConf");
  });
  again->Editar(Variant());
  const Ends lines = endsOf("LINPRC", "LINHA", "DESCR");
  EXPECT_EQ(again->UltimoPrc(), lines.lastCode);
  EXPECT_EQ(memoryOf(*again).text("lblPrcFinDescr"), lines.lastName);
}

TEST_F(Criterios, ToleranceProposesTrimmedCodesAndValidatesAPickAtOnce) {
  testing::DemoCopy copy;
  auto data = copy.open();
  data->Execute("INSERT INTO VENDEDOR (CODIGO, NOME) VALUES ('VZZ  ', 'Último')");
  auto form = make<CriteriosPendTolerancia>(data);
  auto& view = memoryOf(*form);
  EXPECT_EQ(view.caption(), "Mapa Pendentes com Tolerância");
  view.whenShown([&](ui::MemoryFormView& v) {
    EXPECT_EQ(v.text("txtVendFin"), "VZZ");
    // The trimmed code finds its seller, as on the original server.
    EXPECT_EQ(v.text("txtVendFinDesc"), "Último");
    // Enter means nothing here.
    v.setFocus("txtCliIni");
    v.userKey("txtCliIni", "Enter");
    EXPECT_EQ(v.focused(), "txtCliIni");
    const std::string before = v.text("txtCliFin");
    testing::pickInNextLookup(ui, s(demo::kInactiveClient));  // every client is offered
    v.userKey("txtCliIni", "Ctrl+L");
    EXPECT_EQ(v.text("txtCliIni"), demo::kInactiveClient);
    EXPECT_EQ(v.text("txtCliIniDesc"),
              firstValue(demoCompany(), "SELECT NOME FROM CLIENTES WHERE CODIGO = '" + s(demo::kInactiveClient) + "'"));
    EXPECT_EQ(v.text("txtCliFin"), before);
    EXPECT_TRUE(v.userType("txtCliFin", ""));
    EXPECT_EQ(v.text("txtCliFinDesc"), "");
    v.userClick("cmdImprimir");
  });
  form->Editar(Variant());
  EXPECT_FALSE(form->Cancelou());
  EXPECT_EQ(form->PrimeiroCliente(), demo::kInactiveClient);
  EXPECT_EQ(form->UltimoCliente(), "");
  EXPECT_EQ(form->UltimoVendedor(), "VZZ");
}

TEST_F(Criterios, ClosingTheWindowLeavesTheFormCancelled) {
  auto form = make<CriteriosPendTolerancia>();
  memoryOf(*form).whenShown([](ui::MemoryFormView& v) { v.userClose(); });
  form->Editar(Variant());
  EXPECT_TRUE(form->Cancelou());
}

}  // namespace
}  // namespace quill

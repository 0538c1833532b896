// Starting and stopping the bridge, its parameters, its factory and getters,
// driven in a real quillbridge process.
#include <gtest/gtest.h>

#include "bridge/SageNextApi.h"
#include "platform/automation/remote/RemoteProxy.h"
#include "platform/vb/Conversions.h"
#include "tests/bridge/BridgeTest.h"

namespace quill::bridgetest {
namespace {

TEST_F(BridgeTest, TheObjectLivesInTheBridgeProcess) {
  EXPECT_NE(dynamic_cast<RemoteProxy*>(bridge_.get()), nullptr);
  EXPECT_EQ(bridge_->className(), "SageNextApi");
  EXPECT_EQ(bridgeProcesses().size(), 1u);
}

TEST_F(BridgeTest, AStartedBridgeAnswersTheCompanysParameters) {
  start();
  EXPECT_EQ(late::get(bridge_, "TemLigacaoContabilidade"), Variant(demo::kLinkedToAccounting));
  EXPECT_EQ(late::get(bridge_, "RegimeIVANacional"), Variant(demo::kNationalVatRegime));
  EXPECT_EQ(late::get(bridge_, "MoedaNacional"), Variant(demo::kNationalCurrency));

  // Read once, when the bridge starts.
  company_->execute("UPDATE PARAMETROS SET MOEDANAC = 'USD'");
  EXPECT_EQ(late::get(bridge_, "MoedaNacional"), Variant(demo::kNationalCurrency));
}

TEST_F(BridgeTest, AFailedStartAnswersFalseAndLeavesNoParameters) {
  struct Case {
    const char* name;
    std::string company, password;
  };
  for (const auto& c : {Case{"wrong password", std::string(demo::kCompanyCode), "errada"},
                        Case{"unknown company", "NAOHA", std::string(demo::kPassword)}}) {
    EXPECT_EQ(iniciar(c.company, c.password), Variant(false)) << c.name;
    for (const char* parameter : {"TemLigacaoContabilidade", "RegimeIVANacional", "MoedaNacional"}) {
      auto error = errorOf([&] { late::get(bridge_, parameter); });
      EXPECT_EQ(error.number(), vberr::ObjectNotSet) << c.name << " " << parameter;
    }
  }
  // A later start with the right login works.
  EXPECT_EQ(iniciar(), Variant(true));
  EXPECT_EQ(late::get(bridge_, "MoedaNacional"), Variant(demo::kNationalCurrency));
}

TEST_F(BridgeTest, EveryReadOfAGetterCreatesANewObjectOfItsClass) {
  start();
  const std::pair<const char*, const char*> getters[] = {
      {"AllocParametrosAplicacao", "ParametrosAplicacao"},
      {"AllocArtigo", "Artigos"},
      {"AllocCliente", "Clientes"},
      {"AllocFornecedor", "Fornecedores"},
      {"AllocDocComercialCabecalho", "DocumentoComercial"},
      {"AllocDocComercialLinha", "DocumentosGcLin"},
      {"AllocLotesLinha", "LotesLinha"},
      {"AllocDocContabilistico", "DocumentoContabilistico"},
      {"AllocPrecos", "Precos"},
  };
  for (auto [getter, className] : getters) {
    auto first = late::get(bridge_, getter).objectValue();
    auto second = late::get(bridge_, getter).objectValue();
    ASSERT_NE(first, nullptr) << getter;
    EXPECT_NE(first, second) << getter;
    EXPECT_EQ(first->className(), className) << getter;
  }
  auto parameters = late::get(bridge_, "AllocParametrosAplicacao").objectValue();
  EXPECT_EQ(late::get(parameters, "MoedaNacional"), Variant(demo::kNationalCurrency));
}

TEST_F(BridgeTest, FactoryErrorsReachTheCallerUnchanged) {
  auto beforeStart = errorOf([&] { late::call(bridge_, "CreateSageApiObject", {Variant("SageApiNextPlus.Precos")}); });
  EXPECT_EQ(beforeStart.number(), vberr::ObjectNotSet);

  start();
  auto unknown = errorOf([&] { late::call(bridge_, "CreateSageApiObject", {Variant("SageApiNextPlus.NaoExiste")}); });
  EXPECT_EQ(unknown.number(), vberr::CannotCreateObject);
  EXPECT_EQ(unknown.source(), "SageApiNextPlus.Api");
  EXPECT_EQ(unknown.description(), "ActiveX component can't create object");
  auto price = late::call(bridge_, "CreateSageApiObject", {Variant("SageApiNextPlus.Precos")}).objectValue();
  EXPECT_EQ(price->className(), "Precos");
}

TEST_F(BridgeTest, TerminatingReleasesTheApiAndIsHarmlessBeforeAStart) {
  EXPECT_EQ(late::call(bridge_, "Terminar"), Variant(true));
  start();
  EXPECT_EQ(late::call(bridge_, "Terminar"), Variant(true));
  EXPECT_EQ(errorOf([&] { late::get(bridge_, "MoedaNacional"); }).number(), vberr::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { late::get(bridge_, "AllocPrecos"); }).number(), vberr::ObjectNotSet);
  EXPECT_EQ(late::call(bridge_, "Terminar"), Variant(true));
  EXPECT_NE(apiLog().find("Termina"), std::string::npos);
}

TEST(SageNextApiInterface, TheMembersAreDeclaredInTheInterfacesOrder) {
  const std::vector<std::string> expected = {"DataAccess",
                                             "TemLigacaoContabilidade",
                                             "RegimeIVANacional",
                                             "MoedaNacional",
                                             "AllocParametrosAplicacao",
                                             "AllocArtigo",
                                             "AllocCliente",
                                             "AllocFornecedor",
                                             "AllocDocComercialCabecalho",
                                             "AllocDocComercialLinha",
                                             "AllocLotesLinha",
                                             "AllocDocContabilistico",
                                             "AllocPrecos",
                                             "Iniciar",
                                             "Terminar",
                                             "CreateSageApiObject",
                                             "AbonoDeFrete",
                                             "AlteraPreco"};
  EXPECT_EQ(SageNextApi::members().names(), expected);
}

}  // namespace
}  // namespace quill::bridgetest

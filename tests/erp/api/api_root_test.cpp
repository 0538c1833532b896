// The ERP API's root object: starting on a company of an installation,
// terminating, and its factory.
#include <gtest/gtest.h>

#include "erp/DemoCodes.h"
#include "erp/api/ApiRefusal.h"
#include "erp/api/ApiRoot.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/vb/Conversions.h"
#include "tests/erp/api/ApiTestSupport.h"
#include "tests/erp/api/DemoCompanyCopy.h"

namespace quill::erpapi::test {
namespace {

namespace demo = erp::demo;

TEST(ApiRootStart, StartsOnlyForAKnownCompanyAndAValidLogin) {
  DemoCompanyCopy company;
  const std::string folder = company.folder().string();
  struct Case {
    const char* name;
    std::string path, companyCode, login, password;
    bool started;
  };
  const Case cases[] = {
      {"demo login", folder, std::string(demo::kCompanyCode), std::string(demo::kLogin), std::string(demo::kPassword),
       true},
      {"company code in another case, login in another case", folder, "demo", "QUILL", std::string(demo::kPassword),
       true},
      {"wrong password", folder, std::string(demo::kCompanyCode), std::string(demo::kLogin), "errada", false},
      {"password in another case", folder, std::string(demo::kCompanyCode), std::string(demo::kLogin), "QUILL", false},
      {"unknown user", folder, std::string(demo::kCompanyCode), "ninguem", std::string(demo::kPassword), false},
      {"unknown company", folder, "NAOHA", std::string(demo::kLogin), std::string(demo::kPassword), false},
      {"missing installation", folder + "/nao-existe", std::string(demo::kCompanyCode), std::string(demo::kLogin),
       std::string(demo::kPassword), false},
      {"empty path", "", std::string(demo::kCompanyCode), std::string(demo::kLogin), std::string(demo::kPassword),
       false},
  };
  for (const auto& c : cases) {
    auto api = std::make_shared<ApiRoot>();
    EXPECT_EQ(late::call(api, "Inicializa",
                         {Variant(c.path), Variant(""), Variant(c.companyCode), Variant(c.login), Variant(c.password)}),
              Variant(c.started))
        << c.name;
    EXPECT_EQ(api->started(), c.started) << c.name;
  }
}

TEST(ApiRootStart, ADamagedCompanyDatabaseAnswersFalse) {
  DemoCompanyCopy company;
  std::filesystem::resize_file(company.databaseFile(), 100);
  ApiRoot api;
  EXPECT_FALSE(api.Inicializa(company.folder().string(), "", demo::kCompanyCode, demo::kLogin, demo::kPassword));
}

TEST(ApiRootStart, TheRootIsCreatedByProgramIdFromItsLibrary) {
  auto api = createObject("SageApiNextPlus.Api");
  ASSERT_NE(api, nullptr);
  EXPECT_EQ(api->className(), "Api");
  late::let(api, "ModoAcesso", Variant(std::int32_t{2}));
  EXPECT_EQ(late::get(api, "ModoAcesso"), Variant(std::int32_t{2}));
}

TEST_F(StartedApi, TheFactoryCreatesEveryObjectOfTheSystemAndRefusesOthersWith429) {
  const std::pair<const char*, const char*> known[] = {
      {"SageApiNextPlus.ParametrosAplicacao", "ParametrosAplicacao"},
      {"SageApiNextPlus.DocumentoComercial", "DocumentoComercial"},
      {"sageapinextplus.documentosgclin", "DocumentosGcLin"},
      {"SageApiNextPlus.Precos", "Precos"},
      {"SageApiNextPlus.Artigos", "Artigos"},
      {"SageApiNextPlus.Clientes", "Clientes"},
      {"SageApiNextPlus.Fornecedores", "Fornecedores"},
      {"SageApiNextPlus.LotesLinha", "LotesLinha"},
      {"SageApiNextPlus.DocumentoContabilistico", "DocumentoContabilistico"},
  };
  for (auto [progId, className] : known) {
    auto first = late::call(api_, "CriaObjecto", {Variant(progId)}).objectValue();
    auto second = late::call(api_, "CriaObjecto", {Variant(progId)}).objectValue();
    ASSERT_NE(first, nullptr) << progId;
    EXPECT_NE(first, second) << progId;
    EXPECT_EQ(first->className(), className);
  }
  for (const char* unknown : {"SageApiNextPlus.NaoExiste", "", "Quillbridge.SageNextApi"}) {
    auto error = errorOf([&] { late::call(api_, "CriaObjecto", {Variant(unknown)}); });
    EXPECT_EQ(error.number(), vberr::CannotCreateObject) << unknown;
    EXPECT_EQ(error.source(), "SageApiNextPlus.Api");
  }
}

TEST_F(StartedApi, TheParametersAreTheCompanys) {
  auto parameters = create("SageApiNextPlus.ParametrosAplicacao");
  EXPECT_EQ(vb::CLng(late::get(parameters, "LigacaoACtb")), demo::kLinkedToAccounting ? -1 : 0);
  EXPECT_EQ(late::get(parameters, "MoedaNacional"), Variant(demo::kNationalCurrency));
  EXPECT_EQ(late::get(parameters, "RegIvaNacional"), Variant(demo::kNationalVatRegime));

  company_->execute("UPDATE PARAMETROS SET LIGACTB = 0");
  EXPECT_EQ(vb::CLng(late::get(create("SageApiNextPlus.ParametrosAplicacao"), "LigacaoACtb")), -1)
      << "read when the API starts, as the ERP does";
}

TEST_F(StartedApi, ObjectsHeldAfterTerminateAnswerThatTheApiIsNotStarted) {
  auto parameters = create("SageApiNextPlus.ParametrosAplicacao");
  auto document = create("SageApiNextPlus.DocumentoComercial");
  auto price = create("SageApiNextPlus.Precos");
  EXPECT_EQ(late::call(api_, "Termina"), Variant(true));

  EXPECT_EQ(errorOf([&] { late::get(parameters, "MoedaNacional"); }).number(), apierr::NotStarted);
  EXPECT_EQ(late::call(document, "Ler",
                       {Variant(demo::kInvoiceType), Variant(std::int32_t{1}), Variant(std::int32_t{1}),
                        Variant(std::int32_t{demo::kDocumentYear})}),
            Variant(apierr::NotStarted));
  EXPECT_EQ(late::call(price, "LerPorArtmlin",
                       {Variant(demo::kFixedPriceArticle), Variant(demo::kNationalCurrency), Variant(std::int32_t{1})}),
            Variant(apierr::NotStarted));
  EXPECT_EQ(late::get(price, "UltimaMensagem"), Variant("A API não está inicializada."));
  EXPECT_EQ(late::call(api_, "Termina"), Variant(true)) << "terminating twice is harmless";
}

TEST_F(StartedApi, UnusedObjectsAnswerNothing) {
  auto articles = create("SageApiNextPlus.Artigos");
  EXPECT_EQ(errorOf([&] { late::get(articles, "Codigo"); }).number(), vberr::MemberNotSupported);
}

}  // namespace
}  // namespace quill::erpapi::test

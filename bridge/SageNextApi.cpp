#include "bridge/SageNextApi.h"

#include "bridge/AbonoDeFrete.h"
#include "bridge/AlteraPreco.h"
#include "bridge/BridgeErrors.h"
#include "erp/api/ProgramIds.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace {
namespace progid = erpapi::progid;
constexpr const char* kIniciarSource = "cNextDocComercial::Iniciar";
constexpr const char* kTerminarSource = "cNextDocComercial::ApiTermina";
}  // namespace

SageNextApi::SageNextApi(ObjectCreator createObject) : createObject_(std::move(createObject)) {}

SageNextApi::~SageNextApi() = default;

const DispatchPtr& SageNextApi::parametros() const {
  if (!parametros_) throw vbError(vberr::ObjectNotSet, kBridgeErrorSource);
  return parametros_;
}

bool SageNextApi::TemLigacaoContabilidade() const { return vb::CLng(late::get(parametros(), "LigacaoACtb")) == -1; }

std::string SageNextApi::RegimeIVANacional() const { return vb::CStr(late::get(parametros(), "RegIvaNacional")); }

std::string SageNextApi::MoedaNacional() const { return vb::CStr(late::get(parametros(), "MoedaNacional")); }

bool SageNextApi::Iniciar(std::string_view sPercWin, std::string_view sFlLog, std::string_view sEmp,
                          std::string_view sLogin, std::string_view sPassword) {
  logFolder_ = std::filesystem::path(std::string(sFlLog));
  try {
    api_ = createObject_(progid::kApi);
    late::let(api_, "DataAccess", Variant(dataAccess_));
    late::let(api_, "ModoAcesso", Variant(std::int32_t{2}));
    bool iniciou = vb::CBool(late::call(
        api_, "Inicializa", {Variant(sPercWin), Variant(sFlLog), Variant(sEmp), Variant(sLogin), Variant(sPassword)}));
    if (!iniciou) return false;
    parametros_ = CreateSageApiObject(progid::kParametrosAplicacao);
    return true;
  } catch (const std::exception& error) {
    throw raisedAgain(error, kIniciarSource);
  }
}

bool SageNextApi::Terminar() {
  try {
    if (api_) {
      late::call(api_, "Termina");
      api_.reset();
      parametros_.reset();
    }
    return true;
  } catch (const std::exception& error) {
    throw raisedAgain(error, kTerminarSource);
  }
}

DispatchPtr SageNextApi::CreateSageApiObject(std::string_view sObjectName) const {
  if (!api_) throw vbError(vberr::ObjectNotSet, kBridgeErrorSource);
  return late::call(api_, "CriaObjecto", {Variant(sObjectName)}).objectValue();
}

void SageNextApi::AbonoDeFrete(const AbonoDeFretePedido& pedido) { ProcessaAbonoDeFrete(*this).run(pedido); }

void SageNextApi::AlteraPreco(const AlteraPrecoPedido& pedido) { ProcessaAlteraPreco(*this).run(pedido); }

const MemberTable<SageNextApi>& SageNextApi::members() {
  using Args = MemberTable<SageNextApi>::Args;
  auto getter = [](std::string_view progId) {
    return [progId](SageNextApi& api, Args) { return Variant(api.CreateSageApiObject(progId)); };
  };
  // Declared in the interface's order.
  static const auto table =
      MemberTable<SageNextApi>()
          .propertyRef("DataAccess",
                       [](SageNextApi& api, Args a) {
                         api.dataAccess_ = a.back().isObject() ? a.back().objectValue() : requireObject(a.back());
                       })
          .property("TemLigacaoContabilidade",
                    [](SageNextApi& api, Args) { return Variant(api.TemLigacaoContabilidade()); })
          .property("RegimeIVANacional", [](SageNextApi& api, Args) { return Variant(api.RegimeIVANacional()); })
          .property("MoedaNacional", [](SageNextApi& api, Args) { return Variant(api.MoedaNacional()); })
          .property("AllocParametrosAplicacao", getter(progid::kParametrosAplicacao))
          .property("AllocArtigo", getter(progid::kArtigos))
          .property("AllocCliente", getter(progid::kClientes))
          .property("AllocFornecedor", getter(progid::kFornecedores))
          .property("AllocDocComercialCabecalho", getter(progid::kDocumentoComercial))
          .property("AllocDocComercialLinha", getter(progid::kDocumentosGcLin))
          .property("AllocLotesLinha", getter(progid::kLotesLinha))
          .property("AllocDocContabilistico", getter(progid::kDocumentoContabilistico))
          .property("AllocPrecos", getter(progid::kPrecos))
          .method(
              "Iniciar",
              [](SageNextApi& api, Args a) {
                return Variant(
                    api.Iniciar(vb::CStr(a[0]), vb::CStr(a[1]), vb::CStr(a[2]), vb::CStr(a[3]), vb::CStr(a[4])));
              },
              Arity::exactly(5))
          .method(
              "Terminar", [](SageNextApi& api, Args) { return Variant(api.Terminar()); }, Arity::exactly(0))
          .method(
              "CreateSageApiObject",
              [](SageNextApi& api, Args a) { return Variant(api.CreateSageApiObject(vb::CStr(a[0]))); },
              Arity::exactly(1))
          .sub(
              "AbonoDeFrete", [](SageNextApi& api, Args a) { api.AbonoDeFrete(AbonoDeFretePedido::from(a)); },
              Arity::exactly(6))
          .sub(
              "AlteraPreco", [](SageNextApi& api, Args a) { api.AlteraPreco(AlteraPrecoPedido::from(a)); },
              Arity::exactly(9));
  return table;
}

}  // namespace quill

#include "extension/core/DescComissoes.h"

#include "extension/components/DataAccess.h"
#include "extension/components/WaitWindow.h"
#include "extension/core/BridgeWait.h"
#include "extension/core/DatabaseModel.h"
#include "extension/core/LinePricing.h"
#include "extension/core/PricingQueries.h"
#include "extension/core/SalesLineHooks.h"
#include "extension/core/WatchedBridge.h"
#include "extension/core/cInifile.h"
#include "platform/automation/AutomationError.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DebugLog.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

constexpr const char* kTituloLigacaoApi = "Ligação SageNext API";

// The wait window being shown and the system timer that animates it: one of
// each for the whole library, as only one company opens at a time.
WaitWindow* gJanelaEspera = nullptr;
std::uint32_t gTimerEspera = 0;

std::string normalizado(std::string_view empresa) { return vb::UCase(vb::Trim(empresa)); }

}  // namespace

DescComissoes::DescComissoes(Environment environment)
    : env_(std::move(environment)), dataAccess_(std::make_shared<DataAccess>()) {
  dataAccess_->setConnectionSetup([](sql::Connection& connection) { registerDatabaseModel(connection); });
  pricingQueries_ = std::make_unique<PricingQueries>([this] { return dataAccess_.get(); });
  lineHooks_ = std::make_unique<SalesLineHooks>(
      *pricingQueries_, *env_.ui, [this](std::string_view tag, std::string_view detail) { debugLog(tag, detail); },
      [this](const Variant& oApi) { return documentHooks_->IsNotaCredito(oApi); });
  SalesDocumentHooks::Services services;
  services.ui = env_.ui;
  services.dataAccess = [this] { return dataAccess_.get(); };
  services.apiLigadaOuAviso = [this] { return apiLigadaOuAviso(); };
  services.nextApi = [this] { return nextApi_; };
  documentHooks_ = std::make_unique<SalesDocumentHooks>(std::move(services), documentos_);

  if (env_.ui) {
    bridgeWait_ =
        std::make_unique<BridgeWait>(*env_.ui, env_.createWaitWindow, [] { return gJanelaEspera != nullptr; });
    addSlowCallObserver(bridgeWait_.get());
  }
}

// Releases the data-access and bridge objects without stopping the bridge.
DescComissoes::~DescComissoes() { removeSlowCallObserver(bridgeWait_.get()); }

// ---------------------------------------------------------------- Session

bool DescComissoes::EmpresaInteressa(std::string_view sEmpresa) {
  return normalizado(sEmpresa) == normalizado(empresa_);
}

void DescComissoes::readConfiguration() {
  std::filesystem::path porUtilizador = env_.libraryFolder / ("VALTERO." + userLogin_);
  configurationPath_ = std::filesystem::exists(porUtilizador) ? porUtilizador : env_.libraryFolder / "VALTERO.INI";

  cInifile ini;
  ini.setPath(configurationPath_.string());
  auto read = [&ini](const char* section, const char* key) {
    ini.setSection(section);
    ini.setKey(key);
    return ini.Value();
  };
  password_ = read("Api Next", "password");
  login_ = read("Api Next", "Login");
  empresa_ = read("Api Next", "Empresa");
  percLog_ = read("Api Next", "perclog");
  percWindows_ = read("Api Next", "PercWindows");
  servidor_ = read("Ligação", "Servidor");
  baseDados_ = read("Ligação", "BaseDados");
  utilizador_ = read("Ligação", "User");
  passWord_ = read("Ligação", "PassWord");
  documentos_.tiposDocumento = read("DOCUMENTOS VENDA", "TPDOC");
  documentos_.artigoAbono = read("DOCUMENTOS VENDA", "DESCRTABONO");
  if (servidor_.empty() || baseDados_.empty()) logMissingConnectionSettings();
}

void DescComissoes::logMissingConnectionSettings() {
  // Without a log folder (no file, or one that names none) the log has no
  // place of its own: the line would land in the root folder.
  if (percLog_.empty()) return;
  constexpr const char* kTag = "Configuração";
  const std::string ficheiro = configurationPath_.string();
  cInifile ini;
  ini.setPath(ficheiro);
  std::vector<std::string> seccoes;
  std::int32_t n = 0;
  ini.EnumerateAllSections(seccoes, n);
  bool temSeccao = false;
  for (const auto& s : seccoes) temSeccao = temSeccao || vb::equalsText(vb::Trim(s), "Ligação");
  if (!temSeccao) {
    debugLog(kTag, "ficheiro " + ficheiro + " lido: falta a secção [Ligação]");
    return;
  }
  ini.setSection("Ligação");
  std::vector<std::string> chaves;
  ini.EnumerateCurrentSection(chaves, n);
  const std::pair<const char*, const std::string*> definicoes[] = {{"Servidor", &servidor_},
                                                                   {"BaseDados", &baseDados_}};
  for (const auto& [chave, valor] : definicoes) {
    if (!valor->empty()) continue;
    bool existe = false;
    for (const auto& k : chaves) existe = existe || vb::equalsText(vb::Trim(k), chave);
    debugLog(kTag, "ficheiro " + ficheiro + " lido: " +
                       (existe ? std::string("a chave ") + chave + " da secção [Ligação] está vazia"
                               : std::string("falta a chave ") + chave + " na secção [Ligação]"));
  }
}

std::string DescComissoes::connectionString() const {
  return buildConnectionString("MSDataShape", "SQLOLEDB", servidor_, baseDados_, utilizador_, passWord_);
}

bool DescComissoes::openDatabase() {
  // A spent object (closed before) has no data-access object left.
  if (!dataAccess_) throw vbError(vberr::ObjectNotSet);
  if (dataAccess_->OpenConnection(connectionString())) return true;
  debugLog("OpenConnection", dataAccess_->lastError());
  return false;
}

bool DescComissoes::closeDatabase() {
  try {
    if (dataAccess_) dataAccess_->CloseConnection();
  } catch (const std::exception&) {
    // closing never fails the caller
  }
  dataAccess_.reset();
  return true;
}

bool DescComissoes::startBridge() {
  DispatchPtr bridge = env_.createObject(kBridgeProgId);
  if (!bridge) throw vbError(vberr::CannotCreateObject);
  nextApi_ =
      std::make_shared<WatchedBridge>(std::move(bridge), [this](const WatchedBridge& which) { ligacaoPerdida(which); });
  bool iniciou = vb::CBool(late::call(nextApi_, "Iniciar", {percWindows_, percLog_, empresa_, login_, password_}));
  if (iniciou) {
    late::set(nextApi_, "DataAccess", dataAccess_);
    apiLigada_ = true;
    return true;
  }
  env_.ui->msgBox("Erro. Não foi possivel ligar ao Sage Next", vb::vbExclamation, "Ligação ao Servidor/Sage Next");
  nextApi_.reset();
  apiLigada_ = false;
  return false;
}

bool DescComissoes::ConnectionOpen(std::string_view sEmpresa, std::string_view sUserLogin) {
  ui::UiServices& ui = *env_.ui;
  std::unique_ptr<WaitWindow> espera;
  auto fechaEspera = [&] {
    try {
      if (espera) espera->hide();
      espera.reset();
      ui.killTimer(gTimerEspera);
    } catch (const std::exception&) {
    }
    gTimerEspera = 0;
    gJanelaEspera = nullptr;
  };

  bool resultado = false;
  try {
    if (env_.createWaitWindow) espera = env_.createWaitWindow();
    if (espera) {
      espera->setProgressMaximum(100);
      espera->setProgressValue(0);
      espera->setCaption("Inicialização Sage API");
      espera->show();
    }
    gJanelaEspera = espera.get();

    if (gTimerEspera != 0) ui.killTimer(gTimerEspera);
    gTimerEspera = ui.setTimer(500, [] {
      if (gJanelaEspera) gJanelaEspera->advance();
    });
    ui.processEvents();

    userLogin_ = std::string(sUserLogin);
    readConfiguration();

    bool interessa = empresa_.empty() || normalizado(sEmpresa) == normalizado(empresa_);
    if (interessa) {
      ui.processEvents();
      resultado = openDatabase();
      ui.processEvents();
      // The bridge starts even when the database did not open.
      if (!startBridge()) {
        closeDatabase();
        resultado = false;
      }
      ui.processEvents();
    }
    ui.processEvents();
  } catch (const std::exception& error) {
    fechaEspera();
    ui.showError(error, "Ligação ao Servidor");
    return resultado;
  }
  fechaEspera();
  return resultado;
}

void DescComissoes::stopBridge() {
  DispatchPtr bridge = std::move(nextApi_);
  if (!bridge) return;
  try {
    late::call(bridge, "Terminar");
  } catch (const AutomationError& error) {
    if (error.number() != vberr::ServerUnavailable) throw;  // any other error reaches the host
  }
}

bool DescComissoes::ConnectionClose() {
  bool resultado = closeDatabase();
  stopBridge();
  return resultado;
}

void DescComissoes::ConnectDisconnectApiNext() {
  std::string pergunta = std::string("A API SageNext encontra-se ") + (apiLigada_ ? "ligada." : "desligada.") +
                         " Pretende " + (apiLigada_ ? "desligar?" : "ligar?");
  if (env_.ui->msgBox(pergunta, vb::vbYesNo + vb::vbQuestion, kTituloLigacaoApi) != vb::vbYes) return;
  if (!apiLigada_) {
    if (!startBridge()) return;
    env_.ui->msgBox("A API SageNext encontra-se agora, ligada.", vb::vbInformation, kTituloLigacaoApi);
    return;
  }
  apiLigada_ = false;
  stopBridge();
  env_.ui->msgBox("A API SageNext encontra-se agora, desligada.", vb::vbInformation, kTituloLigacaoApi);
}

bool DescComissoes::apiLigadaOuAviso() {
  if (!apiLigada_)
    env_.ui->msgBox("A API SageNext encontra-se desligada. A operação não vai actualizar dados no Sage Next.",
                    vb::vbInformation, kTituloLigacaoApi);
  return apiLigada_;
}

void DescComissoes::ligacaoPerdida(const WatchedBridge& which) {
  // A bridge let go of before (switched off since) is no longer the link.
  if (nextApi_.get() != &which) return;
  nextApi_.reset();
  apiLigada_ = false;
  debugLog("Ligação API", "perdida");
}

void DescComissoes::debugLog(std::string_view tag, std::string_view detail) const {
  std::string folder = percLog_;
  if (folder.empty() || folder.back() != '/') folder += '/';
  vb::appendDebugLine(std::filesystem::path(folder) / "DBGVALTERO.TXT", tag, vb::kLibraryLogTagWidth, detail);
}

// ---------------------------------------------------------------- Sales lines

void DescComissoes::ValidadeDescontoCliente(Variant& vCliente, Variant& vDescPerc, Variant& vDescDefault) {
  lineHooks_->ValidadeDescontoCliente(vCliente, vDescPerc, vDescDefault);
}

double DescComissoes::Desconto(Variant& dPreco, Variant& sDesconto) {
  return descontoComposto(vb::CDbl(dPreco), vb::CStr(sDesconto));
}

void DescComissoes::ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor,
                                   Variant& bCancel) {
  lineHooks_->ValidateArtigo(oApi, sArtigo, vDescPerc, vDescValor, bCancel);
}

void DescComissoes::ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor,
                                       Variant& bCancel) {
  lineHooks_->ValidateQuantidade(oApi, oCampo, vDescPerc, vDesValor, bCancel);
}

void DescComissoes::ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  lineHooks_->ValidateUnidade(oApi, oCampo, vDesValor, bCancel);
}

void DescComissoes::ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  lineHooks_->ValidatePrecoUnit(oApi, oCampo, vDesValor, bCancel);
}

void DescComissoes::ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel) {
  lineHooks_->ValidateDesconto(oApi, vDesPerc, vDesValor, bCancel);
}

void DescComissoes::ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel) {
  lineHooks_->ValidateDescontoValor(oApi, vDesPerc, vDesVal, bCancel);
}

// ---------------------------------------------------------------- Sales documents

bool DescComissoes::IsNotaCredito(Variant& oApi) { return documentHooks_->IsNotaCredito(oApi); }

bool DescComissoes::VendasDocumentoInteressa(std::string_view sDocumento) {
  return documentHooks_->VendasDocumentoInteressa(sDocumento);
}

bool DescComissoes::VendasTemLinhaPrecos(std::string_view sCliente, std::string_view sMoeda, std::string_view sArtigo,
                                         Variant& sDataDoc, std::string_view sUnidade, Variant& dPrecoSemIva) {
  return documentHooks_->VendasTemLinhaPrecos(sCliente, sMoeda, sArtigo, sDataDoc, sUnidade, dPrecoSemIva);
}

bool DescComissoes::VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie,
                                     std::int32_t lNumero, std::string_view sExpedicao, std::string_view sCliente) {
  return documentHooks_->VendasAbonoFrete(iAno, sTipo, iSerie, lNumero, sExpedicao, sCliente);
}

// ---------------------------------------------------------------- Late-bound interface

const MemberTable<DescComissoes>& DescComissoes::members() {
  using Args = std::span<Variant>;
  using D = DescComissoes;
  auto text = [](const Variant& v) { return vb::CStr(v); };
  static const auto table = [&] {
    auto t =
        MemberTable<D>()
            .method(
                "EmpresaInteressa", [=](D& d, Args a) { return Variant(d.EmpresaInteressa(text(a[0]))); },
                Arity::exactly(1))
            .method(
                "ConnectionOpen", [=](D& d, Args a) { return Variant(d.ConnectionOpen(text(a[0]), text(a[1]))); },
                Arity::exactly(2))
            .method(
                "ConnectionClose", [](D& d, Args) { return Variant(d.ConnectionClose()); }, Arity::exactly(0))
            .sub(
                "ConnectDisconnectApiNext", [](D& d, Args) { d.ConnectDisconnectApiNext(); }, Arity::exactly(0))
            .sub(
                "ValidadeDescontoCliente", [](D& d, Args a) { d.ValidadeDescontoCliente(a[0], a[1], a[2]); },
                Arity::exactly(3))
            .method(
                "Desconto", [](D& d, Args a) { return Variant(d.Desconto(a[0], a[1])); }, Arity::exactly(2))
            .sub(
                "ValidateArtigo", [](D& d, Args a) { d.ValidateArtigo(a[0], a[1], a[2], a[3], a[4]); },
                Arity::exactly(5))
            .sub(
                "ValidateQuantidade", [](D& d, Args a) { d.ValidateQuantidade(a[0], a[1], a[2], a[3], a[4]); },
                Arity::exactly(5))
            .sub(
                "ValidateUnidade", [](D& d, Args a) { d.ValidateUnidade(a[0], a[1], a[2], a[3]); }, Arity::exactly(4))
            .sub(
                "ValidatePrecoUnit", [](D& d, Args a) { d.ValidatePrecoUnit(a[0], a[1], a[2], a[3]); },
                Arity::exactly(4))
            .sub(
                "ValidateDesconto", [](D& d, Args a) { d.ValidateDesconto(a[0], a[1], a[2], a[3]); }, Arity::exactly(4))
            .sub(
                "ValidateDescontoValor", [](D& d, Args a) { d.ValidateDescontoValor(a[0], a[1], a[2], a[3]); },
                Arity::exactly(4))
            .method(
                "IsNotaCredito", [](D& d, Args a) { return Variant(d.IsNotaCredito(a[0])); }, Arity::exactly(1))
            .method(
                "VendasDocumentoInteressa",
                [=](D& d, Args a) { return Variant(d.VendasDocumentoInteressa(text(a[0]))); }, Arity::exactly(1))
            .method(
                "VendasTemLinhaPrecos",
                [=](D& d, Args a) {
                  return Variant(d.VendasTemLinhaPrecos(text(a[0]), text(a[1]), text(a[2]), a[3], text(a[4]), a[5]));
                },
                Arity::exactly(6))
            .method(
                "VendasAbonoFrete",
                [=](D& d, Args a) {
                  return Variant(d.VendasAbonoFrete(vb::CInt(a[0]), text(a[1]), vb::CInt(a[2]), vb::CLng(a[3]),
                                                    text(a[4]), text(a[5])));
                },
                Arity::exactly(6));
    addCommandMembers(t);
    // Not one of the system's members: how the host learns the link's state.
    t.property("ApiLigada", [](D& d, Args) { return Variant(d.apiLigada()); });
    return t;
  }();
  return table;
}

}  // namespace quill

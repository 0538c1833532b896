#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extension/components/ConnectionString.h"
#include "extension/core/SalesDocumentHooks.h"
#include "platform/automation/MemberTable.h"

namespace quill {

class BridgeWait;
class WatchedBridge;
class DataAccess;
class PricingQueries;
class WaitWindow;
class SalesLineHooks;
namespace ui {
class UiServices;
}

// The extension object the ERP host creates for each company it opens: it
// reads the configuration, opens the company database, starts the ERP API
// bridge, prices sales lines while they are edited and has the freight
// allowance written when a sales document is saved.
//
// Every public operation shows its own failures ("Erro " + description) and
// answers false or nothing, except ConnectionClose and
// ConnectDisconnectApiNext, which pass errors on to the host.
class DescComissoes : public DispatchObject<DescComissoes> {
 public:
  static constexpr const char* kProgId = "Quillplug.DescComissoes";
  static constexpr const char* kBridgeProgId = "Quillbridge.SageNextApi";

  // What the object is wired to; the library's factory fills it in, tests
  // put their own.
  struct Environment {
    ui::UiServices* ui = nullptr;
    std::function<DispatchPtr(std::string_view progId)> createObject;  // CreateObject
    std::filesystem::path libraryFolder;                               // where the configuration file lies
    // The library's forms and windowed components by name
    // ("frmCriteriosMapas", "ReportPrinter"), late-bound; the library's
    // factory fills it in from the form libraries.
    std::function<DispatchPtr(std::string_view name)> createComponent;
    // The wait window shown while a company opens (FrmProgesso); none
    // when it is not set.
    std::function<std::unique_ptr<WaitWindow>()> createWaitWindow;
  };

  explicit DescComissoes(Environment environment);
  ~DescComissoes() override;

  // ---- Session ----
  bool EmpresaInteressa(std::string_view sEmpresa);
  bool ConnectionOpen(std::string_view sEmpresa, std::string_view sUserLogin);
  bool ConnectionClose();
  void ConnectDisconnectApiNext();

  // ---- Sales lines ----
  void ValidadeDescontoCliente(Variant& vCliente, Variant& vDescPerc, Variant& vDescDefault);
  double Desconto(Variant& dPreco, Variant& sDesconto);
  void ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor, Variant& bCancel);
  void ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel);

  // ---- Sales documents ----
  bool IsNotaCredito(Variant& oApi);
  bool VendasDocumentoInteressa(std::string_view sDocumento);
  bool VendasTemLinhaPrecos(std::string_view sCliente, std::string_view sMoeda, std::string_view sArtigo,
                            Variant& sDataDoc, std::string_view sUnidade, Variant& dPrecoSemIva);
  bool VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie, std::int32_t lNumero,
                        std::string_view sExpedicao, std::string_view sCliente);

  // ---- Menu commands ----
  // Each opens its form; the reports print with the criteria chosen. A
  // command for a company that does not concern the extension does nothing.
  // Failures are shown ("Erro " + description, titled by the command).
  // Discounts and commissions (DescComissoesCommissionCommands.cpp):
  void EditGruposDescontos(std::int32_t lPai, std::string_view sEmpresa);
  void EditComissoes(std::int32_t lPai, std::string_view sEmpresa);
  void EditComPorGrupo(std::string_view sEmpresa);
  // The price editors need the API link: with it off they warn and open
  // nothing.
  void EditLinhasPrecos(std::int32_t lPai, std::string_view sEmpresa);
  void EditAltLinhasPrecos(std::int32_t lPai, std::string_view sEmpresa);
  void EditAltPrecos(std::int32_t lPai, std::string_view sEmpresa);
  // Reports:
  // The client/group discounts report (DescComissoesDiscountsCommands.cpp):
  // its form prints and exports on its own.
  void MapaDescontosClienteGrupo(std::int32_t lPai, std::string_view sEmpresa);
  void MapaPendentes(std::int32_t lPai, std::string_view sEmpresa);
  void MapaPendentesComTolerancia(std::int32_t lPai, std::string_view sEmpresa);
  void MapaMediaVendas(std::int32_t lPai, std::string_view sEmpresa);

  // ---- State, for the object's own forms and for tests ----
  // The API link flag. Also a read-only property ApiLigada, after the
  // system's members, so that the host can show the link as it really is.
  bool apiLigada() const { return apiLigada_; }
  const std::shared_ptr<DataAccess>& dataAccess() const { return dataAccess_; }
  const DispatchPtr& nextApi() const { return nextApi_; }
  const std::filesystem::path& configurationPath() const { return configurationPath_; }
  // The connection string the configuration gives.
  std::string connectionString() const;

  static const MemberTable<DescComissoes>& members();
  std::string className() const override { return "DescComissoes"; }

 private:
  void readConfiguration();
  // What the debug log says of a configuration without its connection
  // settings: which file was read and which section or key it lacks.
  void logMissingConnectionSettings();
  bool openDatabase();
  bool closeDatabase();
  bool startBridge();
  // Stops the bridge with Terminar and releases it. A bridge found gone
  // (462) needs no stopping: that error is not passed on.
  void stopBridge();
  // The API-off warning: shows it when the link is off; answers the link flag.
  bool apiLigadaOuAviso();
  // A call to the bridge `which` found it gone (WatchedBridge): when it is
  // the link's bridge, the link is off from now on.
  void ligacaoPerdida(const WatchedBridge& which);
  void debugLog(std::string_view tag, std::string_view detail) const;

  // ---- What the commands share (DescComissoesCommands.cpp) ----
  // What a command's form is given, in the order the command gives it.
  enum class Propriedade { DataAccess, NextApi, Utilizador, BaseDados, PassWord, Servidor };
  // Runs a command's body under its error box.
  void comando(std::string_view titulo, const std::function<void()>& corpo);
  // The company check of a command: the company concerns the extension, or
  // no company is configured.
  bool comandoInteressa(std::string_view sEmpresa) const;
  // Creates a form by name, sets these properties in order and calls its
  // Editar with the owner given; answers the form, to be read and released.
  DispatchPtr abrirFormulario(std::string_view nome, std::initializer_list<Propriedade> propriedades,
                              const Variant& dono, const std::function<void(const DispatchPtr&)>& antes = {});
  // Prints a report file of the library's folder with a text parameter array.
  void imprimirRelatorio(std::string_view ficheiro, const std::vector<std::string>& parametros, std::int32_t lPai);
  // A price editor's command (DescComissoesPricingCommands.cpp): the API-off
  // warning first, then the company check, then the form with the data
  // access, the bridge and the database settings, shown over lPai; failures
  // in a box with the command's title.
  void editorPrecos(std::string_view titulo, std::string_view formulario, std::int32_t lPai, std::string_view sEmpresa);
  static void addCommandMembers(MemberTable<DescComissoes>& table);

  Environment env_;
  std::shared_ptr<DataAccess> dataAccess_;
  std::unique_ptr<PricingQueries> pricingQueries_;
  std::unique_ptr<SalesLineHooks> lineHooks_;
  std::unique_ptr<SalesDocumentHooks> documentHooks_;

  // Configuration ("Ligação")
  std::string utilizador_;
  std::string passWord_;
  std::string servidor_;
  std::string baseDados_;
  std::filesystem::path configurationPath_;
  // Configuration ("Api Next")
  std::string empresa_;
  std::string percWindows_;
  std::string percLog_;
  std::string login_;
  std::string password_;
  // Configuration ("DOCUMENTOS VENDA")
  SalesDocumentHooks::Settings documentos_;

  std::string userLogin_;
  DispatchPtr nextApi_;
  bool apiLigada_ = false;

  // Watches this thread's calls to the bridge while the object lives.
  std::unique_ptr<BridgeWait> bridgeWait_;
};

}  // namespace quill

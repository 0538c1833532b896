#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/automation/MemberTable.h"

namespace quill {

struct AbonoDeFretePedido;
struct AlteraPrecoPedido;

// The bridge's one public class: it runs the ERP API in the bridge's process
// and writes documents and prices through it for the extension.
//
// Its interface _SageNextApi, in this order: DataAccess (set), the three
// parameter properties TemLigacaoContabilidade, RegimeIVANacional,
// MoedaNacional, the nine Alloc getters (a new ERP API object on every
// read), Iniciar, Terminar, CreateSageApiObject, AbonoDeFrete, AlteraPreco.
//
// The client creates it, calls Iniciar, hands it its data-access object,
// calls the rest and finally Terminar. The bridge's own queries go through
// that data-access object, in the client's process.
class SageNextApi : public DispatchObject<SageNextApi> {
 public:
  static constexpr std::string_view kProgId = "Quillbridge.SageNextApi";

  // How objects are created by program id (the ERP API root object).
  using ObjectCreator = std::function<DispatchPtr(std::string_view progId)>;
  explicit SageNextApi(ObjectCreator createObject);
  ~SageNextApi() override;

  void setDataAccess(DispatchPtr dataAccess) { dataAccess_ = std::move(dataAccess); }
  const DispatchPtr& dataAccess() const { return dataAccess_; }
  // Where the bridge's debug log goes: the sFlLog of the last Iniciar.
  const std::filesystem::path& logFolder() const { return logFolder_; }

  // Read the application parameters object; Object variable not set (91)
  // before a successful Iniciar.
  bool TemLigacaoContabilidade() const;
  std::string RegimeIVANacional() const;
  std::string MoedaNacional() const;

  bool Iniciar(std::string_view sPercWin, std::string_view sFlLog, std::string_view sEmp, std::string_view sLogin,
               std::string_view sPassword);
  bool Terminar();
  // A new object from the ERP API's factory. No handler: its errors (91
  // before Iniciar, 429 for an unknown id) reach the caller as they are.
  DispatchPtr CreateSageApiObject(std::string_view sObjectName) const;

  void AbonoDeFrete(const AbonoDeFretePedido& pedido);
  void AlteraPreco(const AlteraPrecoPedido& pedido);

  static const MemberTable<SageNextApi>& members();
  std::string className() const override { return "SageNextApi"; }

 private:
  const DispatchPtr& parametros() const;

  ObjectCreator createObject_;
  DispatchPtr dataAccess_;
  DispatchPtr api_;         // the ERP API root object, from Iniciar
  DispatchPtr parametros_;  // "SageApiNextPlus.ParametrosAplicacao", from a successful Iniciar
  std::filesystem::path logFolder_;
};

}  // namespace quill

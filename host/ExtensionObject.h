#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill::host {

// The extension object as the host sees it: a late-bound object created by
// program id, called by member name with the argument shapes the ERP host
// uses. Every call may raise an AutomationError; the caller decides how to
// show it.
class ExtensionObject {
 public:
  static constexpr const char* kProgId = "Quillplug.DescComissoes";

  explicit ExtensionObject(DispatchPtr object) : object_(std::move(object)) {}

  const DispatchPtr& dispatch() const { return object_; }

  // Whether the object has a member of this name; nothing when it does not
  // list its members (an object of another process), so that only a call
  // can tell.
  std::optional<bool> hasMember(std::string_view name) const;

  // Runs after every call that may change the extension's API link (the
  // opening, the switch, the allowance, a menu command), however it ended.
  void setAfterLinkCall(std::function<void()> afterLinkCall) { afterLinkCall_ = std::move(afterLinkCall); }
  // The extension's API link flag (its ApiLigada); nothing when the object
  // does not tell it.
  std::optional<bool> ApiLigada();

  bool EmpresaInteressa(std::string_view sEmpresa);
  bool ConnectionOpen(std::string_view sEmpresa, std::string_view sUserLogin);
  bool ConnectionClose();
  void ConnectDisconnectApiNext();

  // The line hooks: every argument by reference, read back after the call.
  void ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor, Variant& bCancel);
  void ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel);
  void ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel);
  void ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel);

  bool IsNotaCredito(const DispatchPtr& oApi);
  bool VendasDocumentoInteressa(std::string_view sDocumento);
  bool VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie, std::int32_t lNumero,
                        std::string_view sExpedicao, std::string_view sCliente);

  // A menu command, by its member name.
  void command(std::string_view member, std::vector<Variant> args);

 private:
  // Calls afterLinkCall_ when it goes.
  struct LinkCall {
    ExtensionObject& self;
    ~LinkCall();
  };

  DispatchPtr object_;
  std::function<void()> afterLinkCall_;
};

}  // namespace quill::host

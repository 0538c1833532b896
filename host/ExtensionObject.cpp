#include "host/ExtensionObject.h"

#include <array>

#include "platform/vb/Conversions.h"

namespace quill::host {

namespace {

template <std::size_t N>
void callByReference(const DispatchPtr& object, std::string_view member, std::array<Variant*, N> arguments) {
  std::array<Variant, N> values;
  for (std::size_t i = 0; i < N; ++i) values[i] = *arguments[i];
  late::callRef(object, member, values);
  for (std::size_t i = 0; i < N; ++i) *arguments[i] = std::move(values[i]);
}

std::string text(std::string_view s) { return std::string(s); }

}  // namespace

std::optional<bool> ExtensionObject::hasMember(std::string_view name) const {
  auto names = object_->memberNames();
  if (names.empty()) return std::nullopt;
  for (const auto& n : names)
    if (equalsNoCase(n, name)) return true;
  return false;
}

ExtensionObject::LinkCall::~LinkCall() {
  try {
    if (self.afterLinkCall_) self.afterLinkCall_();
  } catch (...) {
    // what the host shows of the link waits for the next call
  }
}

std::optional<bool> ExtensionObject::ApiLigada() {
  try {
    return vb::CBool(late::get(object_, "ApiLigada"));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool ExtensionObject::EmpresaInteressa(std::string_view sEmpresa) {
  return vb::CBool(late::call(object_, "EmpresaInteressa", {text(sEmpresa)}));
}

bool ExtensionObject::ConnectionOpen(std::string_view sEmpresa, std::string_view sUserLogin) {
  LinkCall call{*this};
  return vb::CBool(late::call(object_, "ConnectionOpen", {text(sEmpresa), text(sUserLogin)}));
}

bool ExtensionObject::ConnectionClose() { return vb::CBool(late::call(object_, "ConnectionClose")); }

void ExtensionObject::ConnectDisconnectApiNext() {
  LinkCall call{*this};
  late::call(object_, "ConnectDisconnectApiNext");
}

void ExtensionObject::ValidateArtigo(Variant& oApi, Variant& sArtigo, Variant& vDescPerc, Variant& vDescValor,
                                     Variant& bCancel) {
  callByReference<5>(object_, "ValidateArtigo", {&oApi, &sArtigo, &vDescPerc, &vDescValor, &bCancel});
}

void ExtensionObject::ValidateQuantidade(Variant& oApi, Variant& oCampo, Variant& vDescPerc, Variant& vDesValor,
                                         Variant& bCancel) {
  callByReference<5>(object_, "ValidateQuantidade", {&oApi, &oCampo, &vDescPerc, &vDesValor, &bCancel});
}

void ExtensionObject::ValidateUnidade(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  callByReference<4>(object_, "ValidateUnidade", {&oApi, &oCampo, &vDesValor, &bCancel});
}

void ExtensionObject::ValidatePrecoUnit(Variant& oApi, Variant& oCampo, Variant& vDesValor, Variant& bCancel) {
  callByReference<4>(object_, "ValidatePrecoUnit", {&oApi, &oCampo, &vDesValor, &bCancel});
}

void ExtensionObject::ValidateDesconto(Variant& oApi, Variant& vDesPerc, Variant& vDesValor, Variant& bCancel) {
  callByReference<4>(object_, "ValidateDesconto", {&oApi, &vDesPerc, &vDesValor, &bCancel});
}

void ExtensionObject::ValidateDescontoValor(Variant& oApi, Variant& vDesPerc, Variant& vDesVal, Variant& bCancel) {
  callByReference<4>(object_, "ValidateDescontoValor", {&oApi, &vDesPerc, &vDesVal, &bCancel});
}

bool ExtensionObject::IsNotaCredito(const DispatchPtr& oApi) {
  std::array<Variant, 1> values{Variant(oApi)};
  return vb::CBool(late::callRef(object_, "IsNotaCredito", values));
}

bool ExtensionObject::VendasDocumentoInteressa(std::string_view sDocumento) {
  return vb::CBool(late::call(object_, "VendasDocumentoInteressa", {text(sDocumento)}));
}

bool ExtensionObject::VendasAbonoFrete(std::int16_t iAno, std::string_view sTipo, std::int16_t iSerie,
                                       std::int32_t lNumero, std::string_view sExpedicao, std::string_view sCliente) {
  LinkCall call{*this};
  return vb::CBool(
      late::call(object_, "VendasAbonoFrete", {iAno, text(sTipo), iSerie, lNumero, text(sExpedicao), text(sCliente)}));
}

void ExtensionObject::command(std::string_view member, std::vector<Variant> args) {
  LinkCall call{*this};
  late::call(object_, member, std::move(args));
}

}  // namespace quill::host

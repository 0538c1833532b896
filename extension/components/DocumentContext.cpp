#include "extension/components/DocumentContext.h"

#include "platform/automation/AutomationError.h"
#include "platform/vb/Conversions.h"

namespace quill {

DispatchPtr DocumentContext::fromArgument(const Variant& oApi) {
  return oApi.isObject() ? oApi.objectValue() : nullptr;
}

DispatchPtr DocumentContext::linha() const {
  Variant v = late::get(oApi_, "Linha");
  return v.isObject() ? v.objectValue() : nullptr;
}

DispatchPtr DocumentContext::cab() const { return requireObject(late::get(oApi_, "Cab")); }

Variant DocumentContext::linhaValue(std::string_view campo) const {
  auto l = linha();
  if (!l) throw vbError(vberr::ObjectNotSet);
  return late::get(l, campo);
}

std::string DocumentContext::artigo() const { return vb::CStr(linhaValue("Artigo")); }
std::string DocumentContext::unidade() const { return vb::CStr(linhaValue("Unidade")); }
double DocumentContext::precoUnitario() const { return vb::CDbl(linhaValue("PrecoUnitario")); }
Variant DocumentContext::taxaDesconto() const { return linhaValue("TaxaDesconto"); }
std::int32_t DocumentContext::estado() const { return vb::CLng(linhaValue("Estado")); }
std::string DocumentContext::orDoc() const { return vb::CStr(linhaValue("OrDoc")); }

void DocumentContext::setPrecoUnitario(double preco) {
  auto l = linha();
  if (!l) throw vbError(vberr::ObjectNotSet);
  late::let(l, "PrecoUnitario", preco);
}

void DocumentContext::setDesconto(Variant desconto) {
  auto l = linha();
  if (!l) throw vbError(vberr::ObjectNotSet);
  late::let(l, "Desconto", std::move(desconto));
}

Date DocumentContext::data() const { return vb::CDate(late::get(cab(), "Data")); }
std::string DocumentContext::terceiro() const { return vb::CStr(late::get(cab(), "Terceiro")); }
std::string DocumentContext::moeda() const { return vb::CStr(late::get(cab(), "Moeda")); }
Variant DocumentContext::cabecalho(std::string_view campo) const { return late::get(cab(), campo); }

}  // namespace quill

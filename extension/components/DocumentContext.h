#pragma once

#include <string>

#include "platform/automation/Dispatch.h"

namespace quill {

// Typed access to the host's document context (oApi): the line being edited
// (Linha) and the document header (Cab). Every read goes to the host object,
// so what a hook wrote is what it reads back; values of the wrong kind fail
// with VB's conversion errors.
class DocumentContext {
 public:
  explicit DocumentContext(DispatchPtr oApi) : oApi_(std::move(oApi)) {}

  // The oApi argument of a hook; nothing when it holds no object.
  static DispatchPtr fromArgument(const Variant& oApi);

  // oApi.Linha, or nothing when the host has no line (Nothing or Empty).
  DispatchPtr linha() const;
  bool temLinha() const { return linha() != nullptr; }

  std::string artigo() const;
  std::string unidade() const;
  double precoUnitario() const;
  Variant taxaDesconto() const;
  std::int32_t estado() const;
  std::string orDoc() const;

  void setPrecoUnitario(double preco);
  void setDesconto(Variant desconto);

  Date data() const;  // Cab.Data as a date
  std::string terceiro() const;
  std::string moeda() const;
  // Cab's raw value of a classification field (AreaGestao, TipoTerceiro, ...).
  Variant cabecalho(std::string_view campo) const;

 private:
  Variant linhaValue(std::string_view campo) const;
  DispatchPtr cab() const;

  DispatchPtr oApi_;
};

}  // namespace quill

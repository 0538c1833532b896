// The menu commands of the extension object: each opens one form of the
// library, gives it what it needs in the order the system gives it, and the
// report commands print with the criteria chosen.

#include "extension/components/DataAccess.h"
#include "extension/components/ReportPrinting.h"
#include "extension/core/DescComissoes.h"
#include "platform/automation/AutomationError.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

bool verdadeiro(const Variant& v) { return !v.isEmpty() && !v.isNull() && vb::CBool(v); }

std::string comoData(const Variant& texto) { return vb::Format(texto, "dd-mm-yyyy"); }

}  // namespace

void DescComissoes::comando(std::string_view titulo, const std::function<void()>& corpo) {
  try {
    corpo();
  } catch (const std::exception& error) {
    env_.ui->showError(error, titulo);
  }
}

bool DescComissoes::comandoInteressa(std::string_view sEmpresa) const {
  const std::string configurada = vb::UCase(vb::Trim(empresa_));
  return configurada.empty() || vb::UCase(vb::Trim(sEmpresa)) == configurada;
}

DispatchPtr DescComissoes::abrirFormulario(std::string_view nome, std::initializer_list<Propriedade> propriedades,
                                           const Variant& dono, const std::function<void(const DispatchPtr&)>& antes) {
  if (!env_.createComponent) throw vbError(vberr::CannotCreateObject, "Quillplug");
  DispatchPtr form = env_.createComponent(nome);
  if (!form) throw vbError(vberr::CannotCreateObject, "Quillplug");
  if (antes) antes(form);
  for (Propriedade p : propriedades) {
    switch (p) {
      case Propriedade::DataAccess:
        late::set(form, "DataAccess", dataAccess_);
        break;
      case Propriedade::NextApi:
        late::set(form, "NextApi", nextApi_);
        break;
      case Propriedade::Utilizador:
        late::let(form, "Utilizador", Variant(utilizador_));
        break;
      case Propriedade::BaseDados:
        late::let(form, "BaseDados", Variant(baseDados_));
        break;
      case Propriedade::PassWord:
        late::let(form, "PassWord", Variant(passWord_));
        break;
      case Propriedade::Servidor:
        late::let(form, "Servidor", Variant(servidor_));
        break;
    }
  }
  late::call(form, "Editar", {dono});
  return form;
}

void DescComissoes::imprimirRelatorio(std::string_view ficheiro, const std::vector<std::string>& parametros,
                                      std::int32_t lPai) {
  if (!env_.createComponent) throw vbError(vberr::CannotCreateObject, "Quillplug");
  DispatchPtr printer = env_.createComponent("ReportPrinter");
  if (!printer) throw vbError(vberr::CannotCreateObject, "Quillplug");
  quill::imprimirRelatorio(printer, {servidor_, baseDados_, utilizador_, passWord_},
                           env_.libraryFolder.string() + std::string(ficheiro), parametros, lPai);
}

void DescComissoes::MapaPendentes(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Pendentes", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    // The criteria form is shown without an owner.
    auto form = abrirFormulario("frmCriteriosMapas", {Propriedade::DataAccess}, Variant(DispatchPtr()),
                                [](const DispatchPtr& f) { late::let(f, "Mapa", Variant(std::int16_t{3})); });
    if (verdadeiro(late::get(form, "Cancelou"))) return;
    std::vector<std::string> p(10);
    const char* chaves[] = {"CLII", "CLIF", "VNDI", "VNDF", "ZONI", "ZONF", "CARI", "CARF", "DATI"};
    for (int i = 0; i < 9; ++i)
      p[static_cast<std::size_t>(i + 1)] = vb::CStr(late::call(form, "GetParametro", {Variant(chaves[i])}));
    if (p[1].empty()) p[1] = " ";
    imprimirRelatorio("\\qor_VT_Pendentes.rpt", p, lPai);
  });
}

void DescComissoes::MapaPendentesComTolerancia(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Mapa Pendentes com Tolerancia", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    auto form = abrirFormulario("frmCriteriosPendTolerancia", {Propriedade::DataAccess}, Variant(lPai));
    if (verdadeiro(late::get(form, "Cancelou"))) return;
    std::vector<std::string> p(5);
    p[1] = vb::CStr(late::get(form, "PrimeiroVendedor"));
    p[2] = vb::CStr(late::get(form, "UltimoVendedor"));
    p[3] = vb::CStr(late::get(form, "PrimeiroCliente"));
    p[4] = vb::CStr(late::get(form, "UltimoCliente"));
    imprimirRelatorio("\\qor_VT_PendentesToleranciaVencidos.rpt", p, lPai);
  });
}

void DescComissoes::MapaMediaVendas(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Média de Vendas", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    auto form = abrirFormulario("frmCriteriosMapasMediaVenda", {Propriedade::DataAccess}, Variant(lPai));
    if (verdadeiro(late::get(form, "Cancelou"))) return;
    std::vector<std::string> p(10);
    p[1] = comoData(late::get(form, "PrimeiraData"));
    p[2] = comoData(late::get(form, "UltimaData"));
    p[3] = vb::CStr(late::get(form, "PrimeiroArt"));
    p[4] = vb::CStr(late::get(form, "UltimoArt"));
    imprimirRelatorio("\\Qor_VT_MediaVendas.rpt", p, lPai);
  });
}

void DescComissoes::addCommandMembers(MemberTable<DescComissoes>& table) {
  using D = DescComissoes;
  using Args = std::span<Variant>;
  auto windowAndCompany = [&table](const char* name, void (D::*command)(std::int32_t, std::string_view)) {
    table.sub(
        name, [command](D& d, Args a) { (d.*command)(vb::CLng(a[0]), vb::CStr(a[1])); }, Arity::exactly(2));
  };
  // In the order of the interface: EditGruposDescontos, EditLinhasPrecos,
  // EditAltLinhasPrecos, EditAltPrecos, EditComissoes, EditComPorGrupo,
  // MapaDescontosClienteGrupo, MapaPendentesComTolerancia, MapaMediaVendas,
  // MapaPendentes.
  windowAndCompany("EditGruposDescontos", &D::EditGruposDescontos);
  windowAndCompany("EditLinhasPrecos", &D::EditLinhasPrecos);
  windowAndCompany("EditAltLinhasPrecos", &D::EditAltLinhasPrecos);
  windowAndCompany("EditAltPrecos", &D::EditAltPrecos);
  windowAndCompany("EditComissoes", &D::EditComissoes);
  table.sub(
      "EditComPorGrupo", [](D& d, Args a) { d.EditComPorGrupo(vb::CStr(a[0])); }, Arity::exactly(1));
  windowAndCompany("MapaDescontosClienteGrupo", &D::MapaDescontosClienteGrupo);
  windowAndCompany("MapaPendentesComTolerancia", &D::MapaPendentesComTolerancia);
  windowAndCompany("MapaMediaVendas", &D::MapaMediaVendas);
  windowAndCompany("MapaPendentes", &D::MapaPendentes);
}

}  // namespace quill

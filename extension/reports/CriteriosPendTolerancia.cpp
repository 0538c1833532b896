#include "extension/reports/CriteriosPendTolerancia.h"

#include "extension/components/DataAccess.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"

namespace quill {

using namespace criterios;

const std::vector<ui::ControlDef>& CriteriosPendTolerancia::controls() {
  static const std::vector<ui::ControlDef> controls = {frame("grbxHeader"),
                                                       label("Label1", "Cliente Inicial"),
                                                       codeField("txtCliIni", "", false),
                                                       descriptionField("txtCliIniDesc"),
                                                       label("Label2", "Cliente Final"),
                                                       codeField("txtCliFin", "", false),
                                                       descriptionField("txtCliFinDesc"),
                                                       label("Label3", "Vendedor Inicial"),
                                                       codeField("txtVendIni", "", false),
                                                       descriptionField("txtVendIniDesc"),
                                                       label("Label4", "Vendedor Final"),
                                                       codeField("txtVendFin", "", false),
                                                       descriptionField("txtVendFinDesc"),
                                                       frame("grbxFooterCommands"),
                                                       button("cmdImprimir", "Imprimir"),
                                                       cancelButton("cmdSair", "Sair")};
  return controls;
}

CriteriosPendTolerancia::CriteriosPendTolerancia(ui::UiServices& ui, const ui::ViewFactory& makeView)
    : CriteriosForm(ui) {
  attach(makeView(*this));
  setButtons("cmdImprimir", "cmdSair");
  addRange({"txtCliIni", "txtCliIniDesc", &kinds::clientes()}, {"txtCliFin", "txtCliFinDesc", &kinds::clientes()});
  addRange({"txtVendIni", "txtVendIniDesc", &kinds::vendedoresPorCodigo()},
           {"txtVendFin", "txtVendFinDesc", &kinds::vendedoresPorCodigo()});
  view().setCaption("Mapa Pendentes com Tolerância");
}

CriteriosPendTolerancia::~CriteriosPendTolerancia() = default;

void CriteriosPendTolerancia::prepare() {
  loading_ = true;
  for (const auto& range : ranges()) {
    view().setText(range.field, "");
    view().setText(range.description, "");
  }
  fillDefaults(ranges()[2], ranges()[3], true);  // sellers first, as the form always did
  fillDefaults(ranges()[0], ranges()[1], true);
  loading_ = false;
}

std::string CriteriosPendTolerancia::PrimeiroCliente() const { return view().text("txtCliIni"); }
std::string CriteriosPendTolerancia::UltimoCliente() const { return view().text("txtCliFin"); }
std::string CriteriosPendTolerancia::PrimeiroVendedor() const { return view().text("txtVendIni"); }
std::string CriteriosPendTolerancia::UltimoVendedor() const { return view().text("txtVendFin"); }

const MemberTable<CriteriosPendTolerancia>& CriteriosPendTolerancia::members() {
  using Form = CriteriosPendTolerancia;
  using Args = MemberTable<Form>::Args;
  static const auto table = [] {
    MemberTable<Form> t;
    addCriteriosMembers(t)
        .property("PrimeiroCliente", [](Form& f, Args) { return Variant(f.PrimeiroCliente()); })
        .property("UltimoCliente", [](Form& f, Args) { return Variant(f.UltimoCliente()); })
        .property("PrimeiroVendedor", [](Form& f, Args) { return Variant(f.PrimeiroVendedor()); })
        .property("UltimoVendedor", [](Form& f, Args) { return Variant(f.UltimoVendedor()); });
    return t;
  }();
  return table;
}

}  // namespace quill

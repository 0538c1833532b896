#include "extension/reports/CriteriosMapasPorVnd.h"

#include "extension/components/DataAccess.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

using namespace criterios;

const std::vector<ui::ControlDef>& CriteriosMapasPorVnd::controls() {
  static const std::vector<ui::ControlDef> controls = {label("Label1", "Vendedor Inicial"),
                                                       codeField("txtVndIni"),
                                                       label("lblVndIniDescr"),
                                                       label("Label2", "Vendedor Final"),
                                                       codeField("txtVndFin"),
                                                       label("lblVndFinDescr"),
                                                       label("lblPrimeiro", "Linha Pr. Inicial"),
                                                       codeField("txtPrcIni"),
                                                       label("lblPrcIniDescr"),
                                                       label("lblUltimo", "Linha Pr. Final"),
                                                       codeField("txtPrcFin"),
                                                       label("lblPrcFinDescr"),
                                                       button("CmdConf", "Confirma"),
                                                       cancelButton("CmdCancel", "Cancela")};
  return controls;
}

CriteriosMapasPorVnd::CriteriosMapasPorVnd(ui::UiServices& ui, const ui::ViewFactory& makeView) : CriteriosForm(ui) {
  attach(makeView(*this));
  addSellerAndPriceLineRanges();
}

CriteriosMapasPorVnd::~CriteriosMapasPorVnd() = default;

void CriteriosMapasPorVnd::setMapa(std::int16_t mapa) {
  mapa_ = mapa;
  auto& v = view();
  if (mapa == 1) v.setCaption("Linhas de Preços");
  if (mapa == 2 || mapa == 3) {
    v.setCaption(mapa == 2 ? "Grupos de Descontos" : "Pendentes");
    v.setText("lblPrimeiro", "Cliente Inicial");
    v.setText("lblUltimo", "Clente Final");
  }
  if (mapa == 3) {
    for (const auto& name : v.controlNames()) {
      const auto kind = v.kind(name);
      if (kind == ui::ControlKind::CodeField || kind == ui::ControlKind::Label || kind == ui::ControlKind::DatePicker) {
        v.setVisible(name, true);
        v.setEnabled(name, true);
      }
      if (kind == ui::ControlKind::CodeField) v.setText(name, "");
    }
  }
}

void CriteriosMapasPorVnd::prepare() {
  if (mapa_ != 1) return;
  fillDefaults(ranges()[0], ranges()[1]);
  fillDefaults(ranges()[2], ranges()[3]);
}

std::string CriteriosMapasPorVnd::editarErrorTitle() const { return "Critérios " + view().caption(); }

void CriteriosMapasPorVnd::onLookup(std::string_view control) {
  // The price-line lookup belongs to mode 1.
  const RangeField* range = rangeOf(control);
  if (range && range->kind->priceLine && mapa_ != 1) return;
  CriteriosForm::onLookup(control);
}

std::string CriteriosMapasPorVnd::PrimeiroVnd() const { return view().text("txtVndIni"); }
std::string CriteriosMapasPorVnd::UltimoVnd() const { return view().text("txtVndFin"); }
std::string CriteriosMapasPorVnd::PrimeiroPrc() const { return view().text("txtPrcIni"); }
std::string CriteriosMapasPorVnd::UltimoPrc() const { return view().text("txtPrcFin"); }

const MemberTable<CriteriosMapasPorVnd>& CriteriosMapasPorVnd::members() {
  using Form = CriteriosMapasPorVnd;
  using Args = MemberTable<Form>::Args;
  static const auto table = [] {
    MemberTable<Form> t;
    addCriteriosMembers(t)
        .property("Mapa", {}, [](Form& f, Args a) { f.setMapa(vb::CInt(a.back())); })
        .property("PrimeiroVnd", [](Form& f, Args) { return Variant(f.PrimeiroVnd()); })
        .property("UltimoVnd", [](Form& f, Args) { return Variant(f.UltimoVnd()); })
        .property("PrimeiroPrc", [](Form& f, Args) { return Variant(f.PrimeiroPrc()); })
        .property("UltimoPrc", [](Form& f, Args) { return Variant(f.UltimoPrc()); });
    return t;
  }();
  return table;
}

}  // namespace quill

#include "extension/pricing/CriteriosAltLinPrc.h"

#include "extension/components/DataAccess.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/vb/Conversions.h"

namespace quill {

using namespace criterios;

namespace {

// Enter moves on from every control of this form, buttons included.
ui::ControlDef enterMovesOn(ui::ControlDef c) {
  c.enterMovesOn = true;
  return c;
}

}  // namespace

const std::vector<ui::ControlDef>& CriteriosAltLinPrc::controls() {
  static const std::vector<ui::ControlDef> controls = {label("Label1", "Vendedor Inicial"),
                                                       codeField("txtVndIni"),
                                                       label("lblVndIniDescr"),
                                                       label("Label2", "Vendedor Final"),
                                                       codeField("txtVndFin"),
                                                       label("lblVndFinDescr"),
                                                       label("Label3", "Linha Inicial"),
                                                       codeField("txtPrcIni"),
                                                       label("lblPrcIniDescr"),
                                                       label("Label4", "Linha Final"),
                                                       codeField("txtPrcFin"),
                                                       label("lblPrcFinDescr"),
                                                       label("Label5", "Artigo Inicial"),
                                                       codeField("txtArtIni"),
                                                       label("lblArtIniDescr"),
                                                       label("Label6", "Artigo Final"),
                                                       codeField("txtArtFin"),
                                                       label("lblArtFinDescr"),
                                                       label("Label7", "Data Inicial"),
                                                       datePicker("dtpDataIni"),
                                                       label("Label8", "Data Final"),
                                                       datePicker("dtpDataFin"),
                                                       enterMovesOn(button("CmdConf", "Confirma")),
                                                       enterMovesOn(cancelButton("CmdCancel", "Cancela"))};
  return controls;
}

CriteriosAltLinPrc::CriteriosAltLinPrc(ui::UiServices& ui, const ui::ViewFactory& makeView) : CriteriosForm(ui) {
  attach(makeView(*this));
  addSellerAndPriceLineRanges();
  addRange({"txtArtIni", "lblArtIniDescr", &kinds::artigos()}, {"txtArtFin", "lblArtFinDescr", &kinds::artigos()});
  setPriceLinesMustBeNumbers(true);
  view().setCaption("Alteração de Linhas de Preços");
}

CriteriosAltLinPrc::~CriteriosAltLinPrc() = default;

std::string CriteriosAltLinPrc::editarErrorTitle() const { return kDefaultTitle; }

void CriteriosAltLinPrc::showModal(std::int32_t owner) {
  setOwner(owner);
  view().showModal(owner);
}

void CriteriosAltLinPrc::setRange(std::size_t range, std::string_view text) {
  view().setText(ranges()[range].field, text);
  validateRange(ranges()[range]);
}

std::string CriteriosAltLinPrc::PrimeiroVnd() const { return view().text("txtVndIni"); }
std::string CriteriosAltLinPrc::UltimoVnd() const { return view().text("txtVndFin"); }
std::string CriteriosAltLinPrc::PrimeiroPrc() const { return view().text("txtPrcIni"); }
std::string CriteriosAltLinPrc::UltimoPrc() const { return view().text("txtPrcFin"); }
std::string CriteriosAltLinPrc::PrimeiroArt() const { return view().text("txtArtIni"); }
std::string CriteriosAltLinPrc::UltimoArt() const { return view().text("txtArtFin"); }
std::string CriteriosAltLinPrc::PrimeiraData() const { return view().text("dtpDataIni"); }
std::string CriteriosAltLinPrc::UltimaData() const { return view().text("dtpDataFin"); }

void CriteriosAltLinPrc::setPrimeiroVnd(std::string_view code) { setRange(0, code); }
void CriteriosAltLinPrc::setUltimoVnd(std::string_view code) { setRange(1, code); }
void CriteriosAltLinPrc::setPrimeiroPrc(std::string_view line) { setRange(2, line); }
void CriteriosAltLinPrc::setUltimoPrc(std::string_view line) { setRange(3, line); }
void CriteriosAltLinPrc::setPrimeiroArt(std::string_view code) { setRange(4, code); }
void CriteriosAltLinPrc::setUltimoArt(std::string_view code) { setRange(5, code); }
void CriteriosAltLinPrc::setPrimeiraData(std::string_view date) { view().setText("dtpDataIni", date); }
void CriteriosAltLinPrc::setUltimaData(std::string_view date) { view().setText("dtpDataFin", date); }

const MemberTable<CriteriosAltLinPrc>& CriteriosAltLinPrc::members() {
  using Form = CriteriosAltLinPrc;
  using Args = MemberTable<Form>::Args;
  auto text = [](void (Form::*setter)(std::string_view)) {
    return [setter](Form& f, Args a) { (f.*setter)(vb::CStr(a.back())); };
  };
  auto get = [](std::string (Form::*getter)() const) {
    return [getter](Form& f, Args) { return Variant((f.*getter)()); };
  };
  static const auto table = [&] {
    MemberTable<Form> t;
    addCriteriosMembers(t)
        .property("PrimeiroVnd", get(&Form::PrimeiroVnd), text(&Form::setPrimeiroVnd))
        .property("UltimoVnd", get(&Form::UltimoVnd), text(&Form::setUltimoVnd))
        .property("PrimeiroPrc", get(&Form::PrimeiroPrc), text(&Form::setPrimeiroPrc))
        .property("UltimoPrc", get(&Form::UltimoPrc), text(&Form::setUltimoPrc))
        .property("PrimeiroArt", get(&Form::PrimeiroArt), text(&Form::setPrimeiroArt))
        .property("UltimoArt", get(&Form::UltimoArt), text(&Form::setUltimoArt))
        .property("PrimeiraData", get(&Form::PrimeiraData), text(&Form::setPrimeiraData))
        .property("UltimaData", get(&Form::UltimaData), text(&Form::setUltimaData))
        .sub(
            "Show", [](Form& f, Args a) { f.showModal(a.size() > 1 ? ownerOf(a[1]) : 0); }, Arity{0, 2});
    return t;
  }();
  return table;
}

}  // namespace quill

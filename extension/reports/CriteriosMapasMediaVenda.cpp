#include "extension/reports/CriteriosMapasMediaVenda.h"

#include "extension/components/DataAccess.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"

namespace quill {

using namespace criterios;

const std::vector<ui::ControlDef>& CriteriosMapasMediaVenda::controls() {
  static const std::vector<ui::ControlDef> controls = {label("lblPrimeiro", "Artigo Inicial"),
                                                       codeField("txtArtIni"),
                                                       label("lblArtIniDescr"),
                                                       label("lblUltimo", "Artigo Final"),
                                                       codeField("txtArtFin"),
                                                       label("lblArtFinDescr"),
                                                       label("Label1", "Data Inicial"),
                                                       datePicker("dtpDataIni"),
                                                       label("Label2", "Data Final"),
                                                       datePicker("dtpDataFin"),
                                                       button("CmdConf", "Confirma"),
                                                       cancelButton("CmdCancel", "Cancela")};
  return controls;
}

CriteriosMapasMediaVenda::CriteriosMapasMediaVenda(ui::UiServices& ui, const ui::ViewFactory& makeView)
    : CriteriosForm(ui) {
  attach(makeView(*this));
  addRange({"txtArtIni", "lblArtIniDescr", &kinds::artigos()}, {"txtArtFin", "lblArtFinDescr", &kinds::artigos()});
  view().setCaption("Média de Vendas");
  view().setText("txtArtIni", "");
  view().setText("txtArtFin", "");
}

CriteriosMapasMediaVenda::~CriteriosMapasMediaVenda() = default;

void CriteriosMapasMediaVenda::prepare() {
  if (!view().text("txtArtIni").empty() || !view().text("txtArtFin").empty()) return;
  const std::string today = vb::FormatDate(vb::today(), "dd-mm-yyyy");
  view().setText("dtpDataIni", today);
  view().setText("dtpDataFin", today);
  fillDefaults(ranges()[0], ranges()[1]);
}

// These criteria are shown under the default title of the library's boxes.
std::string CriteriosMapasMediaVenda::editarErrorTitle() const { return kDefaultTitle; }

std::string CriteriosMapasMediaVenda::PrimeiroArt() const { return view().text("txtArtIni"); }
std::string CriteriosMapasMediaVenda::UltimoArt() const { return view().text("txtArtFin"); }
std::string CriteriosMapasMediaVenda::PrimeiraData() const { return view().text("dtpDataIni"); }
std::string CriteriosMapasMediaVenda::UltimaData() const { return view().text("dtpDataFin"); }

void CriteriosMapasMediaVenda::setPrimeiroArt(std::string_view code) {
  view().setText("txtArtIni", code);
  validateRange(ranges()[0]);
}

void CriteriosMapasMediaVenda::setUltimoArt(std::string_view code) {
  view().setText("txtArtFin", code);
  validateRange(ranges()[1]);
}

void CriteriosMapasMediaVenda::setPrimeiraData(std::string_view date) { view().setText("dtpDataIni", date); }
void CriteriosMapasMediaVenda::setUltimaData(std::string_view date) { view().setText("dtpDataFin", date); }
void CriteriosMapasMediaVenda::setCaption(std::string_view caption) { view().setCaption(caption); }

const MemberTable<CriteriosMapasMediaVenda>& CriteriosMapasMediaVenda::members() {
  using Form = CriteriosMapasMediaVenda;
  using Args = MemberTable<Form>::Args;
  static const auto table = [] {
    auto text = [](const Variant& v) { return vb::CStr(v); };
    MemberTable<Form> t;
    addCriteriosMembers(t)
        .property(
            "Caption", [](Form& f, Args) { return Variant(f.view().caption()); },
            [text](Form& f, Args a) { f.setCaption(text(a.back())); })
        .property(
            "PrimeiroArt", [](Form& f, Args) { return Variant(f.PrimeiroArt()); },
            [text](Form& f, Args a) { f.setPrimeiroArt(text(a.back())); })
        .property(
            "UltimoArt", [](Form& f, Args) { return Variant(f.UltimoArt()); },
            [text](Form& f, Args a) { f.setUltimoArt(text(a.back())); })
        .property(
            "PrimeiraData", [](Form& f, Args) { return Variant(f.PrimeiraData()); },
            [text](Form& f, Args a) { f.setPrimeiraData(text(a.back())); })
        .property(
            "UltimaData", [](Form& f, Args) { return Variant(f.UltimaData()); },
            [text](Form& f, Args a) { f.setUltimaData(text(a.back())); });
    return t;
  }();
  return table;
}

}  // namespace quill

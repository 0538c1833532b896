#include "extension/reports/CriteriosMapas.h"

#include "extension/components/DataAccess.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

using ui::ControlDef;
using ui::ControlKind;
using namespace criterios;

bool startsWithAny(const std::string& name, std::initializer_list<const char*> prefixes) {
  const std::string upper = vb::UCase(name);
  for (const char* p : prefixes)
    if (upper.rfind(p, 0) == 0) return true;
  return false;
}

// Form height and button top of each mode, in twips.
struct ModeLayout {
  const char* caption;
  int height;
  int buttonTop;
};
const ModeLayout* modeLayout(int mapa) {
  static const ModeLayout modes[] = {
      {"Linhas de Preços", 2550, 1650}, {"Grupos de Descontos", 4000, 3115}, {"Pendentes", 4770, 3885}};
  return mapa >= 1 && mapa <= 3 ? &modes[mapa - 1] : nullptr;
}

}  // namespace

const std::vector<ControlDef>& CriteriosMapas::controls() {
  static const std::vector<ControlDef> controls = [] {
    std::vector<ControlDef> c = {label("lblPrimeiro"),
                                 codeField("txtPrimeiro", "CLII"),
                                 label("lblPrimeiroDescr"),
                                 label("lblUltimo"),
                                 codeField("txtUltimo", "CLIF"),
                                 label("lblUltimoDescr"),
                                 label("Label4", "Vendedor Inicial"),
                                 codeField("txtVndIni", "VNDI"),
                                 label("lblVndIni"),
                                 label("Label2", "Vendedor Final"),
                                 codeField("txtVndFin", "VNDF"),
                                 label("lblVndFin"),
                                 label("Label5", "Zona Inicial"),
                                 codeField("txtZonIni", "ZONI"),
                                 label("lblZonIni"),
                                 label("Label6", "Zona Final"),
                                 codeField("txtZonFin", "ZONF"),
                                 label("lblZonFin"),
                                 label("Label7", "Carteira Inicial"),
                                 codeField("txtCarIni", "CARI"),
                                 label("lblCarIni"),
                                 label("Label8", "Carteira Final"),
                                 codeField("txtCarFin", "CARF"),
                                 label("lblCarFin"),
                                 label("Label9", "Data")};
    c.push_back(datePicker("dtpRefer", "DATI"));
    c.push_back(button("CmdConf", "Confirma"));
    c.push_back(cancelButton("CmdCancel", "Cancela"));
    return c;
  }();
  return controls;
}

CriteriosMapas::CriteriosMapas(ui::UiServices& ui, const ui::ViewFactory& makeView) : CriteriosForm(ui) {
  attach(makeView(*this));
  addRange({"txtPrimeiro", "lblPrimeiroDescr"}, {"txtUltimo", "lblUltimoDescr"});
  addRange({"txtVndIni", "lblVndIni", &kinds::vendedores()}, {"txtVndFin", "lblVndFin", &kinds::vendedores()});
  addRange({"txtZonIni", "lblZonIni", &kinds::zonas()}, {"txtZonFin", "lblZonFin", &kinds::zonas()});
  addRange({"txtCarIni", "lblCarIni", &kinds::carteiras()}, {"txtCarFin", "lblCarFin", &kinds::carteiras()});
  load();
}

CriteriosMapas::~CriteriosMapas() = default;

void CriteriosMapas::load() {
  auto& v = view();
  for (const auto& name : v.controlNames()) {
    if (!startsWithAny(name, {"TXT", "LBL", "LAB", "DTP"})) continue;
    v.setVisible(name, false);
    const auto kind = v.kind(name);
    if (kind == ControlKind::CodeField || kind == ControlKind::TextField || kind == ControlKind::DatePicker)
      v.setEnabled(name, false);
  }
}

void CriteriosMapas::setMapa(std::int16_t mapa) {
  mapa_ = mapa;
  auto& v = view();
  const ModeLayout* layout = modeLayout(mapa);
  auto showLabel = [&](const char* name, const char* caption) {
    v.setVisible(name, true);
    v.setText(name, caption);
  };
  auto showField = [&](const char* name) {
    v.setVisible(name, true);
    v.setEnabled(name, true);
  };
  const CodeKind* firstLast = nullptr;
  if (layout) v.setCaption(layout->caption);
  if (mapa == 1 || mapa == 2) {
    showLabel("lblPrimeiro", mapa == 1 ? "Linha Inicial" : "Cliente Inicial");
    showLabel("lblUltimo", mapa == 1 ? "Linha Final" : "Clente Final");
    showLabel("lblPrimeiroDescr", "");
    showLabel("lblUltimoDescr", "");
    firstLast = mapa == 1 ? &kinds::linhasPrecos() : &kinds::clientesActivos();
  }
  if (mapa == 2) {
    v.setVisible("Label4", true);
    v.setVisible("Label2", true);
    for (const char* f : {"txtVndIni", "txtVndFin"}) showField(f);
    showLabel("lblVndIni", "");
    showLabel("lblVndFin", "");
  }
  if (mapa == 3) {
    for (const auto& name : v.controlNames()) {
      const auto kind = v.kind(name);
      if (kind == ControlKind::CodeField) {
        v.setText(name, "");
        showField(name.c_str());
      } else if (kind == ControlKind::Label) {
        v.setVisible(name, true);
        if (startsWithAny(name, {"LBL"})) v.setText(name, "");
      } else if (kind == ControlKind::DatePicker) {
        showField(name.c_str());
      }
    }
    v.setText("lblPrimeiro", "Cliente Inicial");
    v.setText("lblUltimo", "Clente Final");
    firstLast = &kinds::clientesActivos();
  }
  for (const char* f : {"txtPrimeiro", "txtUltimo"}) {
    showField(f);
    v.setText(f, "");
  }
  rangeOf("txtPrimeiro")->kind = firstLast;
  rangeOf("txtUltimo")->kind = firstLast;
  if (layout) {
    v.setHeightTwips(layout->height);
    v.setTopTwips("CmdConf", layout->buttonTop);
    v.setTopTwips("CmdCancel", layout->buttonTop);
  }
}

void CriteriosMapas::prepare() {
  auto& r = ranges();
  switch (mapa_) {
    case 1:
    case 2:
      fillDefaults(r[0], r[1]);
      if (mapa_ == 2) fillDefaults(r[2], r[3]);
      break;
    case 3:
      for (std::size_t i = 0; i + 1 < r.size(); i += 2) fillDefaults(r[i], r[i + 1]);
      view().setText("dtpRefer", vb::FormatDate(vb::today(), "dd-mm-yyyy"));
      break;
    default:
      break;
  }
}

std::string CriteriosMapas::editarErrorTitle() const { return "Critérios " + view().caption(); }

std::string CriteriosMapas::Primeiro() const { return view().text("txtPrimeiro"); }
std::string CriteriosMapas::Ultimo() const { return view().text("txtUltimo"); }

std::string CriteriosMapas::GetParametro(std::string_view key) const {
  const std::string wanted = vb::UCase(key);
  for (const auto& name : view().controlNames()) {
    if (vb::UCase(view().tag(name)) != wanted) continue;
    const std::string prefix = vb::UCase(name.substr(0, 3));
    if (prefix == "TXT" || prefix == "DTP") return view().text(name);
    return {};
  }
  return {};
}

const MemberTable<CriteriosMapas>& CriteriosMapas::members() {
  using Form = CriteriosMapas;
  using Args = MemberTable<Form>::Args;
  static const auto table = [] {
    MemberTable<Form> t;
    addCriteriosMembers(t)
        .property(
            "Mapa", [](Form& f, Args) { return Variant(f.Mapa()); },
            [](Form& f, Args a) { f.setMapa(vb::CInt(a.back())); })
        .property("Primeiro", [](Form& f, Args) { return Variant(f.Primeiro()); })
        .property("Ultimo", [](Form& f, Args) { return Variant(f.Ultimo()); })
        .method(
            "GetParametro", [](Form& f, Args a) { return Variant(f.GetParametro(vb::CStr(a[0]))); }, Arity::exactly(1));
    return t;
  }();
  return table;
}

}  // namespace quill

#include "extension/pricing/EditAltLinPrecos.h"

#include "bridge/DateOnlyMarker.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/PricingKinds.h"
#include "extension/pricing/PricingStatements.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

using namespace criterios;

namespace {

constexpr const char* kPriceFormat = "#,###.###0";

std::string textAt(const sql::Recordset& rs, std::size_t position, std::string_view field) {
  return sql::textOrEmpty(rs.valueAt(position, rs.fieldIndex(field)));
}

// A line's heading: its number, and its description when LINPRC has it.
std::string cabecalhoLinha(const sql::Recordset& rs, std::size_t position) {
  const Variant& descr = rs.valueAt(position, rs.fieldIndex("LINDESCR"));
  const std::string numero = textAt(rs, position, "LINPRC");
  return descr.isNull() || descr.isEmpty() ? numero : numero + "-" + sql::textOrEmpty(descr);
}

std::string cabecalhoVendedor(const sql::Recordset& rs, std::size_t position) {
  return textAt(rs, position, "VENDEDOR") + "-" + textAt(rs, position, "VENDNOME");
}

}  // namespace

const std::vector<ui::ControlDef>& EditAltLinPrecos::controls() {
  static const std::vector<ui::ControlDef> controls = comTeclaEnter(
      {
          frame("grbxHeader"),
          frame("GroupBox1", "Preços"),
          label("Label1", "Vendedor inicial"),
          codeField("txtVendIni"),
          descriptionField("txtVendIniDesc"),
          label("Label2", "Vendedor final"),
          codeField("txtVendFin"),
          descriptionField("txtVendFinDesc"),
          label("Label3", "Linha inicial"),
          codeField("txtLinIni"),
          descriptionField("txtLinIniDesc"),
          label("Label4", "Linha final"),
          codeField("txtLinFin"),
          descriptionField("txtLinFinDesc"),
          label("Label5", "Artigo inicial"),
          codeField("txtArtIni"),
          descriptionField("txtArtIniDesc"),
          label("Label6", "Artigo final"),
          codeField("txtArtFin"),
          descriptionField("txtArtFinDesc"),
          frame("GroupBox2", "Alteração"),
          label("Label7", "Tipo"),
          {"cbxTipo", ui::ControlKind::ComboBox},
          label("Label8", "Valor"),
          {"txtValor", ui::ControlKind::TextField},
          label("Label9", "Data de activação"),
          datePicker("dtpActivacao"),
          {"chkBxData", ui::ControlKind::CheckBox, "Alterar a data de início"},
      },
      grelhaEBotoes());
  return controls;
}

EditAltLinPrecos::EditAltLinPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components)
    : AlteracaoPrecosForm(ui, std::move(components)) {
  attach(makeView(*this));
  view().setCaption("Alteração de Linhas de preços");
  addIntervalo({"txtVendIni", "txtVendIniDesc", &kinds::vendedoresPorCodigo()});
  addIntervalo({"txtVendFin", "txtVendFinDesc", &kinds::vendedoresPorCodigo()});
  addIntervalo({"txtLinIni", "txtLinIniDesc", &kinds::linhasPrecos()});
  addIntervalo({"txtLinFin", "txtLinFinDesc", &kinds::linhasPrecos()});
  addIntervalo({"txtArtIni", "txtArtIniDesc", &kinds::artigosComCampos()});
  addIntervalo({"txtArtFin", "txtArtFinDesc", &kinds::artigosComCampos()});
  setPrecosEditaveis({{"PVPNEW", "PVPIVANEW"}});
  FillChoiceLists();
}

EditAltLinPrecos::~EditAltLinPrecos() = default;

std::string EditAltLinPrecos::errorTitle() const { return "Alteração de Linhas de preços"; }

void EditAltLinPrecos::prepare() {
  // StyleGrid: the grid's fonts are the window's.
  RefreshGrid();
  ClearFilters();
  SetDefaultRanges();
}

std::int16_t EditAltLinPrecos::linha(std::string_view field) const {
  return vb::CInt(Variant(vb::Val(view().text(field))));
}

void EditAltLinPrecos::RefreshGrid() {
  ui::LongWork busy(ui(), "A ler os preços...", 0);
  auto rs = data().OpenRecordset(precos::QueryLinePrices(
      view().text("txtVendIni"), view().text("txtVendFin"), linha("txtLinIni"), linha("txtLinFin"),
      view().text("txtArtIni"), view().text("txtArtFin"), moedaNacional(), regimeIvaNacional()));
  aplicaAlteracao(*rs, {{"PVPNEW", "PVPIVANEW"}});
  bindGrid(std::move(rs),
           {{"VENDEDOR", "", 1800, "", true},
            {"VENDNOME", "", 1800, "", true},
            {"LINPRC", "", 1800, "", true},
            {"LINDESCR", "", 1800, "", true},
            {"CODIGO", "Artigo", 2500},
            {"NOME", "Nome", 5000},
            {"TAXA", "Taxa", 300, "", true},
            {"IVA", "IVA", 300, "", true},
            {"DATINIC", "Data Início", 1300, "dd-mm-yyyy"},
            {"PVP", "Preço s/IVA", 1500, kPriceFormat},
            {"PVPNEW", "Preço s/IVA Novo", 1500, kPriceFormat, false, true},
            {"PVPIVA", "Preço c/IVA", 1500, kPriceFormat, true},
            {"PVPIVANEW", "Preço c/IVA Novo", 1500, kPriceFormat, true}},
           {{"VENDEDOR", cabecalhoVendedor}, {"LINPRC", cabecalhoLinha}});
}

void EditAltLinPrecos::ClearFilters() { clearFields(); }

// Unlike the scheduled prices, the activation date's check box is left as
// it is here.
void EditAltLinPrecos::SetDefaultRanges() {
  withRefreshHeld([&] {
    auto ends = [&](const std::string& sql, const char* field, const char* first, const char* last) {
      auto rs = data().OpenRecordset(sql);
      if (sql::noRows(rs.get())) return;
      rs->moveFirst();
      const std::string a = vb::Trim(sql::fieldText(*rs, field));
      rs->moveLast();
      const std::string b = vb::Trim(sql::fieldText(*rs, field));
      setIntervalo(first, a);
      setIntervalo(last, b);
    };
    ends(kinds::vendedores().tableSql, "CODIGO", "txtVendIni", "txtVendFin");
    ends(kinds::linhasPrecos().tableSql, "LINHA", "txtLinIni", "txtLinFin");
    ends(precos::QueryFixedPriceArticles(linha("txtLinIni"), linha("txtLinFin"), moedaNacional(), regimeIvaNacional()),
         "CODIGO", "txtArtIni", "txtArtFin");
  });
  view().setText("dtpActivacao", vb::FormatDate(vb::today(), "dd-mm-yyyy"));
  view().setText("txtValor", "");
}

void EditAltLinPrecos::SaveChanges(bool mensagem) {
  gravaLinhas(
      mensagem,
      [&](std::size_t linha) {
        ChangeOnePrice(linha);
        return true;
      },
      [&](std::size_t linha, Date activacao) {
        MovePriceToDate(linha, activacao);
        return true;
      });
}

namespace {

// The arguments of AlteraPreco for a grid row: an empty cell goes as 0, an
// empty date as the zero date.
std::vector<Variant> alteraPrecoArgs(const sql::Recordset& rs, std::size_t position, std::string moeda,
                                     std::optional<Date> inicio) {
  auto value = [&](const char* field) -> const Variant& { return rs.valueAt(position, rs.fieldIndex(field)); };
  auto number = [&](const char* field) { return sql::doubleOrZero(value(field)); };
  auto date = [&](const char* field) { return sql::dateOrNone(value(field)).value_or(Date{}); };
  return {Variant(sql::textOrEmpty(value("CODIGO"))),
          Variant(std::move(moeda)),
          Variant(sql::longOrZero(value("LINPRC"))),
          Variant(inicio ? *inicio : date("DATINIC")),
          Variant(date("DATINICORI")),
          Variant(number("PVPNEW")),
          Variant(number("PVP")),
          Variant(number("PVPIVANEW")),
          Variant(number("PVPIVA"))};
}

}  // namespace

void EditAltLinPrecos::ChangeOnePrice(std::size_t linha) {
  late::call(nextApi(), "AlteraPreco", alteraPrecoArgs(*grelha().model().recordset(), linha, moedaNacional(), {}));
}

// The date-only marker asks the bridge to move the price's start date and
// to leave its amounts and history alone.
void EditAltLinPrecos::MovePriceToDate(std::size_t linha, Date activacao) {
  late::call(
      nextApi(), "AlteraPreco",
      alteraPrecoArgs(*grelha().model().recordset(), linha, std::string(kDateOnlyMarker) + moedaNacional(), activacao));
}

void EditAltLinPrecos::PrintChanges() {
  SaveChanges(false);
  DispatchPtr criterios = componente("frmCriteriosAltLinPrc");
  late::set(criterios, "DataAccess", dataAccess());
  late::let(criterios, "PrimeiroVnd", Variant(view().text("txtVendIni")));
  late::let(criterios, "UltimoVnd", Variant(view().text("txtVendFin")));
  late::let(criterios, "PrimeiroPrc", Variant(view().text("txtLinIni")));
  late::let(criterios, "UltimoPrc", Variant(view().text("txtLinFin")));
  late::let(criterios, "PrimeiraData", Variant("01-01-" + std::to_string(vb::Year(vb::today()))));
  late::let(criterios, "UltimaData", Variant(vb::FormatDate(vb::today(), "dd-mm-yyyy")));
  late::let(criterios, "PrimeiroArt", Variant(view().text("txtArtIni")));
  late::let(criterios, "UltimoArt", Variant(view().text("txtArtFin")));
  // Show vbModal over the owner.
  late::call(criterios, "Show", {Variant(std::int16_t{1}), Variant(owner())});
  if (vb::CBool(late::get(criterios, "Cancelou"))) return;
  auto texto = [&](const char* propriedade) { return vb::CStr(late::get(criterios, propriedade)); };
  auto numero = [&](const char* propriedade) {
    return vb::CInt(Variant(vb::Val(vb::UCase(vb::Trim(texto(propriedade))))));
  };
  imprimir("\\qor_VT_AltLinPrecos.rpt",
           precos::QueryLinePricesByStartDate(texto("PrimeiroVnd"), texto("UltimoVnd"), numero("PrimeiroPrc"),
                                              numero("UltimoPrc"), texto("PrimeiroArt"), texto("UltimoArt"),
                                              dataIso(texto("PrimeiraData")), dataIso(texto("UltimaData")),
                                              moedaNacional(), regimeIvaNacional()));
}

const MemberTable<EditAltLinPrecos>& EditAltLinPrecos::members() {
  static const auto table = editorMembers<EditAltLinPrecos>();
  return table;
}

}  // namespace quill

#include "extension/pricing/EditAltPrecos.h"

#include "extension/components/DataAccess.h"
#include "extension/pricing/PricingKinds.h"
#include "extension/pricing/PricingStatements.h"
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

constexpr const char* kNiveis = "LbxPrecos";
constexpr const char* kPriceFormat = "#,###.###0";
// The six stored prices; each has its working copy (+ "NEW") and its
// history ("H" +).
constexpr const char* kPrecos[] = {"PVP1SIVA", "PVP1CIVA", "PVP2SIVA", "PVP2CIVA", "PVP3SIVA", "PVP3CIVA"};

std::string semIva(int nivel) { return "PVP" + std::to_string(nivel) + "SIVA"; }
std::string comIvaDe(int nivel) { return "PVP" + std::to_string(nivel) + "CIVA"; }

std::string textAt(const sql::Recordset& rs, std::size_t position, std::string_view field) {
  return sql::textOrEmpty(rs.valueAt(position, rs.fieldIndex(field)));
}

}  // namespace

const std::vector<ui::ControlDef>& EditAltPrecos::controls() {
  static const std::vector<ui::ControlDef> controls = comTeclaEnter(
      {
          frame("grbxHeader"),
          frame("GroupBox1", "Artigos"),
          label("Label1", "Artigo inicial"),
          codeField("txtArtIni"),
          descriptionField("txtArtIniDesc"),
          label("Label2", "Artigo final"),
          codeField("txtArtFin"),
          descriptionField("txtArtFinDesc"),
          label("Label3", "Grupo inicial"),
          codeField("txtGrpIni"),
          descriptionField("txtGrpIniDescr"),
          label("Label4", "Grupo final"),
          codeField("txtGrpFin"),
          descriptionField("txtGrpFinDescr"),
          frame("GroupBox2", "Alteração"),
          label("Label5", "Tipo"),
          {"cbxTipo", ui::ControlKind::ComboBox},
          label("Label6", "Valor"),
          {"txtValor", ui::ControlKind::TextField},
          label("Label7", "Preços"),
          {"LbxPrecos", ui::ControlKind::ListBox, "", "", true},
          label("Label8", "Data de activação"),
          datePicker("dtpActivacao"),
          {"chkBxData", ui::ControlKind::CheckBox, "Alterar a data de activação"},
      },
      grelhaEBotoes());
  return controls;
}

EditAltPrecos::EditAltPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components)
    : AlteracaoPrecosForm(ui, std::move(components)) {
  attach(makeView(*this));
  view().setCaption("Alteração de Preços");
  addIntervalo({"txtArtIni", "txtArtIniDesc", &kinds::artigosComCampos()});
  addIntervalo({"txtArtFin", "txtArtFinDesc", &kinds::artigosComCampos()});
  addIntervalo({"txtGrpIni", "txtGrpIniDescr", &kinds::grupos()});
  addIntervalo({"txtGrpFin", "txtGrpFinDescr", &kinds::grupos()});
  setPrecosEditaveis({{"PVP1SIVANEW", "PVP1CIVANEW"}, {"PVP2SIVANEW", "PVP2CIVANEW"}, {"PVP3SIVANEW", "PVP3CIVANEW"}});
  // FillChoiceLists: the levels too, "PVP 1" selected.
  FillChoiceLists();
  view().setItems(kNiveis, {"PVP 1", "PVP 2", "PVP 3"});
  view().setSelected(kNiveis, 0, true);
}

EditAltPrecos::~EditAltPrecos() = default;

std::string EditAltPrecos::errorTitle() const { return "Alteração de Preços"; }

void EditAltPrecos::prepare() {
  SeedScheduledPrices();
  // StyleGrid: the grid's fonts are the window's.
  RefreshGrid();
  ClearFilters();
  SetDefaultRanges();
}

void EditAltPrecos::SeedScheduledPrices() {
  ui::LongWork work(ui(), "A preparar os preços dos artigos...", 0);
  data().Execute(precos::SeedScheduledPrices());
}

std::vector<int> EditAltPrecos::niveisEscolhidos() const {
  std::vector<int> niveis;
  for (int i = 0; i < 3; ++i)
    if (view().isSelected(kNiveis, i)) niveis.push_back(i + 1);
  return niveis;
}

void EditAltPrecos::RefreshGrid() {
  ui::LongWork busy(ui(), "A ler os preços...", 0);
  auto rs = data().OpenRecordset(precos::QueryScheduledPrices(view().text("txtArtIni"), view().text("txtArtFin"),
                                                              view().text("txtGrpIni"), view().text("txtGrpFin"),
                                                              moedaNacional(), regimeIvaNacional()));
  std::vector<ParPrecos> escolhidos;
  for (int n : niveisEscolhidos()) escolhidos.push_back({semIva(n) + "NEW", comIvaDe(n) + "NEW"});
  aplicaAlteracao(*rs, escolhidos);

  std::vector<Coluna> colunas = {{"ARTIGO", "Artigo", 1800},
                                 {"NOME", "Nome", 4000},
                                 {"TAXA", "Taxa", 300, "", true},
                                 {"IVA", "IVA", 300, "", true},
                                 {"DATAACTIVACAO", "Data Início", 1300, "dd-mm-yyyy"}};
  // Each level's headings: current and new, without and with VAT.
  struct Cabecalhos {
    const char* semIva;
    const char* semIvaNovo;
    const char* comIva;
    const char* comIvaNovo;
  };
  static constexpr Cabecalhos kCabecalhos[] = {{"P1 s/IVA", "P1 s/IVA Novo", "P1 c/IVA", "P1 c/IVA Novo"},
                                               {"P2 s/IVA", "P2 s/IVA Novo", "P2 c/IVA", "P2 c/IVA Novo"},
                                               {"P3 s/IVA", "P3 s/IVA Novo", "P3 c/IVA", "P3 c/IVA Novo"}};
  for (int n = 1; n <= 3; ++n) {
    const Cabecalhos& c = kCabecalhos[n - 1];
    const bool escolhido = view().isSelected(kNiveis, n - 1);
    colunas.push_back({semIva(n), c.semIva, 1300, kPriceFormat});
    colunas.push_back({semIva(n) + "NEW", c.semIvaNovo, 1300, kPriceFormat, false, escolhido});
    colunas.push_back({comIvaDe(n), c.comIva, 1300, kPriceFormat, true});
    colunas.push_back({comIvaDe(n) + "NEW", c.comIvaNovo, 1300, kPriceFormat, true});
  }
  bindGrid(std::move(rs), colunas);
}

void EditAltPrecos::ClearFilters() { clearFields(); }

void EditAltPrecos::SetDefaultRanges() {
  auto rs = data().OpenRecordset(
      precos::QueryScheduledPrices(" ", "ZZZZZZZZZZZZZZZ", "", "", moedaNacional(), regimeIvaNacional()));
  if (!sql::noRows(rs.get())) {
    withRefreshHeld([&] {
      rs->moveFirst();
      const std::string artIni = vb::Trim(sql::fieldText(*rs, "ARTIGO")),
                        grpIni = vb::Trim(sql::fieldText(*rs, "GRUPO"));
      rs->moveLast();
      const std::string artFin = vb::Trim(sql::fieldText(*rs, "ARTIGO")),
                        grpFin = vb::Trim(sql::fieldText(*rs, "GRUPO"));
      setIntervalo("txtArtIni", artIni);
      setIntervalo("txtGrpIni", grpIni);
      setIntervalo("txtArtFin", artFin);
      setIntervalo("txtGrpFin", grpFin);
    });
  }
  view().setText("dtpActivacao", vb::FormatDate(vb::today(), "dd-mm-yyyy"));
  view().setText("txtValor", "");
  view().setChecked("chkBxData", false);
}

void EditAltPrecos::onChanged(std::string_view control) {
  if (!equalsNoCase(control, kNiveis)) return AlteracaoPrecosForm::onChanged(control);
  // Only the chosen levels can be typed into; nothing is computed again.
  ui::GridControl& grid = grelha();
  if (!grid.model().recordset()) return;
  for (int n = 1; n <= 3; ++n) grid.model().column(semIva(n) + "NEW").readOnly = !view().isSelected(kNiveis, n - 1);
  grid.applyColumns();
}

void EditAltPrecos::SaveChanges(bool mensagem) {
  const sql::Recordset* grid = grelha().model().recordset().get();
  gravaLinhas(
      mensagem,
      [&](std::size_t linha) {
        WritePrices(textAt(*grid, linha, "ARTIGO"), linha);
        return true;
      },
      [&](std::size_t linha, Date activacao) {
        return WriteActivationDate(textAt(*grid, linha, "ARTIGO"), activacao);
      });
}

// The stored prices become the history (all six, whatever levels were
// chosen) and the grid's new ones the prices; a missing new price is 0.
void EditAltPrecos::WritePrices(const std::string& artigo, std::size_t linha) {
  auto rs =
      data().OpenRecordset(precos::QueryScheduledPrices(artigo, artigo, "", "", moedaNacional(), regimeIvaNacional()));
  if (sql::noRows(rs.get())) return;
  const sql::Recordset& grid = *grelha().model().recordset();
  for (const char* preco : kPrecos) rs->setValue(std::string("H") + preco, rs->value(preco));
  rs->setValue("DATAACTUALIZACAO", Variant(vb::FormatDate(vb::today(), "dd-mm-yyyy")));
  for (const char* preco : kPrecos) {
    const Variant& novo = grid.valueAt(linha, grid.fieldIndex(std::string(preco) + "NEW"));
    rs->setValue(preco, Variant(sql::doubleOrZero(novo)));
  }
  data().SaveRecordset(*rs);
}

bool EditAltPrecos::WriteActivationDate(const std::string& artigo, Date activacao) {
  auto rs =
      data().OpenRecordset(precos::QueryScheduledPrices(artigo, artigo, "", "", moedaNacional(), regimeIvaNacional()));
  if (sql::noRows(rs.get())) return false;
  rs->setValue("DATAACTUALIZACAO", Variant(vb::FormatDate(vb::now(), "dd-mm-yyyy hh:mm:ss")));
  rs->setValue("DATAACTIVACAO", Variant(activacao));
  data().SaveRecordset(*rs);
  return true;
}

void EditAltPrecos::PrintChanges() {
  SaveChanges(false);
  DispatchPtr criterios = componente("frmCriteriosMapasMediaVenda");
  late::let(criterios, "Caption", Variant("Alteração de Preços"));
  late::set(criterios, "DataAccess", dataAccess());
  late::let(criterios, "PrimeiraData", Variant("01-01-" + std::to_string(vb::Year(vb::today()))));
  late::let(criterios, "UltimaData", Variant(vb::FormatDate(vb::today(), "dd-mm-yyyy")));
  late::let(criterios, "PrimeiroArt", Variant(view().text("txtArtIni")));
  late::let(criterios, "UltimoArt", Variant(view().text("txtArtFin")));
  late::call(criterios, "Editar", {Variant(owner())});
  if (vb::CBool(late::get(criterios, "Cancelou"))) return;
  auto texto = [&](const char* propriedade) { return vb::CStr(late::get(criterios, propriedade)); };
  imprimir("\\qor_VT_AltPrecos.rpt", precos::QueryScheduledPricesByActivation(
                                         texto("PrimeiroArt"), texto("UltimoArt"), dataIso(texto("PrimeiraData")),
                                         dataIso(texto("UltimaData")), moedaNacional(), regimeIvaNacional()));
}

const MemberTable<EditAltPrecos>& EditAltPrecos::members() {
  static const auto table = editorMembers<EditAltPrecos>();
  return table;
}

}  // namespace quill

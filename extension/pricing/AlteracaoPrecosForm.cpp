#include "extension/pricing/AlteracaoPrecosForm.h"

#include "extension/components/LibraryFolder.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

constexpr const char* kTipo = "cbxTipo";
constexpr const char* kValor = "txtValor";
constexpr const char* kActivacao = "dtpActivacao";
constexpr const char* kDataAlterada = "chkBxData";
constexpr const char* kGrelha = "grdLinPrecos";

bool missing(const Variant& v) { return v.isNull() || v.isEmpty(); }

}  // namespace

const std::vector<ui::ControlDef>& grelhaEBotoes() {
  using namespace criterios;
  static const std::vector<ui::ControlDef> controls = {
      {"grdLinPrecos", ui::ControlKind::Grid},  button("cmdSelAll", "Seleccionar todos"),
      button("cmdUnselAll", "Limpar selecção"), button("CmdConf", "Confirmar"),
      button("cmdImprimir", "Imprimir"),        cancelButton("cmdSair", "Sair"),
  };
  return controls;
}

std::vector<ui::ControlDef> comTeclaEnter(std::vector<ui::ControlDef> controls,
                                          const std::vector<ui::ControlDef>& comuns) {
  controls.insert(controls.end(), comuns.begin(), comuns.end());
  for (ui::ControlDef& c : controls) {
    const std::string prefix = vb::UCase(vb::Left(c.name, 3));
    if (prefix == "TXT" || prefix == "CBX" || prefix == "DTP") c.enterMovesOn = true;
  }
  return controls;
}

AlteracaoPrecosForm::AlteracaoPrecosForm(ui::UiServices& ui, Components components)
    : Form(ui), PriceFormSettings(std::move(components)) {}

AlteracaoPrecosForm::~AlteracaoPrecosForm() = default;

ui::GridControl& AlteracaoPrecosForm::grelha() const { return view().grid(kGrelha); }

void AlteracaoPrecosForm::Editar(const Variant& lPai) {
  owner_ = ownerOf(lPai);
  if (!leParametrosNacionais()) return;
  prepare();
  view().showModal(owner_);
}

bool AlteracaoPrecosForm::leParametrosNacionais() {
  moeda_ = vb::CStr(late::get(nextApi(), "MoedaNacional"));
  regime_ = vb::CStr(late::get(nextApi(), "RegimeIVANacional"));
  if (!moeda_.empty() && !regime_.empty()) return true;
  ui().msgBox("A moeda Nacional e o Regime de IVA Nacional devem ser definidos nos parametros da aplicação.",
              vb::vbInformation, "Linhas de preços");
  return false;
}

// ---- The change ----

const std::vector<std::string>& AlteracaoPrecosForm::tiposAlteracao() {
  static const std::vector<std::string> tipos = {"Margem", "Valor", "Valor fixo"};
  return tipos;
}

Variant AlteracaoPrecosForm::precoAlterado(std::string_view tipo, double valor, const Variant& preco) {
  if (tipo == "Valor fixo") return Variant(valor);
  if (missing(preco)) return Variant::null();
  const double p = vb::CDbl(preco);
  if (tipo == "Margem") return Variant(p + p * valor / 100);
  if (tipo == "Valor") return Variant(p + valor);
  return preco;
}

Variant AlteracaoPrecosForm::comIva(const Variant& semIva, const Variant& taxa) {
  if (missing(semIva) || missing(taxa)) return Variant::null();
  const double p = vb::CDbl(semIva);
  return Variant(p + p * vb::CDbl(taxa) / 100);
}

std::optional<AlteracaoPrecosForm::Alteracao> AlteracaoPrecosForm::alteracaoPedida() const {
  const std::string valor = view().text(kValor);
  if (valor.empty()) return std::nullopt;
  return Alteracao{view().text(kTipo), vb::CDbl(Variant(valor))};
}

void AlteracaoPrecosForm::aplicaAlteracao(sql::Recordset& rs, const std::vector<ParPrecos>& pares) {
  if (rs.recordCount() == 0 || pares.empty()) return;
  const auto alteracao = alteracaoPedida();
  if (!alteracao) return;
  struct Campos {
    std::size_t semIva, comIva;
  };
  std::vector<Campos> campos;
  for (const ParPrecos& par : pares) campos.push_back({rs.fieldIndex(par.semIva), rs.fieldIndex(par.comIva)});
  const std::size_t iva = rs.fieldIndex("IVA");
  ui::LongWork work(ui(), "A aplicar a alteração aos preços...", static_cast<std::size_t>(rs.recordCount()));
  std::size_t feitas = 0;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
    for (const Campos& c : campos) {
      Variant novo = alteracao->aplica(rs.value(c.semIva));
      rs.setValue(c.comIva, comIva(novo, rs.value(iva)));
      rs.setValue(c.semIva, std::move(novo));
    }
    work.step(++feitas);
  }
  rs.moveFirst();
}

void AlteracaoPrecosForm::FillChoiceLists() {
  view().setItems(kTipo, tiposAlteracao());
  view().setListIndex(kTipo, 0);
  view().setText(kActivacao, vb::FormatDate(vb::today(), "dd-mm-yyyy"));
  view().setChecked(kDataAlterada, false);
}

void AlteracaoPrecosForm::clearFields() {
  for (const Intervalo& i : intervalos_) {
    view().setText(i.field, "");
    view().setText(i.description, "");
  }
  view().setText(kValor, "");
  view().setText(kActivacao, vb::FormatDate(vb::today(), "dd-mm-yyyy"));
  view().setChecked(kDataAlterada, false);
}

Date AlteracaoPrecosForm::dataActivacao() const { return vb::CDate(Variant(view().text(kActivacao))); }

// "Valor inválido!" keeps the focus in the field. A margin above 100 is
// refused as read with the decimal point whatever the regional settings
// ("100.01"), and also as it is applied, with the regional separator
// ("100,5" where the comma is decimal), which reading it the first way
// alone would let through.
bool AlteracaoPrecosForm::ValidateValor() {
  const std::string valor = view().text(kValor);
  if (!valor.empty()) {
    const bool numero = vb::IsNumeric(Variant(valor));
    const bool margem = view().text(kTipo) == "Margem";
    if (!numero || (margem && (vb::Val(valor) > 100 || vb::CDbl(Variant(valor)) > 100))) {
      ui().msgBox("Valor inválido!");
      return false;
    }
  }
  refresh();
  return true;
}

int AlteracaoPrecosForm::perguntaDataActivacao() {
  if (!view().isChecked(kDataAlterada)) return vb::vbCancel;
  return ui().msgBox(
      "A data de activação foi alterada.\r\n"
      "Pretende alterar todos artigos filtrados (Sim), apenas os selecionados (Não) ou nenhum (Cancelar).\r\n",
      vb::vbYesNoCancel + vb::vbQuestion + vb::vbDefaultButton2, "Data de activação");
}

// ---- The range fields ----

const AlteracaoPrecosForm::Intervalo* AlteracaoPrecosForm::intervaloOf(std::string_view control) const {
  for (const Intervalo& i : intervalos_)
    if (equalsNoCase(i.field, control)) return &i;
  return nullptr;
}

// An unknown code is accepted: the description stays empty and the grid
// filters with the code as typed. A price line is its leading number.
bool AlteracaoPrecosForm::validateIntervalo(const Intervalo& intervalo) {
  view().setText(intervalo.description, "");
  const std::string code = view().text(intervalo.field);
  if (!code.empty()) {
    const std::string key = intervalo.kind->priceLine ? std::to_string(vb::CInt(Variant(vb::Val(code)))) : code;
    view().setText(intervalo.description, describeCode(data(), *intervalo.kind, key));
  }
  refresh();
  return true;
}

void AlteracaoPrecosForm::setIntervalo(std::string_view field, std::string_view text) {
  view().setText(field, text);
  validateIntervalo(*intervaloOf(field));
}

void AlteracaoPrecosForm::refresh() {
  if (refreshHeld_ > 0)
    refreshWanted_ = true;
  else
    RefreshGrid();
}

// ---- The grid ----

void AlteracaoPrecosForm::bindGrid(std::shared_ptr<sql::Recordset> recordset, const std::vector<Coluna>& colunas,
                                   std::vector<ui::RecordsetTableModel::GroupLevel> grouping) {
  ui::GridControl& grid = grelha();
  RedrawSuspended suspended(grid);
  ui::RecordsetTableModel& model = grid.model();
  std::vector<ui::GridColumn> columns;
  for (const sql::Field& field : recordset->fields()) {
    ui::GridColumn column;
    column.field = field.name;
    column.hidden = true;
    column.readOnly = true;
    for (const Coluna& c : colunas) {
      if (!equalsNoCase(c.field, field.name)) continue;
      column.caption = c.caption;
      column.widthTwips = c.width;
      column.format = c.format;
      column.hidden = c.hidden;
      column.readOnly = !c.editable;
    }
    columns.push_back(std::move(column));
  }
  model.setRecordset(std::move(recordset));
  model.setColumns(std::move(columns));
  model.insertMarkColumn(505);
  if (!grouping.empty()) model.setGrouping(std::move(grouping));
  grid.applyColumns();
}

void AlteracaoPrecosForm::setPrecosEditaveis(std::vector<ParPrecos> pares) {
  pares_ = std::move(pares);
  ui::RecordsetTableModel& model = grelha().model();
  auto parDe = [this](std::string_view field) -> const ParPrecos* {
    for (const ParPrecos& par : pares_)
      if (equalsNoCase(par.semIva, field)) return &par;
    return nullptr;
  };
  model.setEditValidator([parDe](ui::RecordsetTableModel::Edit& edit) {
    if (!parDe(edit.field)) return true;
    if (vb::Trim(edit.text).empty()) {
      edit.value = Variant::null();
      return true;
    }
    if (!vb::IsNumeric(Variant(edit.text))) return false;
    edit.value = Variant(vb::CDbl(Variant(edit.text)));
    return true;
  });
  model.setAfterEdit([this, parDe](std::size_t position, const std::string& field) {
    const ParPrecos* par = parDe(field);
    if (!par) return;
    sql::Recordset& rs = *grelha().model().recordset();
    rs.setValueAt(position, rs.fieldIndex(par->comIva),
                  comIva(rs.valueAt(position, rs.fieldIndex(par->semIva)), rs.valueAt(position, rs.fieldIndex("IVA"))));
  });
}

std::vector<std::size_t> AlteracaoPrecosForm::linhasDaGrelha(bool marcadas) const {
  const ui::RecordsetTableModel& model = grelha().model();
  std::vector<std::size_t> linhas;
  for (int row = 0; row < model.rowCount(); ++row) {
    const auto position = model.positionOf(row);
    if (position && (!marcadas || model.isMarked(*position))) linhas.push_back(*position);
  }
  return linhas;
}

void AlteracaoPrecosForm::gravaLinhas(bool mensagem, const std::function<bool(std::size_t)>& escreve,
                                      const std::function<bool(std::size_t, Date)>& moveData) {
  ui::GridControl& grid = grelha();
  RedrawSuspended suspended(grid);
  const int resposta = perguntaDataActivacao();
  bool escreveu = false;
  // The grid's rows stay what they were until the reload at the end.
  if (const auto rs = grid.model().recordset()) {
    const std::vector<std::size_t> marcadas = linhasDaGrelha(true);
    std::vector<std::size_t> datas;
    if (resposta == vb::vbYes) datas = linhasDaGrelha(false);
    if (resposta == vb::vbNo) datas = marcadas;
    ui::LongWork work(ui(), "A gravar os preços...", marcadas.size() + datas.size());
    for (std::size_t linha : marcadas) {
      if (escreve(linha)) escreveu = true;
      work.next();
    }
    if (!datas.empty()) {
      const Date activacao = dataActivacao();
      for (std::size_t linha : datas) {
        if (moveData(linha, activacao)) escreveu = true;
        work.next();
      }
    }
  }
  if (mensagem && escreveu) ui().msgBox("Alterações gravadas com êxito.");
  RefreshGrid();
  view().setChecked(kDataAlterada, false);
}

// ---- Printing ----

std::string AlteracaoPrecosForm::dataIso(const std::string& texto) {
  return vb::FormatDate(vb::CDate(Variant(texto)), "yyyy-mm-dd");
}

void AlteracaoPrecosForm::imprimir(std::string_view ficheiro, const std::string& consulta) {
  std::shared_ptr<sql::Recordset> rows;
  {
    RedrawSuspended suspended(grelha());
    rows = data().OpenRecordset(consulta);
  }
  imprimirRelatorio(componente("ReportPrinter"), database(), libraryFolder().string() + std::string(ficheiro),
                    DispatchPtr(rows), owner_);
}

// ---- Events ----

bool AlteracaoPrecosForm::onValidate(std::string_view control) {
  if (const Intervalo* intervalo = intervaloOf(control)) return validateIntervalo(*intervalo);
  if (equalsNoCase(control, kValor)) return ValidateValor();
  return true;
}

void AlteracaoPrecosForm::onLookup(std::string_view control) {
  const Intervalo* intervalo = intervaloOf(control);
  if (!intervalo) return;
  const std::string picked = pickOfKind(ui(), data(), *intervalo->kind, owner_);
  if (picked.empty()) return;
  view().setText(intervalo->field, picked);
  validateIntervalo(*intervalo);
}

void AlteracaoPrecosForm::onClick(std::string_view control) {
  if (equalsNoCase(control, "CmdConf")) {
    SaveChanges(true);
  } else if (equalsNoCase(control, "cmdImprimir")) {
    PrintChanges();
  } else if (equalsNoCase(control, "cmdSair")) {
    view().hide();
  } else if (equalsNoCase(control, "cmdSelAll") || equalsNoCase(control, "cmdUnselAll")) {
    ui::GridControl& grid = grelha();
    RedrawSuspended suspended(grid);
    grid.model().setAllMarked(equalsNoCase(control, "cmdSelAll"));
  }
}

void AlteracaoPrecosForm::onChanged(std::string_view control) {
  if (equalsNoCase(control, kTipo))
    RefreshGrid();
  else if (equalsNoCase(control, kActivacao))
    view().setChecked(kDataAlterada, true);
}

}  // namespace quill

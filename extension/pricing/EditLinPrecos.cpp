#include "extension/pricing/EditLinPrecos.h"

#include "bridge/DateOnlyMarker.h"
#include "extension/components/DataAccess.h"
#include "extension/components/LibraryFolder.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/DebugLog.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

constexpr const char* kTraco = " -------------------------------------------------";
constexpr const char* kCrLf = "\r\n";
// How many rows a save sends between two chances for the window to repaint.
constexpr int kLinhasEntrePausas = 25;

bool nulo(const Variant& v) { return v.isNull() || v.isEmpty(); }
double numeroOuZero(const Variant& v) { return nulo(v) ? 0.0 : vb::CDbl(v); }
Date dataOuZero(const Variant& v) { return nulo(v) ? vb::kZeroDate : vb::CDate(v); }

std::string numeroDoErro(const std::exception& error) {
  const AutomationError e = asAutomationError(error);
  return std::to_string(e.number()) + " - " + e.description();
}

// A number that a 16-bit line number holds: nothing for anything else.
std::optional<std::int16_t> comoLinha(const std::string& texto) {
  if (vb::Trim(texto).empty() || !vb::IsNumeric(Variant(texto))) return std::nullopt;
  try {
    return vb::CInt(Variant(texto));
  } catch (const AutomationError& error) {
    if (error.number() == vberr::Overflow) return std::nullopt;
    throw;
  }
}

// The grid's columns, by field, as the editor shows them.
struct Coluna {
  const char* field;
  const char* caption;
  int width;
  const char* format;
  bool editable;
  bool shown;
};
const Coluna kColunas[] = {
    {"CODIGO", "Artigo", 1800, "", false, true},
    {"NOME", "Nome", 3200, "", false, true},
    {"TAXA", "Taxa", 300, "", false, false},
    {"IVA", "IVA", 300, "", false, false},
    {"DATINIC", "Data Início", 1300, "dd-mm-yyyy", false, true},
    {"PVP", "Preço s/IVA", 1300, "#,###.###0", true, true},
    {"PVPIVA", "Preço c/IVA", 1300, "#,###.###0", false, true},
    {"DATINICORI", "", 1200, "", false, false},
    {"PVPORI", "", 1200, "", false, false},
    {"PVPIVAORI", "", 1200, "", false, false},
};

}  // namespace

// Where the fields the editor works with are in the loaded recordset.
struct EditLinPrecos::Colunas {
  std::size_t codigo, iva, datinic, pvp, pvpiva, datinicori, pvpori, pvpivaori;
  explicit Colunas(const sql::Recordset& rs)
      : codigo(rs.fieldIndex("CODIGO")),
        iva(rs.fieldIndex("IVA")),
        datinic(rs.fieldIndex("DATINIC")),
        pvp(rs.fieldIndex("PVP")),
        pvpiva(rs.fieldIndex("PVPIVA")),
        datinicori(rs.fieldIndex("DATINICORI")),
        pvpori(rs.fieldIndex("PVPORI")),
        pvpivaori(rs.fieldIndex("PVPIVAORI")) {}
};

const std::vector<ui::ControlDef>& EditLinPrecos::controls() {
  using namespace criterios;
  static const std::vector<ui::ControlDef> controls = [] {
    ui::ControlDef lista{"cmbLinhaPrc", ui::ControlKind::ComboBox};
    lista.enterMovesOn = true;
    return std::vector<ui::ControlDef>{frame("gbx1"),
                                       label("Label1", "Linha de preços"),
                                       codeField("txtLinPrc"),
                                       label("lblLinPrc"),
                                       lista,
                                       label("Label2", "Data de início"),
                                       datePicker("dtpDataInicio"),
                                       {"grdLinPrecos", ui::ControlKind::Grid},
                                       button("CmdConf", "Confirma"),
                                       cancelButton("CmdCancel", "Cancela"),
                                       button("CmdPrint", "Imprimir")};
  }();
  return controls;
}

EditLinPrecos::EditLinPrecos(ui::UiServices& ui, const ui::ViewFactory& makeView, Components components)
    : Form(ui), PriceFormSettings(std::move(components)), reportFolder_(libraryFolder()) {
  attach(makeView(*this));
  view().setCaption("Linhas de Preços");
}

EditLinPrecos::~EditLinPrecos() = default;

ui::GridControl& EditLinPrecos::grelha() const { return view().grid("grdLinPrecos"); }

void EditLinPrecos::log(std::string_view procedimento, std::string_view mensagem) const {
  vb::appendDebugLine(kDebugLog, procedimento, vb::kBridgeLogTagWidth, mensagem);
}

// ---------------------------------------------------------------- Editar

void EditLinPrecos::Editar(const Variant& lPai) {
  owner_ = lPai.isEmpty() || lPai.isNull() || lPai.isObject() ? 0 : vb::CLng(lPai);
  log("Editar", "INI -------------------------------------------------");
  try {
    moedaNacional_ = vb::CStr(late::get(nextApi(), "MoedaNacional"));
    regimeIvaNacional_ = vb::CStr(late::get(nextApi(), "RegimeIVANacional"));
    if (moedaNacional_.empty() || regimeIvaNacional_.empty()) {
      ui().msgBox("A moeda Nacional e o Regime de IVA Nacional devem ser definidos nos parametros da aplicação.",
                  vb::vbInformation, kTitulo);
      return;
    }
    auto linhas = data().OpenRecordset(kinds::linhasPrecos().tableSql);
    if (sql::noRows(linhas.get())) {
      ui().msgBox("Não existem linhas de preços definidas.", vb::vbInformation, kTitulo);
      return;
    }
    carregarLinhas(*linhas);
    dataAlterada_ = false;
    pFrmRefresh();
    view().showModal(owner_);
    log("Editar", "FIM -------------------------------------------------");
  } catch (const std::exception& error) {
    log("Editar", "ERR " + numeroDoErro(error) + kTraco);
    ui().showNumberedError(error, kTitulo);
  }
}

void EditLinPrecos::carregarLinhas(sql::Recordset& linhas) {
  auto& v = view();
  v.setItems("cmbLinhaPrc", {});
  v.setText("txtLinPrc", "");
  v.setText("lblLinPrc", "");
  linhas_.assign(1, 0);
  std::vector<std::string> descricoes;
  for (linhas.moveFirst(); !linhas.eof(); linhas.moveNext()) {
    descricoes.push_back(sql::fieldText(linhas, "DESCR"));
    linhas_.push_back(vb::CLng(linhas.value("LINHA")));
  }
  v.setItems("cmbLinhaPrc", descricoes);
  v.setListIndex("cmbLinhaPrc", 0);
  v.setText("txtLinPrc", std::to_string(linhas_[1]));
  v.setText("lblLinPrc", descricoes.front());
}

// ---------------------------------------------------------------- Loading

std::string EditLinPrecos::GetLinhasPrecosSql(std::int16_t linha, const std::string& moeda, const std::string& regime) {
  return "SELECT       ARTIGOS.CODIGO, "
         "             ARTIGOS.NOME, "
         "             ARTIGOS.IVA AS TAXA, "
         "             CASE "
         "                WHEN ARTIGOS.IVA = 1 THEN RGIVA.TX1 "
         "                WHEN ARTIGOS.IVA = 2 THEN RGIVA.TX2 "
         "                WHEN ARTIGOS.IVA = 3 THEN RGIVA.TX3 "
         "                WHEN ARTIGOS.IVA = 4 THEN RGIVA.TX4 "
         "             END AS IVA, "
         "             PRECOS.DATINIC, "
         "             PRECOS.PVP, "
         "             PRECOS.PVPIVA, "
         "             PRECOS.DATINIC AS DATINICORI, "
         "             PRECOS.PVP AS PVPORI, "
         "             PRECOS.PVPIVA AS PVPIVAORI "
         "FROM         ARTIGOS "
         "                LEFT OUTER JOIN "
         "                    PRECOS ON ARTIGOS.CODIGO = PRECOS.ARTIGO AND "
         "                           '" +
         sql::sqlQuote(moeda) +
         "' = PRECOS.MOEDA AND "
         "                            " +
         std::to_string(linha) +
         " = PRECOS.LINPRC "
         "                LEFT OUTER JOIN "
         "                    U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO "
         "                INNER JOIN "
         "                    RGIVA  ON '" +
         sql::sqlQuote(regime) +
         "' = RGIVA.CODIGO "
         // clang-format off
         "WHERE        (ARTIGOS.ARTOUDES = 0) AND (ARTIGOS.INACTIVO = 0) AND (ARTIGOS.CODIGO <> '') AND ( U_ARTIGOS.PRECOFIXO=-1) "
         // clang-format on
         "ORDER BY     ARTIGOS.CODIGO ";
}

std::shared_ptr<sql::Recordset> EditLinPrecos::GetLinhasPrecos(std::int16_t linha) {
  const std::string sql = GetLinhasPrecosSql(linha, moedaNacional_, regimeIvaNacional_);
  log("GetLinhasPrecos", sql);
  auto rs = data().OpenRecordset(sql);
  log("GetLinhasPrecos", std::to_string(rs ? rs->recordCount() : 0));
  return rs;
}

void EditLinPrecos::pFrmRefresh() {
  log("pFrmRefresh", "INI");
  try {
    ui::BusyCursor busy(ui());
    Date inicio = vb::today();
    const std::int16_t linha = vb::CInt(Variant(view().text("txtLinPrc")));
    auto rs = GetLinhasPrecos(linha);
    if (!sql::noRows(rs.get()) && !nulo(rs->valueAt(0, rs->fieldIndex("DATINIC"))))
      inicio = vb::CDate(rs->valueAt(0, rs->fieldIndex("DATINIC")));
    view().setText("dtpDataInicio", vb::FormatDate(inicio, "dd-mm-yyyy"));
    precos_ = std::move(rs);
    colunas_ = std::make_unique<Colunas>(*precos_);
    pFrmGrdConfigurar();
    pFrmGrdShow();
    linhaCarregada_ = linha;
    log("pFrmRefresh", "FIM");
  } catch (const std::exception& error) {
    log("pFrmRefresh", "ERR " + numeroDoErro(error));
    ui().showNumberedError(error, kTitulo);
  }
}

// The fonts and look of the grid are the window's; what is left here is the
// trace the support people read.
void EditLinPrecos::pFrmGrdConfigurar() {
  log("pFrmGrdConfigurar", "INI");
  log("pFrmGrdConfigurar", "FIM");
}

void EditLinPrecos::pFrmGrdShow() {
  log("pFrmGrdShow", "INI");
  auto& grid = grelha();
  auto& model = grid.model();
  log("pFrmGrdShow", " 1");
  grid.setRedraw(false);
  log("pFrmGrdShow", " 2");
  model.setRecordset(precos_);
  for (const Coluna& c : kColunas) {
    log("pFrmGrdShow", std::string(" 3-") + c.field);
    ui::GridColumn& column = model.column(c.field);
    column.caption = c.caption;
    column.widthTwips = c.width;
    column.format = c.format;
    column.readOnly = !c.editable;
    column.hidden = !c.shown;
  }
  log("pFrmGrdShow", " 4");
  model.setEditValidator(
      [this](ui::RecordsetTableModel::Edit& edit) { return validarPreco(edit.position, edit.value); });
  model.setAfterEdit([this](std::size_t position, const std::string& field) { depoisDeEditar(position, field); });
  log("pFrmGrdShow", " 5");
  grid.applyColumns();
  log("pFrmGrdShow", " 6");
  grid.setRedraw(true);
  log("pFrmGrdShow", "FIM");
}

// ---------------------------------------------------------------- Editing prices

bool EditLinPrecos::validarPreco(std::size_t, Variant& value) const {
  const std::string texto = value.isString() ? value.stringValue() : std::string();
  if (nulo(value) || (value.isString() && vb::Trim(texto).empty())) {
    value = Variant::null();
    return true;
  }
  if (!vb::IsNumeric(value)) return false;
  const double preco = vb::CDbl(value);
  if (preco < 0) return false;
  value = Variant(preco);
  return true;
}

void EditLinPrecos::depoisDeEditar(std::size_t position, const std::string& field) {
  if (!colunas_ || !equalsNoCase(field, "PVP")) return;
  sql::Recordset& rs = *precos_;
  const Colunas& c = *colunas_;
  const Variant pvp = rs.valueAt(position, c.pvp);
  if (nulo(pvp)) {
    rs.setValueAt(position, c.pvpiva, Variant::null());
    rs.setValueAt(position, c.datinic, Variant::null());
    return;
  }
  const double preco = vb::CDbl(pvp);
  rs.setValueAt(position, c.pvpiva, Variant(preco + preco * numeroOuZero(rs.valueAt(position, c.iva)) / 100));
  // A price new to the line starts on the editor's date.
  if (nulo(rs.valueAt(position, c.datinic)))
    rs.setValueAt(position, c.datinic, Variant(vb::CDate(Variant(view().text("dtpDataInicio")))));
}

// ---------------------------------------------------------------- Line number

void EditLinPrecos::mostrarLinha(std::int32_t linha, const std::string& descricao) {
  auto& v = view();
  v.setText("txtLinPrc", std::to_string(linha));
  v.setText("lblLinPrc", descricao);
  for (std::size_t i = 1; i < linhas_.size(); ++i)
    if (linhas_[i] == linha) v.setListIndex("cmbLinhaPrc", static_cast<int>(i - 1));
}

bool EditLinPrecos::onValidate(std::string_view control) {
  if (!equalsNoCase(control, "txtLinPrc")) return true;
  auto& v = view();
  v.setText("lblLinPrc", "");
  const std::string texto = v.text("txtLinPrc");
  // Text that is no number is let through unchecked; the grid keeps the
  // line it holds (and a save with it is refused as no number).
  if (vb::Trim(texto).empty() || !vb::IsNumeric(Variant(texto))) return true;
  const auto linha = comoLinha(texto);
  std::shared_ptr<sql::Recordset> rs;
  if (linha) rs = data().OpenRecordset(kinds::linhasPrecos().findSql(std::to_string(*linha)));
  if (sql::noRows(rs.get())) {
    ui().msgBox("Linha inválida ou não existe.", vb::vbOKOnly, criterios::kDefaultTitle);
    return false;
  }
  mostrarLinha(*linha, sql::fieldText(*rs, "DESCR"));
  // Leaving the field on the line already shown keeps what was typed in the grid.
  if (linhaCarregada_ != *linha) pFrmRefresh();
  return true;
}

void EditLinPrecos::onLookup(std::string_view control) {
  if (!equalsNoCase(control, "txtLinPrc")) return;
  const auto& kind = kinds::linhasPrecos();
  const auto linha = comoLinha(pickCode(ui(), data(), kind.lookupTitle, kind.lookupSql, owner_));
  if (!linha || *linha == 0) return;
  view().setText("txtLinPrc", std::to_string(*linha));
  view().setText("lblLinPrc", "");
}

void EditLinPrecos::onChanged(std::string_view control) {
  if (equalsNoCase(control, "dtpDataInicio")) {
    dataAlterada_ = true;
  } else if (equalsNoCase(control, "cmbLinhaPrc")) {
    // A line chosen by its description is the line the editor shows.
    const int entrada = view().listIndex("cmbLinhaPrc");
    if (entrada < 0 || static_cast<std::size_t>(entrada) + 1 >= linhas_.size()) return;
    mostrarLinha(linhas_[static_cast<std::size_t>(entrada) + 1],
                 view().items("cmbLinhaPrc")[static_cast<std::size_t>(entrada)]);
    pFrmRefresh();
  }
}

void EditLinPrecos::onClick(std::string_view control) {
  if (equalsNoCase(control, "CmdConf"))
    Gravar();
  else if (equalsNoCase(control, "CmdPrint"))
    Imprimir();
  else if (equalsNoCase(control, "CmdCancel"))
    view().hide();
}

// ---------------------------------------------------------------- Saving

void EditLinPrecos::alteraPreco(std::size_t position, std::int32_t linha, bool soData) {
  sql::Recordset& rs = *precos_;
  const Colunas& c = *colunas_;
  auto valor = [&](std::size_t field) -> const Variant& { return rs.valueAt(position, field); };
  // A price no longer there asks the bridge to remove the line's price.
  const std::int32_t lLinha = nulo(valor(c.pvp)) ? -linha : linha;
  const std::string moeda = soData ? std::string(kDateOnlyMarker) + moedaNacional_ : moedaNacional_;
  const Date inicio = soData ? vb::CDate(Variant(view().text("dtpDataInicio"))) : dataOuZero(valor(c.datinic));
  late::call(nextApi(), "AlteraPreco",
             {Variant(vb::CStr(valor(c.codigo))), Variant(moeda), Variant(lLinha), Variant(inicio),
              Variant(dataOuZero(valor(c.datinicori))), Variant(numeroOuZero(valor(c.pvp))),
              Variant(numeroOuZero(valor(c.pvpori))), Variant(numeroOuZero(valor(c.pvpiva))),
              Variant(numeroOuZero(valor(c.pvpivaori)))});
  if (soData) return;
  // What the ERP now holds is what the row was loaded with: a save that
  // stops further on and is tried again does not send this price twice
  // (which would make the new price its own history).
  rs.setValueAt(position, c.datinicori, Variant(valor(c.datinic)));
  rs.setValueAt(position, c.pvpori, Variant(valor(c.pvp)));
  rs.setValueAt(position, c.pvpivaori, Variant(valor(c.pvpiva)));
}

void EditLinPrecos::Gravar() {
  bool todas = false;
  if (dataAlterada_) {
    todas = ui().msgBox(std::string("A data de activação foi alterada.") + kCrLf +
                            "Pretende alterar todos artigos da Linha (Sim),  ou nenhum (Não)." + kCrLf,
                        vb::vbYesNo + vb::vbQuestion + vb::vbDefaultButton2, "Data de activação") == vb::vbYes;
  }
  auto& grid = grelha();
  // Drawing comes back however the save ends: a refused price leaves the
  // window as usable as before.
  struct Desenho {
    ui::GridControl& grid;
    ~Desenho() { grid.setRedraw(true); }
  } desenho{grid};
  ui::BusyCursor busy(ui());
  grid.setRedraw(false);

  bool gravou = false;
  if (precos_ && colunas_) {
    const Colunas& c = *colunas_;
    auto& model = grid.model();
    int enviadas = 0;
    auto enviar = [&](std::size_t position, bool soData) {
      alteraPreco(position, vb::CLng(Variant(view().text("txtLinPrc"))), soData);
      gravou = true;
      if (++enviadas % kLinhasEntrePausas == 0) ui().processEvents();
    };
    for (int row = 0; row < model.rowCount(); ++row) {
      const auto position = model.positionOf(row);
      if (!position) continue;
      const Variant& pvp = precos_->valueAt(*position, c.pvp);
      const Variant& original = precos_->valueAt(*position, c.pvpori);
      const bool mudou = nulo(original) ? !nulo(pvp) : nulo(pvp) || vb::CDbl(pvp) != vb::CDbl(original);
      if (mudou) enviar(*position, false);
    }
    if (todas)
      for (int row = 0; row < model.rowCount(); ++row)
        if (const auto position = model.positionOf(row)) enviar(*position, true);
  }
  if (gravou) ui().msgBox("Alterações gravadas com êxito.", vb::vbOKOnly, criterios::kDefaultTitle);
  pFrmRefresh();
  dataAlterada_ = false;
}

// ---------------------------------------------------------------- Printing

void EditLinPrecos::Imprimir() {
  Gravar();
  DispatchPtr criterios = componente("frmCriteriosMapasPorVnd");
  late::let(criterios, "Mapa", Variant(std::int16_t{1}));
  late::set(criterios, "DataAccess", dataAccess());
  late::call(criterios, "Editar", {Variant(owner_)});
  if (vb::CBool(late::get(criterios, "Cancelou"))) return;
  std::vector<std::string> parametros(6);
  parametros[1] = vb::CStr(late::get(criterios, "PrimeiroVnd"));
  parametros[2] = vb::CStr(late::get(criterios, "UltimoVnd"));
  parametros[3] = std::to_string(vb::CInt(late::get(criterios, "PrimeiroPrc")));
  parametros[4] = std::to_string(vb::CInt(late::get(criterios, "UltimoPrc")));
  criterios.reset();
  // Printing ends the editing.
  view().hide();
  imprimirRelatorio(componente("ReportPrinter"), database(), reportFolder_.string() + kRelatorio, parametros, owner_);
}

// ---------------------------------------------------------------- Late-bound interface

const MemberTable<EditLinPrecos>& EditLinPrecos::members() {
  using Form = EditLinPrecos;
  using Args = MemberTable<Form>::Args;
  static const auto table = [] {
    MemberTable<Form> members;
    addSettings(members).sub(
        "Editar", [](Form& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1});
    return members;
  }();
  return table;
}

}  // namespace quill

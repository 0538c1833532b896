#include "extension/commissions/EditGrpDescontos.h"

#include "extension/commissions/GroupGrid.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "extension/reports/CriteriosMapas.h"
#include "extension/reports/frmCriterios.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

using namespace criterios;

// A list entry is the code in 15 characters, then the name.
constexpr std::size_t kCodeWidth = 15;

std::string clientesActivos() {
  return std::string("SELECT       CODIGO, NOME ") + "FROM         CLIENTES " + "WHERE        INACTIVO=0 " +
         "ORDER BY     CLIENTES.CODIGO ";
}

std::string umCliente(const std::string& code) {
  return std::string("SELECT       CODIGO, NOME, INACTIVO ") + "FROM         CLIENTES " +
         "WHERE        CLIENTES.CODIGO='" + sql::sqlQuote(code) + "'";
}

std::string gruposDoCliente(const std::string& code) {
  return std::string("SELECT     GRUPOS.COD, GRUPOS.DESCR, U_QOR_GRUPOSDESCONTO.DESCONTO ") +
         "FROM       GRUPOS LEFT OUTER JOIN " +
         "           U_QOR_GRUPOSDESCONTO ON GRUPOS.COD = U_QOR_GRUPOSDESCONTO.GRUPO AND '" + sql::sqlQuote(code) +
         "' = U_QOR_GRUPOSDESCONTO.CLIENTE " + "ORDER BY   GRUPOS.COD ";
}

std::string descontosDoCliente(const std::string& code) {
  return std::string("SELECT     * ") + "FROM       U_QOR_GRUPOSDESCONTO " +
         "WHERE      U_QOR_GRUPOSDESCONTO.CLIENTE ='" + sql::sqlQuote(code) + "' " + "ORDER BY   GRUPO ";
}

const GroupColumns kColunas{"Grupo", 1000, "Descrição", 3300, "DESCONTO", "Desconto", 800, "#,##0.###0"};

}  // namespace

const std::vector<ui::ControlDef>& EditGrpDescontos::controls() {
  static const std::vector<ui::ControlDef> controls = {frame("gbx1"),
                                                       label("Label1", "Cliente"),
                                                       codeField("txtCli"),
                                                       label("lblCli"),
                                                       {"cmbClientes", ui::ControlKind::ComboBox},
                                                       {"grdGrpDesc", ui::ControlKind::Grid},
                                                       button("CmdConf", "Confirma"),
                                                       cancelButton("CmdCancel", "Cancela"),
                                                       button("CmdPrint", "Imprimir")};
  return controls;
}

EditGrpDescontos::EditGrpDescontos(ui::UiServices& ui, const ui::ViewFactory& makeView) : EditorForm(ui) {
  attach(makeView(*this));
  view().setCaption("Desconto por Cliente/Grupo");
}

EditGrpDescontos::~EditGrpDescontos() = default;

// The boxes of opening and of loading the grid.
std::string EditGrpDescontos::errorTitle() const { return "Desconto por Grupo"; }

void EditGrpDescontos::Editar(const Variant& lPai) {
  keepOwner(lPai);
  try {
    auto rs = data().OpenRecordset(clientesActivos());
    if (sql::noRows(rs.get())) {
      ui().msgBox("Não existem Clientes definidos.", vb::vbInformation, "Descontos Cliente/Grupo");
      return;
    }
    auto& v = view();
    v.setItems("cmbClientes", {});
    v.setText("txtCli", "");
    v.setText("lblCli", "");
    clientes_.clear();
    std::vector<std::string> entries;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
      clientes_.push_back(sql::fieldText(*rs, "CODIGO"));
      entries.push_back(vb::padRight(clientes_.back(), kCodeWidth) + sql::fieldText(*rs, "NOME"));
    }
    v.setItems("cmbClientes", entries);
    v.setListIndex("cmbClientes", 0);
    v.setText("txtCli", clientes_.front());
    v.setText("lblCli", vb::Mid(entries.front(), kCodeWidth + 1));
    carregarGrelha();
    v.showModal(owner());
  } catch (const std::exception& error) {
    ui().showNumberedError(error, errorTitle());
  }
}

void EditGrpDescontos::carregarGrelha() {
  auto groups = data().OpenRecordset(gruposDoCliente(view().text("txtCli")));
  bindGroupGrid(view().grid("grdGrpDesc"), std::move(groups), kColunas, [](double) { return true; });
}

bool EditGrpDescontos::onValidate(std::string_view control) {
  if (!equalsNoCase(control, "txtCli")) return true;
  auto& v = view();
  v.setText("lblCli", "");
  const std::string code = v.text("txtCli");
  auto rs = data().OpenRecordset(umCliente(code));
  if (sql::noRows(rs.get())) {
    ui().msgBox("Cliente inválido ou não existe.", vb::vbOKOnly, kDefaultTitle);
    return false;
  }
  if (sql::fieldLong(*rs, "INACTIVO") != 0) {
    ui().msgBox("Cliente inativo.", vb::vbOKOnly, kDefaultTitle);
    return false;
  }
  v.setText("lblCli", sql::fieldText(*rs, "NOME"));
  // The list follows the client typed, when it lists it.
  for (std::size_t i = 0; i < clientes_.size(); ++i)
    if (equalsNoCase(clientes_[i], code)) v.setListIndex("cmbClientes", static_cast<int>(i));
  carregarGrelha();
  return true;
}

void EditGrpDescontos::onLookup(std::string_view control) {
  if (!equalsNoCase(control, "txtCli")) return;
  const std::string picked =
      pickCode(ui(), data(), kinds::clientesActivos().lookupTitle, kinds::clientesActivos().lookupSql, owner());
  if (picked.empty()) return;
  view().setText("txtCli", picked);
  view().setText("lblCli", "");
}

// Choosing a client in the list makes it the client of the form.
void EditGrpDescontos::onChanged(std::string_view control) {
  if (!equalsNoCase(control, "cmbClientes")) return;
  const int index = view().listIndex("cmbClientes");
  if (index < 0 || index >= static_cast<int>(clientes_.size())) return;
  view().setText("txtCli", clientes_[static_cast<std::size_t>(index)]);
  view().setText("lblCli", vb::Mid(view().text("cmbClientes"), kCodeWidth + 1));
  carregarGrelha();
}

void EditGrpDescontos::onClick(std::string_view control) {
  if (equalsNoCase(control, "CmdConf"))
    gravar();
  else if (equalsNoCase(control, "CmdCancel"))
    view().hide();
  else if (equalsNoCase(control, "CmdPrint"))
    imprimir();
}

void EditGrpDescontos::gravar() {
  auto& grid = view().grid("grdGrpDesc");
  try {
    RedrawOff off(grid);
    const std::string client = view().text("txtCli");
    saveGroupValues(data(), *grid.model().recordset(), descontosDoCliente(client), {"CLIENTE", client}, "DESCONTO");
  } catch (const std::exception& error) {
    ui().msgBox(error.what(), vb::vbExclamation, "Problemas na Gravação");
    return;
  }
  ui().msgBox("Descontos por Cliente/Grupos actualizados com exito.", vb::vbInformation, "Desconto por Cliente/Grupo");
}

void EditGrpDescontos::imprimir() {
  try {
    std::vector<std::string> parametros(6);
    {
      CriteriosMapas criterios(ui(), [this](ui::Form& form) {
        return ui::FormDialog::viewOwning(std::make_unique<frmCriteriosMapas>(form, ui()));
      });
      criterios.setDataAccess(dataAccess());
      criterios.setMapa(2);
      criterios.Editar(Variant(owner()));
      if (criterios.Cancelou()) return;
      parametros[1] = criterios.Primeiro();
      parametros[2] = criterios.Ultimo();
      parametros[3] = criterios.GetParametro("VNDI");
      parametros[4] = criterios.GetParametro("VNDF");
    }
    // The report takes a blank for a range end left empty.
    for (std::size_t i = 1; i <= 4; ++i)
      if (parametros[i].empty()) parametros[i] = " ";
    // Printing ends the editing: what was not saved is lost.
    view().hide();
    imprimirFicheiro("\\qor_VT_DescontosClienteGrupo.rpt", parametros);
  } catch (const std::exception& error) {
    ui().showNumberedError(error, "Descontos Clientes/Grupo");
  }
}

const MemberTable<EditGrpDescontos>& EditGrpDescontos::members() {
  using Form = EditGrpDescontos;
  using Args = MemberTable<Form>::Args;
  static const auto table = editorMembers<Form>(true).sub(
      "Editar", [](Form& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1});
  return table;
}

}  // namespace quill

#include "extension/commissions/EditComGrp.h"

#include "extension/commissions/GroupGrid.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/MsgBox.h"

namespace quill {

namespace {

using namespace criterios;

std::string vendedores() {
  return std::string("SELECT       CODIGO, NOME ") + "FROM         VENDEDOR " + "ORDER BY     VENDEDOR.CODIGO ";
}

std::string gruposDoVendedor(const std::string& code) {
  return std::string("SELECT       GRUPOS.COD, GRUPOS.DESCR, U_QOR_COMGRUPOS.COMISSAO ") +
         "FROM         GRUPOS LEFT OUTER JOIN " +
         "             U_QOR_COMGRUPOS ON GRUPOS.COD = U_QOR_COMGRUPOS.GRUPO AND '" + sql::sqlQuote(code) +
         "' = U_QOR_COMGRUPOS.VENDEDOR " + "ORDER BY     GRUPOS.COD ";
}

std::string comissoesDoVendedor(const std::string& code) {
  return std::string("SELECT     * ") + "FROM       U_QOR_COMGRUPOS " + "WHERE      U_QOR_COMGRUPOS.VENDEDOR='" +
         sql::sqlQuote(code) + "' " + "ORDER BY   GRUPO ";
}

const GroupColumns kColunas{"Gupo", 1800, "Designação", 3200, "COMISSAO", "Comissão", 1300, "#,###.###0"};

// A rate is a percentage.
bool taxaValida(double rate) { return rate >= 0 && rate <= 100; }

}  // namespace

const std::vector<ui::ControlDef>& EditComGrp::controls() {
  static const std::vector<ui::ControlDef> controls = [] {
    ui::ControlDef list{"cmbLinhaPrc", ui::ControlKind::ComboBox};
    list.enterMovesOn = true;
    return std::vector<ui::ControlDef>{frame("gbx1"),
                                       label("Label1", "Vendedor"),
                                       list,
                                       {"grdLinPrecos", ui::ControlKind::Grid},
                                       button("CmdConf", "Confirma"),
                                       cancelButton("CmdCancel", "Cancela")};
  }();
  return controls;
}

EditComGrp::EditComGrp(ui::UiServices& ui, const ui::ViewFactory& makeView) : EditorForm(ui) {
  attach(makeView(*this));
  view().setCaption("Comissões por Grupo");
}

EditComGrp::~EditComGrp() = default;

void EditComGrp::Editar(const Variant&) {
  try {
    auto rs = data().OpenRecordset(vendedores());
    if (sql::noRows(rs.get())) {
      ui().msgBox("Não existem Vendedores definidos.", vb::vbInformation, "Comissões por Grupo");
      return;
    }
    vendedores_.clear();
    std::vector<std::string> names;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
      vendedores_.push_back(sql::fieldText(*rs, "CODIGO"));
      names.push_back(sql::fieldText(*rs, "NOME"));
    }
    view().setItems("cmbLinhaPrc", names);
    view().setListIndex("cmbLinhaPrc", 0);
    carregarGrelha();
    view().showModal(0);
  } catch (const std::exception& error) {
    ui().showNumberedError(error, errorTitle());
  }
}

// Names may repeat: the seller is told by its place in the list.
std::string EditComGrp::vendedor() const {
  const int index = view().listIndex("cmbLinhaPrc");
  if (index < 0 || index >= static_cast<int>(vendedores_.size())) throw vbError(vberr::SubscriptOutOfRange);
  return vendedores_[static_cast<std::size_t>(index)];
}

void EditComGrp::carregarGrelha() {
  auto groups = data().OpenRecordset(gruposDoVendedor(vendedor()));
  bindGroupGrid(view().grid("grdLinPrecos"), std::move(groups), kColunas, taxaValida);
}

void EditComGrp::onChanged(std::string_view control) {
  if (equalsNoCase(control, "cmbLinhaPrc")) carregarGrelha();
}

void EditComGrp::onClick(std::string_view control) {
  if (equalsNoCase(control, "CmdConf"))
    gravar();
  else if (equalsNoCase(control, "CmdCancel"))
    view().hide();
}

// A failure goes to the button's handler: "Erro " + number + " - " +
// description, and the form stays open.
void EditComGrp::gravar() {
  auto& grid = view().grid("grdLinPrecos");
  RedrawOff off(grid);
  const std::string seller = vendedor();
  const int written =
      saveGroupValues(data(), *grid.model().recordset(), comissoesDoVendedor(seller), {"VENDEDOR", seller}, "COMISSAO");
  if (written > 0) ui().msgBox("Alterações gravadas com êxito.", vb::vbOKOnly, kDefaultTitle);
}

const MemberTable<EditComGrp>& EditComGrp::members() {
  using Form = EditComGrp;
  using Args = MemberTable<Form>::Args;
  static const auto table =
      editorMembers<Form>(false)
          .propertyRef("NextApi",
                       [](Form& f, Args a) { f.setNextApi(a.back().isObject() ? a.back().objectValue() : nullptr); })
          .sub(
              "Editar", [](Form& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1});
  return table;
}

}  // namespace quill

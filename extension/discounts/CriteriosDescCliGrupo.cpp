#include "extension/discounts/CriteriosDescCliGrupo.h"

#include <QColor>

#include "extension/components/DataAccess.h"
#include "extension/components/LibraryFolder.h"
#include "extension/discounts/DescontosClienteGrupo.h"
#include "extension/discounts/ExportToExcel.h"
#include "extension/reports/CodeKinds.h"
#include "extension/reports/CriteriosControls.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/LongWork.h"
#include "platform/ui/PrintedTableDocument.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/MsgBox.h"

namespace quill {

using namespace criterios;

namespace {

constexpr const char* kCaption = "Mapa Descontos por Cliente Grupo";

// The grid's columns: widths in the grid's units (pixels).
ui::GridColumn gridColumn(const char* field, const char* caption, int width, bool shown, const char* format = "") {
  ui::GridColumn c;
  c.field = field;
  c.caption = caption;
  c.widthTwips = width * ui::kTwipsPerPixel;
  c.hidden = !shown;
  c.readOnly = true;
  c.format = format;
  return c;
}

const std::vector<ui::GridColumn>& gridColumns() {
  static const std::vector<ui::GridColumn> columns = {gridColumn("VND", "Vendedor", 100, false),
                                                      gridColumn("CLIENTE", "Cliente", 70, true),
                                                      gridColumn("NOME", "Nome", 260, true),
                                                      gridColumn("DESCCAB", "Desconto", 80, true, "0.0000"),
                                                      gridColumn("LINHA", "Linha", 110, false),
                                                      gridColumn("TIPOLINHA", "Tipo", 110, false),
                                                      gridColumn("C0", "", 150, true),
                                                      gridColumn("C1", "", 150, true),
                                                      gridColumn("C2", "", 150, true),
                                                      gridColumn("C3", "", 150, true),
                                                      gridColumn("C4", "", 150, true)};
  return columns;
}

bool isGroupCell(const ui::GridColumn& column) {
  return column.field.size() == 2 && column.field[0] == 'C' && column.field[1] >= '0' && column.field[1] <= '4';
}

std::string descriptionOf(const std::exception& error) {
  if (auto* automation = dynamic_cast<const AutomationError*>(&error)) return automation->description();
  return error.what();
}

}  // namespace

const std::vector<ui::ControlDef>& CriteriosDescCliGrupo::controls() {
  static const std::vector<ui::ControlDef> controls = {frame("grbxHeader"),
                                                       label("Label1", "Cliente Inicial"),
                                                       codeField("txtCliIni"),
                                                       descriptionField("txtCliIniDesc"),
                                                       label("Label2", "Cliente Final"),
                                                       codeField("txtCliFin"),
                                                       descriptionField("txtCliFinDesc"),
                                                       label("Label3", "Vendedor Inicial"),
                                                       codeField("txtVendIni"),
                                                       descriptionField("txtVendIniDesc"),
                                                       label("Label4", "Vendedor Final"),
                                                       codeField("txtVendFin"),
                                                       descriptionField("txtVendFinDesc"),
                                                       {kGrid, ui::ControlKind::Grid},
                                                       button("cmdImprimir", "Imprimir"),
                                                       button("CmdExportar", "Exportar"),
                                                       cancelButton("cmdSair", "Sair")};
  return controls;
}

CriteriosDescCliGrupo::CriteriosDescCliGrupo(ui::UiServices& ui, const ui::ViewFactory& makeView) : CriteriosForm(ui) {
  attach(makeView(*this));
  setButtons("", "cmdSair");
  addRange({"txtCliIni", "txtCliIniDesc", &kinds::clientes()}, {"txtCliFin", "txtCliFinDesc", &kinds::clientes()});
  addRange({"txtVendIni", "txtVendIniDesc", &kinds::vendedoresPorCodigo()},
           {"txtVendFin", "txtVendFinDesc", &kinds::vendedoresPorCodigo()});
  view().setCaption(kCaption);
}

CriteriosDescCliGrupo::~CriteriosDescCliGrupo() = default;

std::string CriteriosDescCliGrupo::editarErrorTitle() const { return kCaption; }

void CriteriosDescCliGrupo::prepare() {
  loading_ = true;
  setupColumns(DescontosClienteGrupo::emptyRows());
  for (const auto& range : ranges()) {
    view().setText(range.field, "");
    view().setText(range.description, "");
  }
  fillDefaults(ranges()[2], ranges()[3], true);  // sellers first, as the form always did
  fillDefaults(ranges()[0], ranges()[1], true);
  rebuild();
  loading_ = false;
}

void CriteriosDescCliGrupo::setupColumns(std::shared_ptr<sql::Recordset> rows) {
  rows_ = std::move(rows);
  ui::GridControl& grid = view().grid(kGrid);
  ui::RecordsetTableModel& model = grid.model();
  grid.setRedraw(false);
  model.setRecordset(rows_);
  model.setColumns(gridColumns());
  model.setGrouping({{"VND", [](const sql::Recordset& rs, std::size_t first) {
                        return vb::CStr(rs.valueAt(first, rs.fieldIndex("VND")));
                      }}});
  const std::size_t linha = rows_->fieldIndex("LINHA");
  const std::size_t tipo = rows_->fieldIndex("TIPOLINHA");
  model.setStyleFunction([rows = rows_.get(), linha, tipo](std::size_t position, const ui::GridColumn& column) {
    ui::RecordsetTableModel::CellStyle style;
    const Variant& line = rows->valueAt(position, linha);
    const Variant& kind = rows->valueAt(position, tipo);
    const bool firstLine = line.isNumeric() && vb::CLng(line) == 1;
    const bool nameLine = kind.isNumeric() && vb::CLng(kind) == 1;
    if (firstLine || (nameLine && isGroupCell(column))) {
      style.background = QColor(245, 245, 245);
      style.bold = true;
      style.pointSize = 9;
    } else if (kind.isNumeric() && vb::CLng(kind) == 2) {
      style.align = ui::GridColumn::Align::Center;
    }
    return style;
  });
  grid.applyColumns();
  grid.setRedraw(true);
}

void CriteriosDescCliGrupo::rebuild() {
  std::shared_ptr<sql::Recordset> rows;
  try {
    DescontosClienteGrupo report(data());
    ui::BusyCursor busy(ui());  // the clients statement, before the bar knows its total
    std::unique_ptr<ui::LongWork> bar;
    rows = report.build(view().text("txtVendIni"), view().text("txtVendFin"), view().text("txtCliIni"),
                        view().text("txtCliFin"), [&](std::size_t done, std::size_t total) {
                          if (!bar) bar = std::make_unique<ui::LongWork>(ui(), kCaption, total);
                          bar->step(done);
                          if (done % 200 == 0) ui().processEventsExceptInput();
                        });
  } catch (const std::exception& error) {
    ui().msgBox(descriptionOf(error), vb::vbExclamation, kBuildErrorTitle);
    rows = DescontosClienteGrupo::emptyRows();
  }
  setupColumns(std::move(rows));
}

bool CriteriosDescCliGrupo::onValidate(std::string_view control) {
  const bool accepted = CriteriosForm::onValidate(control);
  if (rangeOf(control) && !loading_) rebuild();
  return accepted;
}

void CriteriosDescCliGrupo::onLookup(std::string_view control) {
  RangeField* range = rangeOf(control);
  if (!range) return;
  const std::string before = view().text(range->field);
  CriteriosForm::onLookup(control);
  if (view().text(range->field) != before && !loading_) rebuild();
}

void CriteriosDescCliGrupo::onClick(std::string_view control) {
  if (equalsNoCase(control, "cmdImprimir"))
    print();
  else if (equalsNoCase(control, "CmdExportar"))
    exportToWorkbook();
  else
    CriteriosForm::onClick(control);
}

void CriteriosDescCliGrupo::print() {
  ui::ReportOutput::print(ui::tableDocumentOf(view().grid(kGrid).printedTable(), kPrintTitle), kDefaultFileName, ui(),
                          owner());
}

void CriteriosDescCliGrupo::exportToWorkbook() {
  ui::SaveFileRequest request;
  request.initialFileName = (libraryFolder() / kDefaultFileName).string();
  request.filter = "Ficheiros de excel (*.xls;*.xlsx)|*.xls;*.xlsx";
  auto file = ui().saveFileDialog(request);
  if (!file || file->empty()) return;
  {
    ui::BusyCursor busy(ui());
    ExportToExcel(view().grid(kGrid), *file, false, "", nullptr, ui());
  }
  ui().openWithDefaultProgram(*file);
}

const MemberTable<CriteriosDescCliGrupo>& CriteriosDescCliGrupo::members() {
  static const auto table = [] {
    MemberTable<CriteriosDescCliGrupo> t;
    addCriteriosMembers(t);
    return t;
  }();
  return table;
}

}  // namespace quill

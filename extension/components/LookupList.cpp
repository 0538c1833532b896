#include "extension/components/LookupList.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/sql/Connection.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/RecordsetSearch.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/FormView.h"
#include "platform/ui/GridChoice.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

namespace {

using ui::ControlDef;
using ui::ControlKind;

constexpr const char* kFilter = "txtProcura";
constexpr const char* kList = "grdLista";

// The window: the filter above the list, the buttons below.
class frmLookupList : public ui::FormDialog {
 public:
  frmLookupList(ui::Form& form, ui::UiServices& ui) : FormDialog(form, ui) {
    buildControls(LookupList::controls());
    auto* layout = new QVBoxLayout(this);
    auto& filter = widgetAs<QLineEdit>(kFilter);
    filter.setPlaceholderText("Procurar código ou nome");
    filter.setClearButtonEnabled(true);
    layout->addWidget(&filter);
    auto& list = widgetAs<ui::RecordsetGrid>(kList);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setAlternatingRowColors(true);
    list.horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(&list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(&widget("cmdOK"));
    buttons->addWidget(&widget("cmdCancelar"));
    layout->addLayout(buttons);
    widgetAs<QPushButton>("cmdOK").setDefault(true);  // Enter in the filter picks the current row
    resize(440, 420);
  }
};

}  // namespace

const std::vector<ControlDef>& LookupList::controls() {
  static const std::vector<ControlDef> controls = [] {
    std::vector<ControlDef> c(4);
    c[0] = {kFilter, ControlKind::TextField};
    c[0].changesAsTyped = true;
    c[1] = {kList, ControlKind::Grid};
    c[2] = {"cmdOK", ControlKind::Button, "OK"};
    c[3] = {"cmdCancelar", ControlKind::Button, "Cancelar"};
    c[3].causesValidation = false;
    return c;
  }();
  return controls;
}

LookupList::LookupList(ui::UiServices& ui) : Form(ui) {
  attach(ui::FormDialog::viewOwning(std::make_unique<frmLookupList>(*this, ui)));
}

LookupList::LookupList(ui::UiServices& ui, const ui::ViewFactory& makeView) : Form(ui) { attach(makeView(*this)); }

LookupList::~LookupList() = default;

void LookupList::setTitle(std::string_view title) { view().setCaption(title); }

void LookupList::load() {
  if (!connection_) throw vbError(vberr::ObjectNotSet, "LookupList");
  all_ = connection_->query(query_);
  narrow({});
}

void LookupList::setColumnWidth(int column, int twips) {
  auto& model = view().grid(kList).model();
  if (column < 1 || column > model.columnCount()) return;
  model.column(model.columns()[static_cast<std::size_t>(column - 1)].field).widthTwips = twips;
  view().grid(kList).applyColumns();
}

std::size_t LookupList::shownRows() const { return view().grid(kList).model().dataRowCount(); }

// The rows whose code or name holds the typed text, without regard to case.
void LookupList::narrow(std::string_view text) {
  if (!all_) return;
  auto& grid = view().grid(kList);
  auto& model = grid.model();
  std::vector<int> widths;
  for (const auto& c : model.columns()) widths.push_back(c.widthTwips);

  std::shared_ptr<sql::Recordset> shown = sql::rowsContaining(all_, text);
  grid.setRedraw(false);
  model.setRecordset(shown);
  for (std::size_t i = 0; i < model.columns().size(); ++i) {
    auto& column = model.column(model.columns()[i].field);
    column.readOnly = true;
    column.hidden = i >= 2;
    if (i < widths.size()) column.widthTwips = widths[i];
  }
  grid.applyColumns();
  grid.setCurrentRow(model.rowCount() > 0 ? 0 : -1);
  grid.setRedraw(true);
}

std::string LookupList::showModal(std::int32_t owner) {
  picked_.clear();
  view().setFocus(kFilter);
  view().showModal(owner);
  return picked_;
}

void LookupList::onChanged(std::string_view control) {
  if (control == kFilter) narrow(view().text(kFilter));
}

void LookupList::pick() {
  auto& grid = view().grid(kList);
  const auto position = ui::chosenPosition(grid);
  if (!position) return;
  picked_ = vb::CStr(grid.model().recordset()->valueAt(*position, 0));
  view().hide();
}

void LookupList::onClick(std::string_view control) {
  if (control == "cmdOK" || control == kList) {
    pick();
  } else if (control == "cmdCancelar") {
    picked_.clear();
    view().hide();
  }
}

}  // namespace quill

#include "host/CodeLookup.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/RecordsetSearch.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/GridChoice.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/RecordsetTableModel.h"

namespace quill::host {

namespace {

using ui::ControlDef;
using ui::ControlKind;

constexpr const char* kFilter = "txtProcura";
constexpr const char* kList = "grdLista";
constexpr int kCodeWidthTwips = 1500;
constexpr int kNameWidthTwips = 4500;

class frmProcurar : public ui::FormDialog {
 public:
  frmProcurar(ui::Form& form, ui::UiServices& ui) : FormDialog(form, ui) {
    setObjectName("frmProcurar");
    buildControls(CodeLookup::controls());
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QString::fromUtf8("Escreva parte do código ou do nome:"), this);
    layout->addWidget(hint);
    auto& filter = widgetAs<QLineEdit>(kFilter);
    filter.setClearButtonEnabled(true);
    hint->setBuddy(&filter);
    layout->addWidget(&filter);
    auto& list = widgetAs<ui::RecordsetGrid>(kList);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(&list, 1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (const char* name : {"cmdOK", "cmdCancelar"}) row->addWidget(&widget(name));
    layout->addLayout(row);
    // Enter in the filter picks the current row.
    widgetAs<QPushButton>("cmdOK").setDefault(true);
    resizeTwips(kCodeWidthTwips + kNameWidthTwips + 900, 6600);
  }

 protected:
  // What the field held is kept and typed on, not replaced by the first key.
  void showEvent(QShowEvent* event) override {
    FormDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
      auto& filter = widgetAs<QLineEdit>(kFilter);
      filter.deselect();
      filter.end(false);
    });
  }
};

}  // namespace

const std::vector<ControlDef>& CodeLookup::controls() {
  static const std::vector<ControlDef> controls = [] {
    std::vector<ControlDef> c{{kFilter, ControlKind::TextField},
                              {kList, ControlKind::Grid},
                              {"cmdOK", ControlKind::Button, "OK"},
                              {"cmdCancelar", ControlKind::Button, "Cancelar"}};
    c[0].changesAsTyped = true;
    c[3].causesValidation = false;
    return c;
  }();
  return controls;
}

CodeLookup::CodeLookup(ui::UiServices& ui, std::string_view title, std::shared_ptr<sql::Recordset> rows)
    : Form(ui), rows_(std::move(rows)) {
  attach(ui::FormDialog::viewOwning(std::make_unique<frmProcurar>(*this, ui)));
  view().setCaption(title);
}

CodeLookup::CodeLookup(ui::UiServices& ui, std::string_view title, std::shared_ptr<sql::Recordset> rows,
                       const ui::ViewFactory& makeView)
    : Form(ui), rows_(std::move(rows)) {
  attach(makeView(*this));
  view().setCaption(title);
}

CodeLookup::~CodeLookup() = default;

std::size_t CodeLookup::shownRows() const { return view().grid(kList).model().dataRowCount(); }

void CodeLookup::narrow(std::string_view text) {
  auto& grid = view().grid(kList);
  auto& model = grid.model();
  grid.setRedraw(false);
  model.setRecordset(sql::rowsContaining(rows_, text));
  const int widths[] = {kCodeWidthTwips, kNameWidthTwips};
  for (std::size_t i = 0; i < model.columns().size(); ++i) {
    auto& column = model.column(model.columns()[i].field);
    column.readOnly = true;
    column.hidden = i >= 2;
    if (i < 2) column.widthTwips = widths[i];
  }
  grid.applyColumns();
  grid.setCurrentRow(model.dataRowCount() > 0 ? 0 : -1);
  grid.setRedraw(true);
}

std::string CodeLookup::pick(std::int32_t owner, std::string_view typed) {
  picked_.clear();
  if (!rows_) return {};
  view().setText(kFilter, typed);
  narrow(typed);
  view().setFocus(kFilter);
  view().showModal(owner);
  return picked_;
}

void CodeLookup::choose() {
  auto& grid = view().grid(kList);
  const auto position = ui::chosenPosition(grid);
  if (!position) return;
  picked_ = sql::textOrEmpty(grid.model().recordset()->valueAt(*position, 0));
  view().hide();
}

void CodeLookup::onChanged(std::string_view control) {
  if (control == kFilter) narrow(view().text(kFilter));
}

void CodeLookup::onClick(std::string_view control) {
  if (control == "cmdOK" || control == kList) {
    choose();
  } else if (control == "cmdCancelar") {
    picked_.clear();
    view().hide();
  }
}

}  // namespace quill::host

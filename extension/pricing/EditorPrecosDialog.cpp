#include "extension/pricing/EditorPrecosDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "extension/pricing/EditAltLinPrecos.h"
#include "extension/pricing/EditAltPrecos.h"
#include "platform/ui/RecordsetGrid.h"

namespace quill {

namespace {
// In pixels.
constexpr int kCodeWidth = 110;
constexpr int kDescriptionWidth = 260;
}  // namespace

EditorPrecosDialog::EditorPrecosDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls,
                                       const Layout& layout)
    : FormDialog(form, ui) {
  buildControls(controls);

  auto* ranges = new QGridLayout(&widgetAs<QGroupBox>(layout.rangesFrame));
  int row = 0;
  for (const auto& r : layout.ranges) {
    ranges->addWidget(&widget(r[0]), row, 0);
    widget(r[1]).setFixedWidth(kCodeWidth);
    ranges->addWidget(&widget(r[1]), row, 1);
    widget(r[2]).setMinimumWidth(kDescriptionWidth);
    ranges->addWidget(&widget(r[2]), row, 2);
    ++row;
  }
  ranges->setColumnStretch(2, 1);

  auto* change = new QGridLayout(&widgetAs<QGroupBox>(layout.changeFrame));
  row = 0;
  for (const auto& r : layout.change) {
    for (std::size_t c = 0; c < r.size(); ++c) {
      QWidget& w = widget(r[c]);
      if (auto* list = qobject_cast<QListWidget*>(&w)) list->setMaximumHeight(64);
      if (auto* field = qobject_cast<QLineEdit*>(&w)) field->setFixedWidth(kCodeWidth);
      change->addWidget(&w, row, static_cast<int>(c));
    }
    ++row;
  }
  change->setRowStretch(row, 1);

  auto* header = new QHBoxLayout(&widgetAs<QGroupBox>(layout.header));
  header->addWidget(&widget(layout.rangesFrame), 3);
  header->addWidget(&widget(layout.changeFrame), 1);

  auto& grid = widgetAs<ui::RecordsetGrid>(layout.grid);
  grid.setFont(QFont("Verdana", 8));
  grid.horizontalHeader()->setFont(QFont("Segoe UI", 9));

  auto* buttons = new QHBoxLayout;
  for (const auto& b : layout.leftButtons) buttons->addWidget(&widget(b));
  buttons->addStretch(1);
  for (const auto& b : layout.rightButtons) buttons->addWidget(&widget(b));

  auto* main = new QVBoxLayout(this);
  main->addWidget(&widget(layout.header));
  main->addWidget(&grid, 1);
  main->addLayout(buttons);
  resizeTwips(16500, 10500);
}

frmEditAltPrecos::frmEditAltPrecos(ui::Form& form, ui::UiServices& ui)
    : EditorPrecosDialog(form, ui, EditAltPrecos::controls(),
                         {"grbxHeader",
                          "GroupBox1",
                          "GroupBox2",
                          "grdLinPrecos",
                          {{"Label1", "txtArtIni", "txtArtIniDesc"},
                           {"Label2", "txtArtFin", "txtArtFinDesc"},
                           {"Label3", "txtGrpIni", "txtGrpIniDescr"},
                           {"Label4", "txtGrpFin", "txtGrpFinDescr"}},
                          {{"Label5", "cbxTipo"},
                           {"Label6", "txtValor"},
                           {"Label7", "LbxPrecos"},
                           {"Label8", "dtpActivacao", "chkBxData"}},
                          {"cmdSelAll", "cmdUnselAll"},
                          {"CmdConf", "cmdImprimir", "cmdSair"}}) {}

frmEditAltLinPrecos::frmEditAltLinPrecos(ui::Form& form, ui::UiServices& ui)
    : EditorPrecosDialog(form, ui, EditAltLinPrecos::controls(),
                         {"grbxHeader",
                          "GroupBox1",
                          "GroupBox2",
                          "grdLinPrecos",
                          {{"Label1", "txtVendIni", "txtVendIniDesc"},
                           {"Label2", "txtVendFin", "txtVendFinDesc"},
                           {"Label3", "txtLinIni", "txtLinIniDesc"},
                           {"Label4", "txtLinFin", "txtLinFinDesc"},
                           {"Label5", "txtArtIni", "txtArtIniDesc"},
                           {"Label6", "txtArtFin", "txtArtFinDesc"}},
                          {{"Label7", "cbxTipo"}, {"Label8", "txtValor"}, {"Label9", "dtpActivacao", "chkBxData"}},
                          {"cmdSelAll", "cmdUnselAll"},
                          {"CmdConf", "cmdImprimir", "cmdSair"}}) {}

}  // namespace quill

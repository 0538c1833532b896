#include "extension/pricing/frmEditLinPrecos.h"

#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>

#include "extension/pricing/EditLinPrecos.h"
#include "platform/ui/GridColumn.h"
#include "platform/ui/RecordsetGrid.h"

namespace quill {

namespace {
// In pixels, except where said.
constexpr int kMargin = 10;
constexpr int kRowHeight = 24;
constexpr int kCaptionWidth = 100;
constexpr int kLineWidth = 70;
constexpr int kDescriptionWidth = 230;
constexpr int kListWidth = 200;
constexpr int kDateWidth = 110;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kFootTwips = 715;  // the band of the buttons under the grid
}  // namespace

frmEditLinPrecos::frmEditLinPrecos(ui::Form& form, ui::UiServices& ui) : FormDialog(form, ui) {
  buildControls(EditLinPrecos::controls());
  auto& descricao = widgetAs<QLabel>("lblLinPrc");
  descricao.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  descricao.setMargin(2);

  auto& grid = widgetAs<ui::RecordsetGrid>("grdLinPrecos");
  grid.setFont(QFont("Verdana", 8));
  grid.horizontalHeader()->setFont(QFont("Segoe UI", 9));
  grid.verticalHeader()->setDefaultSectionSize(grid.fontMetrics().height() + 6);

  setMinimumSize(560, 320);
  resize(ui::twipsToPixels(10200), ui::twipsToPixels(8200));
  layoutControls();
}

void frmEditLinPrecos::resizeEvent(QResizeEvent* event) {
  FormDialog::resizeEvent(event);
  layoutControls();
}

void frmEditLinPrecos::layoutControls() {
  const int foot = ui::twipsToPixels(kFootTwips);
  // The frame holds the line band and the grid, and stretches with the window.
  widget("gbx1").setGeometry(kMargin / 2, kMargin / 2, width() - kMargin, height() - foot - kMargin / 2);

  int y = kMargin + 18;
  int x = kMargin * 2;
  widget("Label1").setGeometry(x, y, kCaptionWidth, kRowHeight);
  x += kCaptionWidth;
  widget("txtLinPrc").setGeometry(x, y, kLineWidth, kRowHeight);
  x += kLineWidth + kMargin;
  widget("lblLinPrc").setGeometry(x, y, kDescriptionWidth, kRowHeight);
  x += kDescriptionWidth + kMargin;
  widget("cmbLinhaPrc").setGeometry(x, y, std::min(kListWidth, width() - x - kMargin * 2), kRowHeight);

  y += kRowHeight + kMargin;
  widget("Label2").setGeometry(kMargin * 2, y, kCaptionWidth, kRowHeight);
  widget("dtpDataInicio").setGeometry(kMargin * 2 + kCaptionWidth, y, kDateWidth, kRowHeight);

  y += kRowHeight + kMargin;
  widget("grdLinPrecos").setGeometry(kMargin * 2, y, width() - kMargin * 4, height() - foot - y - kMargin);

  const int buttonTop = height() - foot + (foot - kButtonHeight) / 2;
  int bx = width() - kMargin - 3 * kButtonWidth - 2 * 8;
  for (const char* name : {"CmdConf", "CmdPrint", "CmdCancel"}) {
    widget(name).setGeometry(bx, buttonTop, kButtonWidth, kButtonHeight);
    bx += kButtonWidth + 8;
  }
}

}  // namespace quill

#include "extension/commissions/GroupGridDialog.h"

#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QResizeEvent>
#include <algorithm>

#include "platform/ui/GridColumn.h"
#include "platform/ui/RecordsetGrid.h"

namespace quill {

namespace {
// In pixels.
constexpr int kMargin = 8;
constexpr int kStrip = 715 / ui::kTwipsPerPixel;  // the strip of the buttons
constexpr int kRowHeight = 24;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kGap = 8;
}  // namespace

GroupGridDialog::GroupGridDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls,
                                 Layout layout)
    : FormDialog(form, ui), layout_(std::move(layout)) {
  buildControls(controls);
  auto& grid = widgetAs<ui::RecordsetGrid>(layout_.grid);
  grid.setFont(QFont("Verdana", 8));
  grid.horizontalHeader()->setFont(QFont("Segoe UI", 9));
  grid.horizontalHeader()->setStretchLastSection(true);
  line1_ = new QFrame(this);
  line1_->setObjectName("Line1");
  line1_->setFrameShape(QFrame::HLine);
  line1_->setFrameShadow(QFrame::Sunken);
  line2_ = new QFrame(this);
  line2_->setObjectName("Line2");
  line2_->setFrameShape(QFrame::VLine);
  line2_->setFrameShadow(QFrame::Sunken);
  line2_->setVisible(!layout_.leftButtons.empty());
}

void GroupGridDialog::resizeEvent(QResizeEvent* event) {
  FormDialog::resizeEvent(event);
  layoutControls();
}

void GroupGridDialog::layoutControls() {
  const int w = width(), h = height();
  auto clamp = [](int v) { return std::max(v, 0); };
  const int frameHeight = clamp(h - kStrip - kMargin);
  widget(layout_.frame).setGeometry(kMargin, kMargin, clamp(w - 2 * kMargin), frameHeight);

  // Inside the frame (its children are the dialog's, placed over it).
  const int inner = 2 * kMargin;
  int y = kMargin + 2 * kMargin;
  for (const auto& row : layout_.keyRows) {
    int x = inner;
    for (const auto& field : row) {
      if (!field.name.empty()) widget(field.name).setGeometry(x, y, field.width, kRowHeight);
      x += field.width + kGap;
    }
    y += kRowHeight + kGap;
  }
  const int gridTop = y - kGap + kMargin;
  widget(layout_.grid)
      .setGeometry(inner, gridTop, clamp(w - 2 * inner), clamp(kMargin + frameHeight - kMargin - gridTop));

  const int stripTop = h - kStrip;
  line1_->setGeometry(kMargin, stripTop, clamp(w - 2 * kMargin), 2);
  const int buttonTop = stripTop + (kStrip - kButtonHeight) / 2;
  int x = kMargin;
  for (const auto& name : layout_.leftButtons) {
    widget(name).setGeometry(x, buttonTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kGap;
  }
  line2_->setGeometry(x, stripTop + 6, 2, clamp(kStrip - 12));
  x = w - kMargin - static_cast<int>(layout_.rightButtons.size()) * (kButtonWidth + kGap) + kGap;
  for (const auto& name : layout_.rightButtons) {
    widget(name).setGeometry(x, buttonTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kGap;
  }
}

}  // namespace quill

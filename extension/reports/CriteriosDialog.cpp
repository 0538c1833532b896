#include "extension/reports/CriteriosDialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <algorithm>

namespace quill {

namespace {
// In pixels.
constexpr int kMargin = 12;
constexpr int kCaptionWidth = 112;
constexpr int kFieldWidth = 110;
constexpr int kDescriptionWidth = 250;
constexpr int kRowHeight = 24;
constexpr int kPitch = 30;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
}  // namespace

CriteriosDialog::CriteriosDialog(ui::Form& form, ui::UiServices& ui, const std::vector<ui::ControlDef>& controls,
                                 std::vector<Row> rows, std::vector<std::string> buttons)
    : FormDialog(form, ui), rows_(std::move(rows)), buttons_(std::move(buttons)) {
  buildControls(controls);
  for (const Row& row : rows_) {
    if (row.description.empty()) continue;
    // A description reads as a box of its own, never typed into.
    if (auto* label = qobject_cast<QLabel*>(&widget(row.description))) {
      label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
      label->setMargin(2);
      label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
  }
  setFixedWidth(kMargin * 3 + kCaptionWidth + kFieldWidth + kDescriptionWidth + 8);
  resize(width(), naturalHeight());
}

void CriteriosDialog::setFrames(std::string rowsFrame, std::string buttonsFrame) {
  rowsFrame_ = std::move(rowsFrame);
  buttonsFrame_ = std::move(buttonsFrame);
  resize(width(), naturalHeight());
  layoutRows();
}

int CriteriosDialog::naturalHeight() const {
  int shown = 0;
  for (const Row& row : rows_)
    if (!widget(row.field).isHidden()) ++shown;
  const int frames = rowsFrame_.empty() ? 0 : 4 * kMargin;
  return kMargin + shown * kPitch + kMargin + kButtonHeight + kMargin + frames;
}

void CriteriosDialog::resizeEvent(QResizeEvent* event) {
  FormDialog::resizeEvent(event);
  layoutRows();
}

void CriteriosDialog::showEvent(QShowEvent* event) {
  FormDialog::showEvent(event);
  layoutRows();
}

void CriteriosDialog::layoutRows() {
  std::vector<const Row*> shown;
  for (const Row& row : rows_)
    if (!widget(row.field).isHidden()) shown.push_back(&row);

  // The buttons stay where the form put them, else at the foot.
  int buttonTop = buttons_.empty() ? 0 : widget(buttons_.front()).y();
  if (buttonTop <= 0 || buttonTop + kButtonHeight > height()) buttonTop = height() - kMargin - kButtonHeight;

  const int room = std::max(0, buttonTop - 2 * kMargin);
  const int pitch = shown.empty() ? kPitch : std::clamp(room / static_cast<int>(shown.size()), kRowHeight + 2, 40);
  int y = kMargin + std::max(0, (room - pitch * static_cast<int>(shown.size())) / 2);
  for (const Row* row : shown) {
    const int x = kMargin;
    if (!row->caption.empty()) widget(row->caption).setGeometry(x, y, kCaptionWidth, kRowHeight);
    widget(row->field).setGeometry(x + kCaptionWidth, y, kFieldWidth, kRowHeight);
    if (!row->description.empty())
      widget(row->description).setGeometry(x + kCaptionWidth + kFieldWidth + kMargin, y, kDescriptionWidth, kRowHeight);
    y += pitch;
  }
  if (!rowsFrame_.empty() && !shown.empty()) {
    const int top = widget(shown.front()->field).y() - kMargin;
    widget(rowsFrame_).setGeometry(kMargin / 2, top, width() - kMargin, y - pitch + kRowHeight + kMargin * 2 - top);
  }
  if (!buttonsFrame_.empty())
    widget(buttonsFrame_).setGeometry(kMargin / 2, buttonTop - kMargin / 2, width() - kMargin, kButtonHeight + kMargin);
  int x = width() - kMargin - kButtonWidth * static_cast<int>(buttons_.size()) -
          8 * static_cast<int>(buttons_.size() > 0 ? buttons_.size() - 1 : 0);
  for (const auto& name : buttons_) {
    widget(name).setGeometry(x, buttonTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth + 8;
  }
}

}  // namespace quill

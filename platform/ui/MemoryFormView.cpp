#include "platform/ui/MemoryFormView.h"

#include <algorithm>

#include "platform/sql/ValueOrder.h"
#include "platform/ui/Form.h"
#include "platform/ui/PrintedTable.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::ui {

namespace {
constexpr std::size_t kNoFocus = static_cast<std::size_t>(-1);

bool takesFocus(ControlKind kind) { return kind != ControlKind::Label && kind != ControlKind::Frame; }
}  // namespace

class MemoryFormView::MemoryGrid : public GridControl {
 public:
  RecordsetTableModel& model() override { return model_; }
  void applyColumns() override { model_.columnsChanged(); }
  void setRedraw(bool on) override { redraw_ = on; }
  bool redraw() const override { return redraw_; }
  PrintedTable printedTable() const override { return printedTableOf(model_); }
  int currentRow() const override { return current_ < model_.rowCount() ? current_ : -1; }
  void setCurrentRow(int row) override { current_ = row; }

 private:
  RecordsetTableModel model_;
  bool redraw_ = true;
  int current_ = -1;
};

struct MemoryFormView::Control {
  ControlDef def;
  std::string text;
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  int top = 0;
  std::vector<std::string> items;
  int index = -1;
  std::vector<bool> selected;
  std::unique_ptr<MemoryGrid> grid;
};

MemoryFormView::MemoryFormView(Form& form, std::vector<ControlDef> controls, std::string caption)
    : form_(form), caption_(std::move(caption)), focus_(kNoFocus) {
  for (auto& def : controls) {
    Control c;
    if (def.kind == ControlKind::Label || def.kind == ControlKind::Button || def.kind == ControlKind::CheckBox ||
        def.kind == ControlKind::Frame)
      c.text = def.caption;
    if (def.kind == ControlKind::Grid) c.grid = std::make_unique<MemoryGrid>();
    c.def = std::move(def);
    controls_.push_back(std::move(c));
  }
}

MemoryFormView::~MemoryFormView() = default;

MemoryFormView::Control& MemoryFormView::control(std::string_view name) {
  for (auto& c : controls_)
    if (sql::compareTextNoCase(c.def.name, name) == 0) return c;
  throwControlNotFound(name);
}

const MemoryFormView::Control& MemoryFormView::control(std::string_view name) const {
  return const_cast<MemoryFormView*>(this)->control(name);
}

void MemoryFormView::showModal(std::int32_t owner) {
  owner_ = owner;
  shown_ = true;
  ++timesShown_;
  // The first shown and enabled control takes the focus, as a window shows.
  focus_ = nextFocusable(kNoFocus);
  if (handlers_.empty()) {
    shown_ = false;
    return;
  }
  auto handler = std::move(handlers_.front());
  handlers_.pop_front();
  handler(*this);
  shown_ = false;
}

std::vector<std::string> MemoryFormView::controlNames() const {
  std::vector<std::string> names;
  for (const auto& c : controls_) names.push_back(c.def.name);
  return names;
}

bool MemoryFormView::hasControl(std::string_view name) const {
  return std::any_of(controls_.begin(), controls_.end(),
                     [&](const Control& c) { return sql::compareTextNoCase(c.def.name, name) == 0; });
}

ControlKind MemoryFormView::kind(std::string_view name) const { return control(name).def.kind; }
std::string MemoryFormView::tag(std::string_view name) const { return control(name).def.tag; }

std::string MemoryFormView::text(std::string_view name) const {
  const Control& c = control(name);
  if (c.def.kind == ControlKind::ComboBox || c.def.kind == ControlKind::ListBox)
    return c.index >= 0 && c.index < static_cast<int>(c.items.size()) ? c.items[static_cast<std::size_t>(c.index)]
                                                                      : std::string();
  return c.text;
}

void MemoryFormView::setText(std::string_view name, std::string_view text) {
  Control& c = control(name);
  if (c.def.kind == ControlKind::DatePicker) {
    const auto date = vb::parseDateText(text);
    if (date) c.text = vb::dateToText(vb::dateOnly(*date));
    return;
  }
  if (c.def.kind == ControlKind::ComboBox || c.def.kind == ControlKind::ListBox) {
    auto it = std::find(c.items.begin(), c.items.end(), text);
    if (it != c.items.end()) c.index = static_cast<int>(it - c.items.begin());
    return;
  }
  c.text = text;
}

bool MemoryFormView::isVisible(std::string_view name) const { return control(name).visible; }
void MemoryFormView::setVisible(std::string_view name, bool visible) { control(name).visible = visible; }
bool MemoryFormView::isEnabled(std::string_view name) const { return control(name).enabled; }
void MemoryFormView::setEnabled(std::string_view name, bool enabled) { control(name).enabled = enabled; }
void MemoryFormView::setTopTwips(std::string_view name, int top) { control(name).top = top; }
int MemoryFormView::topTwips(std::string_view name) const { return control(name).top; }

void MemoryFormView::setFocus(std::string_view name) {
  Control& c = control(name);
  focus_ = static_cast<std::size_t>(&c - controls_.data());
}

std::string MemoryFormView::focused() const { return focus_ < controls_.size() ? controls_[focus_].def.name : ""; }

bool MemoryFormView::isChecked(std::string_view name) const { return control(name).checked; }
void MemoryFormView::setChecked(std::string_view name, bool checked) { control(name).checked = checked; }

void MemoryFormView::setItems(std::string_view name, const std::vector<std::string>& items) {
  Control& c = control(name);
  c.items = items;
  c.index = -1;
  c.selected.assign(items.size(), false);
}

std::vector<std::string> MemoryFormView::items(std::string_view name) const { return control(name).items; }
int MemoryFormView::listIndex(std::string_view name) const { return control(name).index; }

void MemoryFormView::setListIndex(std::string_view name, int index) {
  Control& c = control(name);
  c.index = index >= 0 && index < static_cast<int>(c.items.size()) ? index : -1;
}

bool MemoryFormView::isSelected(std::string_view name, int index) const {
  const Control& c = control(name);
  return index >= 0 && index < static_cast<int>(c.selected.size()) && c.selected[static_cast<std::size_t>(index)];
}

void MemoryFormView::setSelected(std::string_view name, int index, bool selected) {
  Control& c = control(name);
  if (index >= 0 && index < static_cast<int>(c.selected.size())) c.selected[static_cast<std::size_t>(index)] = selected;
}

GridControl& MemoryFormView::grid(std::string_view name) {
  Control& c = control(name);
  if (!c.grid) throwControlNotFound(name);
  return *c.grid;
}

// ---- Playing the user ----

bool MemoryFormView::usable(const Control& c) const { return c.visible && c.enabled; }

bool MemoryFormView::focusable(const Control& c) const { return takesFocus(c.def.kind) && usable(c); }

std::size_t MemoryFormView::nextFocusable(std::size_t from) const {
  const std::size_t n = controls_.size();
  for (std::size_t step = 1; step <= n; ++step) {
    const std::size_t i = from == kNoFocus ? step - 1 : (from + step) % n;
    // As Tab in the window: a field shown and not typed into is passed by.
    if (focusable(controls_[i]) && !controls_[i].def.readOnly) return i;
  }
  return kNoFocus;
}

bool MemoryFormView::moveFocus(std::size_t to) {
  if (to == focus_) return true;
  const bool validates = to == kNoFocus || controls_[to].def.causesValidation;
  if (focus_ < controls_.size() && validates) {
    const auto kindLeft = controls_[focus_].def.kind;
    if ((kindLeft == ControlKind::CodeField || kindLeft == ControlKind::TextField) && !controls_[focus_].def.readOnly &&
        !form_.validate(controls_[focus_].def.name))
      return false;
  }
  focus_ = to;
  return true;
}

bool MemoryFormView::userType(std::string_view name, std::string_view text) {
  Control& c = control(name);
  const auto index = static_cast<std::size_t>(&c - controls_.data());
  if (!focusable(c) || c.def.readOnly) return false;
  if (!moveFocus(index)) return false;
  c.text = text;
  if (c.def.changesAsTyped) form_.changed(c.def.name);
  return moveFocus(nextFocusable(index));
}

bool MemoryFormView::userKey(std::string_view name, std::string_view key) {
  Control& c = control(name);
  const auto index = static_cast<std::size_t>(&c - controls_.data());
  if (!focusable(c)) return false;
  if (!moveFocus(index)) return false;
  const std::string k = vb::UCase(key);
  if (k == "TAB") return moveFocus(nextFocusable(index));
  if (k == "ENTER") {
    if (c.def.enterMovesOn) return moveFocus(nextFocusable(index));
    if (c.def.kind == ControlKind::Button || c.def.kind == ControlKind::Grid) form_.click(c.def.name);
    return true;
  }
  if (k == "CTRL+L") {
    if (c.def.kind == ControlKind::CodeField) form_.lookup(c.def.name);
    return true;
  }
  if (k == "SPACE") {
    if (c.def.kind == ControlKind::Button) form_.click(c.def.name);
    if (c.def.kind == ControlKind::CheckBox) {
      c.checked = !c.checked;
      form_.changed(c.def.name);
    }
    return true;
  }
  if (k == "ESC") {
    form_.escape(c.def.name);
    return true;
  }
  return true;
}

bool MemoryFormView::userClick(std::string_view name) {
  Control& c = control(name);
  if (!usable(c)) return false;
  const auto index = static_cast<std::size_t>(&c - controls_.data());
  if (!moveFocus(index)) return false;
  if (c.def.kind == ControlKind::CheckBox) {
    c.checked = !c.checked;
    form_.changed(c.def.name);
  } else {
    form_.click(c.def.name);
  }
  return true;
}

bool MemoryFormView::userChoose(std::string_view name, std::string_view entry) {
  Control& c = control(name);
  if (!focusable(c)) return false;
  if (c.grid) {
    const int row = c.grid->model().findRow(entry);
    if (row < 0 || !moveFocus(static_cast<std::size_t>(&c - controls_.data()))) return false;
    c.grid->setCurrentRow(row);
    return true;
  }
  int found = -1;
  for (std::size_t i = 0; i < c.items.size(); ++i)
    if (c.items[i] == entry) found = static_cast<int>(i);
  if (found < 0 && !entry.empty() &&
      std::all_of(entry.begin(), entry.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
    found = std::stoi(std::string(entry));
  if (found < 0 || found >= static_cast<int>(c.items.size())) return false;
  if (!moveFocus(static_cast<std::size_t>(&c - controls_.data()))) return false;
  if (c.def.kind == ControlKind::ListBox && c.def.multiSelect)
    c.selected[static_cast<std::size_t>(found)] = !c.selected[static_cast<std::size_t>(found)];
  c.index = found;
  form_.changed(c.def.name);
  return true;
}

bool MemoryFormView::userPickDate(std::string_view name, std::string_view date) {
  Control& c = control(name);
  const auto parsed = vb::parseDateText(date);
  if (!focusable(c) || !parsed) return false;
  if (!moveFocus(static_cast<std::size_t>(&c - controls_.data()))) return false;
  const std::string before = c.text;
  c.text = vb::dateToText(vb::dateOnly(*parsed));
  if (c.text != before) form_.changed(c.def.name);
  return true;
}

bool MemoryFormView::userToggleCheck(std::string_view name) { return userClick(name); }

bool MemoryFormView::userEditCell(std::string_view gridName, int row, std::string_view field, std::string_view text) {
  Control& c = control(gridName);
  if (!c.grid || !focusable(c)) return false;
  if (!moveFocus(static_cast<std::size_t>(&c - controls_.data()))) return false;
  auto& model = c.grid->model();
  const auto column = model.columnOf(field);
  if (!column) return false;
  return model.editCell(row, *column, QString::fromStdString(std::string(text)));
}

bool MemoryFormView::userToggleMark(std::string_view gridName, int row) {
  Control& c = control(gridName);
  if (!c.grid || !focusable(c)) return false;
  if (!moveFocus(static_cast<std::size_t>(&c - controls_.data()))) return false;
  const auto position = c.grid->model().positionOf(row);
  if (!position) return false;
  c.grid->model().toggleMark(*position);
  return true;
}

void MemoryFormView::userClose() { form_.closeRequested(); }

}  // namespace quill::ui

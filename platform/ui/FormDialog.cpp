#include "platform/ui/FormDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cctype>

#include "platform/sql/ValueOrder.h"
#include "platform/ui/CodeField.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Form.h"
#include "platform/ui/PrintedTable.h"
#include "platform/ui/RecordsetGrid.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Strings.h"

namespace quill::ui {

namespace {

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }
std::string s(const QString& text) { return text.toStdString(); }

bool takesFocus(ControlKind kind) { return kind != ControlKind::Label && kind != ControlKind::Frame; }

bool isEnterKey(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

void sendKey(QWidget& widget, int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(&widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(&widget, &release);
}

class WidgetGrid : public GridControl {
 public:
  explicit WidgetGrid(RecordsetGrid& grid) : grid_(grid) {}
  RecordsetTableModel& model() override { return grid_.gridModel(); }
  void applyColumns() override { grid_.applyColumns(); }
  void setRedraw(bool on) override { grid_.setRedraw(on); }
  bool redraw() const override { return grid_.redraw(); }
  PrintedTable printedTable() const override { return grid_.printedTable(); }
  int currentRow() const override { return grid_.currentIndex().isValid() ? grid_.currentIndex().row() : -1; }
  void setCurrentRow(int row) override {
    const int column = std::max(0, grid_.currentIndex().column());
    grid_.setCurrentIndex(grid_.gridModel().index(row, column));
  }

 private:
  RecordsetGrid& grid_;
};

}  // namespace

// The dialog's widgets as the form's FormView.
class WidgetFormView : public FormView {
 public:
  explicit WidgetFormView(FormDialog& dialog, std::unique_ptr<FormDialog> owned = nullptr)
      : d_(dialog), owned_(std::move(owned)) {
    d_.view_ = this;
  }
  ~WidgetFormView() override {
    if (d_.view_ == this) d_.view_ = nullptr;
  }

  std::string caption() const override { return s(d_.windowTitle()); }
  void setCaption(std::string_view caption) override { d_.setWindowTitle(q(caption)); }
  void setHeightTwips(int height) override { d_.resize(d_.width(), twipsToPixels(height)); }
  int heightTwips() const override { return d_.height() * kTwipsPerPixel; }
  void showModal(std::int32_t owner) override { d_.ui_.showModal(d_, owner); }
  void hide() override { d_.hide(); }
  bool isShown() const override { return d_.isVisible(); }

  std::vector<std::string> controlNames() const override {
    std::vector<std::string> names;
    for (const auto& e : d_.entries_) names.push_back(e.def.name);
    return names;
  }
  bool hasControl(std::string_view name) const override {
    return std::any_of(d_.entries_.begin(), d_.entries_.end(),
                       [&](const auto& e) { return sql::compareTextNoCase(e.def.name, name) == 0; });
  }
  ControlKind kind(std::string_view name) const override { return d_.entry(name).def.kind; }
  std::string tag(std::string_view name) const override { return d_.entry(name).def.tag; }

  std::string text(std::string_view name) const override {
    QWidget* w = d_.entry(name).widget;
    if (auto* e = qobject_cast<QLineEdit*>(w)) return s(e->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return s(l->text());
    if (auto* p = qobject_cast<DatePicker*>(w)) return p->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return s(c->currentText());
    if (auto* l = qobject_cast<QListWidget*>(w)) return l->currentItem() ? s(l->currentItem()->text()) : "";
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return s(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return s(g->title());
    return {};
  }
  void setText(std::string_view name, std::string_view text) override {
    QWidget* w = d_.entry(name).widget;
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->setText(q(text));
    if (auto* l = qobject_cast<QLabel*>(w)) return l->setText(q(text));
    if (auto* p = qobject_cast<DatePicker*>(w)) {
      p->setText(text);
      return;
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
      const int i = c->findText(q(text));
      if (i >= 0) c->setCurrentIndex(i);
      return;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->setText(q(text));
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->setTitle(q(text));
  }
  bool isVisible(std::string_view name) const override { return !d_.entry(name).widget->isHidden(); }
  void setVisible(std::string_view name, bool visible) override { d_.entry(name).widget->setVisible(visible); }
  bool isEnabled(std::string_view name) const override { return d_.entry(name).widget->isEnabled(); }
  void setEnabled(std::string_view name, bool enabled) override { d_.entry(name).widget->setEnabled(enabled); }
  void setTopTwips(std::string_view name, int top) override {
    QWidget* w = d_.entry(name).widget;
    w->move(w->x(), twipsToPixels(top));
  }
  void setFocus(std::string_view name) override { d_.entry(name).widget->setFocus(Qt::OtherFocusReason); }
  // The control with the focus, or the one holding the focused widget (a
  // combo's editor); a frame that holds controls is not the control focused.
  std::string focused() const override {
    QWidget* f = d_.focusWidget();
    if (!f) return {};
    for (QWidget* w = f; w && w != &d_; w = w->parentWidget())
      for (const auto& e : d_.entries_)
        if (e.widget == w) return e.def.name;
    return {};
  }

  bool isChecked(std::string_view name) const override {
    auto* b = qobject_cast<QAbstractButton*>(d_.entry(name).widget);
    return b && b->isChecked();
  }
  void setChecked(std::string_view name, bool checked) override {
    if (auto* b = qobject_cast<QAbstractButton*>(d_.entry(name).widget)) b->setChecked(checked);
  }
  void setItems(std::string_view name, const std::vector<std::string>& items) override {
    QWidget* w = d_.entry(name).widget;
    QStringList list;
    for (const auto& i : items) list << q(i);
    quiet([&] {
      if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->clear();
        c->addItems(list);
        c->setCurrentIndex(-1);
      } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        l->clear();
        l->addItems(list);
      }
    });
  }
  std::vector<std::string> items(std::string_view name) const override {
    std::vector<std::string> out;
    QWidget* w = d_.entry(name).widget;
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) out.push_back(s(c->itemText(i)));
    if (auto* l = qobject_cast<QListWidget*>(w))
      for (int i = 0; i < l->count(); ++i) out.push_back(s(l->item(i)->text()));
    return out;
  }
  int listIndex(std::string_view name) const override {
    QWidget* w = d_.entry(name).widget;
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentIndex();
    if (auto* l = qobject_cast<QListWidget*>(w)) return l->currentRow();
    return -1;
  }
  void setListIndex(std::string_view name, int index) override {
    QWidget* w = d_.entry(name).widget;
    quiet([&] {
      if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentIndex(index);
      if (auto* l = qobject_cast<QListWidget*>(w)) l->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    });
  }
  bool isSelected(std::string_view name, int index) const override {
    auto* l = qobject_cast<QListWidget*>(d_.entry(name).widget);
    return l && index >= 0 && index < l->count() && l->item(index)->isSelected();
  }
  void setSelected(std::string_view name, int index, bool selected) override {
    auto* l = qobject_cast<QListWidget*>(d_.entry(name).widget);
    if (l && index >= 0 && index < l->count()) quiet([&] { l->item(index)->setSelected(selected); });
  }
  GridControl& grid(std::string_view name) override {
    const auto& e = d_.entry(name);
    auto* g = qobject_cast<RecordsetGrid*>(e.widget);
    if (!g) throwControlNotFound(name);
    auto& adapter = grids_[g];
    if (!adapter) adapter = std::make_unique<WidgetGrid>(*g);
    return *adapter;
  }

  // ---- Playing the user ----

  bool userType(std::string_view name, std::string_view text) override {
    const auto& e = d_.entry(name);
    auto* field = qobject_cast<QLineEdit*>(e.widget);
    if (!field || !usable(e) || field->isReadOnly()) return false;
    if (!moveFocusTo(e)) return false;
    field->setText(q(text));
    if (e.def.changesAsTyped) emit field->textEdited(field->text());
    return moveOn(e);
  }

  bool userKey(std::string_view name, std::string_view key) override {
    const auto& e = d_.entry(name);
    if (!usable(e)) return false;
    if (!moveFocusTo(e)) return false;
    const std::string k = vb::UCase(key);
    if (k == "TAB") return moveOn(e);
    if (k == "ENTER") {
      if (e.def.enterMovesOn) return moveOn(e);
      sendKey(*e.widget, Qt::Key_Return, Qt::NoModifier, "\r");
      return true;
    }
    if (k == "CTRL+L")
      sendKey(*e.widget, Qt::Key_L, Qt::ControlModifier, "\x0c");
    else if (k == "SPACE")
      sendKey(*e.widget, Qt::Key_Space, Qt::NoModifier, " ");
    else if (k == "ESC")
      sendKey(*e.widget, Qt::Key_Escape, Qt::NoModifier);
    else if (k == "F4")
      sendKey(*e.widget, Qt::Key_F4, Qt::NoModifier);
    else
      return false;
    return true;
  }

  bool userClick(std::string_view name) override {
    const auto& e = d_.entry(name);
    auto* button = qobject_cast<QAbstractButton*>(e.widget);
    if (!button || !usable(e)) return false;
    if (!moveFocusTo(e)) return false;
    button->click();
    return true;
  }

  bool userChoose(std::string_view name, std::string_view entry) override {
    const auto& e = d_.entry(name);
    if (!usable(e)) return false;
    if (auto* g = qobject_cast<RecordsetGrid*>(e.widget)) {
      const int row = g->gridModel().findRow(entry);
      if (row < 0 || !moveFocusTo(e)) return false;
      grid(name).setCurrentRow(row);
      return true;
    }
    const auto list = items(name);
    int found = -1;
    for (std::size_t i = 0; i < list.size(); ++i)
      if (list[i] == entry) found = static_cast<int>(i);
    if (found < 0 && !entry.empty() &&
        std::all_of(entry.begin(), entry.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      found = std::stoi(std::string(entry));
    if (found < 0 || found >= static_cast<int>(list.size())) return false;
    if (!moveFocusTo(e)) return false;
    if (auto* c = qobject_cast<QComboBox*>(e.widget)) {
      c->setCurrentIndex(found);
      emit c->activated(found);
    } else if (auto* l = qobject_cast<QListWidget*>(e.widget)) {
      if (e.def.multiSelect) {
        QListWidgetItem* item = l->item(found);
        item->setSelected(!item->isSelected());
      } else {
        l->setCurrentRow(found);
      }
    }
    return true;
  }

  bool userPickDate(std::string_view name, std::string_view date) override {
    const auto& e = d_.entry(name);
    auto* picker = qobject_cast<DatePicker*>(e.widget);
    const auto parsed = vb::parseDateText(date);
    if (!picker || !usable(e) || !parsed) return false;
    if (!moveFocusTo(e)) return false;
    picker->pick(*parsed);
    return true;
  }

  bool userToggleCheck(std::string_view name) override { return userClick(name); }

  bool userEditCell(std::string_view gridName, int row, std::string_view field, std::string_view text) override {
    const auto& e = d_.entry(gridName);
    auto* g = qobject_cast<RecordsetGrid*>(e.widget);
    if (!g || !usable(e) || !moveFocusTo(e)) return false;
    return g->typeInto(row, field, q(text));
  }

  bool userToggleMark(std::string_view gridName, int row) override {
    const auto& e = d_.entry(gridName);
    auto* g = qobject_cast<RecordsetGrid*>(e.widget);
    if (!g || !usable(e) || !moveFocusTo(e)) return false;
    const auto position = g->gridModel().positionOf(row);
    if (!position) return false;
    g->gridModel().toggleMark(*position);
    return true;
  }

  void userClose() override { d_.close(); }

 private:
  using Entry = FormDialog::Entry;

  template <typename F>
  void quiet(F change) {
    const bool before = d_.quietLists_;
    d_.quietLists_ = true;
    change();
    d_.quietLists_ = before;
  }

  bool usable(const Entry& e) const { return e.widget->isVisibleTo(&d_) && e.widget->isEnabled(); }

  // The focus change a user's click or Tab makes: the field left validates
  // (unless the control taking the focus does not cause validation).
  bool moveFocusTo(const Entry& target) {
    QWidget* current = d_.focusWidget();
    if (current == target.widget || target.widget->isAncestorOf(current)) return true;
    if (auto* field = qobject_cast<CodeField*>(current);
        field && causesValidation(target.widget) && !field->isReadOnly()) {
      if (!field->leave()) return false;
      field->skipNextLeave();
    }
    target.widget->setFocus(Qt::OtherFocusReason);
    return true;
  }

  // Leaving a control as Tab does: to the next shown, enabled one.
  bool moveOn(const Entry& from) {
    const auto& entries = d_.entries_;
    auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.widget == from.widget; });
    for (std::size_t step = 1; step <= entries.size(); ++step) {
      const Entry& next = entries[(static_cast<std::size_t>(it - entries.begin()) + step) % entries.size()];
      if (!takesFocus(next.def.kind) || !usable(next) || next.def.readOnly) continue;
      return moveFocusTo(next);
    }
    // Nothing else takes the focus: leaving still validates.
    if (auto* field = qobject_cast<CodeField*>(from.widget)) return field->leave();
    return true;
  }

  FormDialog& d_;
  std::map<QWidget*, std::unique_ptr<WidgetGrid>> grids_;
  std::unique_ptr<FormDialog> owned_;
};

FormDialog::FormDialog(Form& form, UiServices& ui, QWidget* parent) : QDialog(parent), form_(form), ui_(ui) {
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

// The form may be going away with its window: nothing the widgets do while
// they are destroyed reaches it.
FormDialog::~FormDialog() {
  for (const auto& e : entries_) {
    e.widget->blockSignals(true);
    if (auto* field = qobject_cast<CodeField*>(e.widget)) {
      field->setValidator({});
      field->setLookup({});
    }
  }
}

const FormDialog::Entry& FormDialog::entry(std::string_view name) const {
  for (const auto& e : entries_)
    if (sql::compareTextNoCase(e.def.name, name) == 0) return e;
  throwControlNotFound(name);
}

QWidget& FormDialog::widget(std::string_view name) const { return *entry(name).widget; }

std::unique_ptr<FormView> FormDialog::makeView() { return std::make_unique<WidgetFormView>(*this); }

std::unique_ptr<FormView> FormDialog::viewOwning(std::unique_ptr<FormDialog> dialog) {
  FormDialog& d = *dialog;
  return std::make_unique<WidgetFormView>(d, std::move(dialog));
}

void FormDialog::resizeTwips(int width, int height) { resize(twipsToPixels(width), twipsToPixels(height)); }

void FormDialog::buildControls(const std::vector<ControlDef>& controls) {
  for (const ControlDef& def : controls) {
    QWidget* w = nullptr;
    const std::string name = def.name;
    switch (def.kind) {
      case ControlKind::Label:
        w = new QLabel(q(def.caption), this);
        break;
      case ControlKind::TextField:
      case ControlKind::CodeField: {
        auto* field = new CodeField(this);
        field->setText(q(def.caption));
        field->setReadOnly(def.readOnly);
        field->setEnterMovesOn(def.enterMovesOn);
        if (!def.readOnly) field->setValidator([this, name](CodeField&) { return form_.validate(name); });
        if (def.kind == ControlKind::CodeField) field->setLookup([this, name](CodeField&) { form_.lookup(name); });
        if (def.changesAsTyped) connect(field, &QLineEdit::textEdited, this, [this, name] { form_.changed(name); });
        w = field;
        break;
      }
      case ControlKind::DatePicker: {
        auto* picker = new DatePicker(this);
        connect(picker, &DatePicker::userChanged, this, [this, name] { form_.changed(name); });
        w = picker;
        break;
      }
      case ControlKind::Button: {
        auto* button = new QPushButton(q(def.caption), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, name] { form_.click(name); });
        w = button;
        break;
      }
      case ControlKind::CheckBox: {
        auto* box = new QCheckBox(q(def.caption), this);
        connect(box, &QCheckBox::clicked, this, [this, name] { form_.changed(name); });
        w = box;
        break;
      }
      case ControlKind::ComboBox: {
        auto* combo = new QComboBox(this);
        connect(combo, &QComboBox::activated, this, [this, name] { form_.changed(name); });
        w = combo;
        break;
      }
      case ControlKind::ListBox: {
        auto* list = new QListWidget(this);
        list->setSelectionMode(def.multiSelect ? QAbstractItemView::MultiSelection
                                               : QAbstractItemView::SingleSelection);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, name] {
          if (!quietLists_) form_.changed(name);
        });
        w = list;
        break;
      }
      case ControlKind::Grid:
        w = new RecordsetGrid(this);
        break;
      case ControlKind::Frame:
        w = new QGroupBox(q(def.caption), this);
        break;
    }
    w->setObjectName(q(def.name));
    if (!def.causesValidation) w->setProperty(CodeField::kCausesValidation, false);
    // Enter moves on in pickers and lists that say so; fields do it themselves.
    if (def.enterMovesOn && def.kind != ControlKind::TextField && def.kind != ControlKind::CodeField)
      w->installEventFilter(this);
    entries_.push_back(Entry{def, w});
  }
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent*>(event))) {
    if (auto* w = qobject_cast<QWidget*>(watched)) {
      QWidget* next = w->nextInFocusChain();
      while (next != w && !((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(this) && next->isEnabled()))
        next = next->nextInFocusChain();
      next->setFocus(Qt::TabFocusReason);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void FormDialog::reject() { form_.closeRequested(); }

// Esc goes to the form first, with the control it was pressed in.
void FormDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
    QDialog::keyPressEvent(event);
    return;
  }
  std::string control;
  for (QWidget* w = focusWidget(); w && w != this && control.empty(); w = w->parentWidget())
    for (const auto& e : entries_)
      if (e.widget == w) control = e.def.name;
  event->accept();
  form_.escape(control);
}

void FormDialog::closeEvent(QCloseEvent* event) {
  form_.closeRequested();
  // The form decides: hidden means closed.
  if (isVisible())
    event->ignore();
  else
    event->accept();
}

}  // namespace quill::ui

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quill::ui {

class RecordsetTableModel;
struct PrintedTable;
class Form;

// The kinds of control the system's forms are made of.
enum class ControlKind {
  Label,       // a caption or a description beside a field
  TextField,   // free text (a description field, a value)
  CodeField,   // a code with a lookup (Ctrl+L) and validation when left
  DatePicker,  // a date, read back as text in the regional short date form
  Button,
  CheckBox,
  ComboBox,  // a drop-down list of entries
  ListBox,   // a list; multiSelect lists select several entries
  Grid,      // a grid bound to a recordset
  Frame,     // a group box, for layout only
};

// One control of a form: its name (the system's own), kind, caption, and
// Tag (a key the form's code looks controls up by).
struct ControlDef {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string caption;
  std::string tag;
  bool multiSelect = false;      // ListBox
  bool causesValidation = true;  // false: taking the focus does not validate the control left (Cancel)
  bool enterMovesOn = false;     // Enter is discarded and the focus moves on, as Tab
  bool readOnly = false;         // a text field shown, not typed into
  bool changesAsTyped = false;   // a text field whose every edit raises changed (a filter)
};

// A grid control as form code uses it.
class GridControl {
 public:
  virtual ~GridControl() = default;
  virtual RecordsetTableModel& model() = 0;
  // Lays the model's column settings out (after they are all set).
  virtual void applyColumns() = 0;
  virtual void setRedraw(bool on) = 0;
  virtual bool redraw() const = 0;
  // What the grid shows, as a table to print.
  virtual PrintedTable printedTable() const = 0;
  // The row the user is on (-1: none), as the model counts rows.
  virtual int currentRow() const = 0;
  virtual void setCurrentRow(int row) = 0;
};

// The controls of one form, by name, as the form's code sees them, whatever
// shows them: the dialog's widgets, or memory in tests. Names match without
// regard to case. Asking for a control the form does not have raises
// "Control not found" (730).
//
// text() is what a control shows: a field's text, a label's or a button's
// caption, a picker's date as text, a combo's chosen entry. setText() writes
// it; a picker takes any text CDate reads.
//
// The "user" members play the user, for tests and scripts: they act as the
// user's keys and clicks do, with the validation, lookups and events that
// follow. They answer false when the form refused the action (a value that
// kept the focus, a disabled or hidden control).
class FormView {
 public:
  virtual ~FormView() = default;

  // ---- The form ----
  virtual std::string caption() const = 0;
  virtual void setCaption(std::string_view caption) = 0;
  virtual void setHeightTwips(int height) = 0;
  virtual int heightTwips() const = 0;
  // Shows the form modally over the owner window; returns once it is hidden.
  virtual void showModal(std::int32_t owner) = 0;
  virtual void hide() = 0;
  virtual bool isShown() const = 0;

  // ---- Controls ----
  // Every control, in the form's order.
  virtual std::vector<std::string> controlNames() const = 0;
  virtual bool hasControl(std::string_view name) const = 0;
  virtual ControlKind kind(std::string_view name) const = 0;
  virtual std::string tag(std::string_view name) const = 0;
  virtual std::string text(std::string_view name) const = 0;
  virtual void setText(std::string_view name, std::string_view text) = 0;
  virtual bool isVisible(std::string_view name) const = 0;
  virtual void setVisible(std::string_view name, bool visible) = 0;
  virtual bool isEnabled(std::string_view name) const = 0;
  virtual void setEnabled(std::string_view name, bool enabled) = 0;
  virtual void setTopTwips(std::string_view name, int top) = 0;
  virtual void setFocus(std::string_view name) = 0;
  // The control that has the focus; empty when none has.
  virtual std::string focused() const = 0;

  // Check boxes
  virtual bool isChecked(std::string_view name) const = 0;
  virtual void setChecked(std::string_view name, bool checked) = 0;
  // Combo and list boxes
  virtual void setItems(std::string_view name, const std::vector<std::string>& items) = 0;
  virtual std::vector<std::string> items(std::string_view name) const = 0;
  virtual int listIndex(std::string_view name) const = 0;  // -1: none chosen
  virtual void setListIndex(std::string_view name, int index) = 0;
  virtual bool isSelected(std::string_view name, int index) const = 0;  // multi-select lists
  virtual void setSelected(std::string_view name, int index, bool selected) = 0;
  // Grids
  virtual GridControl& grid(std::string_view name) = 0;

  // ---- Playing the user ----
  // Types text into a field as a user does (replacing what it holds), then
  // leaves it (Tab): its validation runs and may keep the focus.
  virtual bool userType(std::string_view name, std::string_view text) = 0;
  // A key in a control: "Enter", "Tab", "Esc", "Space", "Ctrl+L", "F4".
  virtual bool userKey(std::string_view name, std::string_view key) = 0;
  virtual bool userClick(std::string_view name) = 0;
  // Chooses a list or combo entry by its text (or its number, from 0);
  // in a multi-select list it toggles the entry's selection; in a grid it
  // makes current the first row whose first shown cell reads so.
  virtual bool userChoose(std::string_view name, std::string_view entry) = 0;
  virtual bool userPickDate(std::string_view name, std::string_view date) = 0;
  virtual bool userToggleCheck(std::string_view name) = 0;
  // Grids: a cell typed into (row from 0, by field name), a row mark clicked.
  virtual bool userEditCell(std::string_view grid, int row, std::string_view field, std::string_view text) = 0;
  virtual bool userToggleMark(std::string_view grid, int row) = 0;
  // The window's close box.
  virtual void userClose() = 0;
};

// "Control not found" (730), for a name the form does not have.
[[noreturn]] void throwControlNotFound(std::string_view name);

}  // namespace quill::ui

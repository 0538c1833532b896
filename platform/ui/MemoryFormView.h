#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/FormView.h"

namespace quill::ui {

class Form;

// A form's controls kept in memory, for tests of a form's logic without a
// window. It behaves as the dialog does where the logic can tell: focus
// moves through the shown and enabled controls in their order, leaving a
// field runs its validation (unless the control taking the focus does not
// cause validation), Ctrl+L asks the lookup, Enter moves on where the
// control says so, buttons, lists, pickers and check boxes raise their
// events. A modal show runs the next handler queued with whenShown (which
// plays the user and ends by hiding the form), or returns at once.
class MemoryFormView : public FormView {
 public:
  using ShowHandler = std::function<void(MemoryFormView&)>;

  MemoryFormView(Form& form, std::vector<ControlDef> controls, std::string caption = {});
  ~MemoryFormView() override;

  void whenShown(ShowHandler handler) { handlers_.push_back(std::move(handler)); }
  std::int32_t lastOwner() const { return owner_; }
  int timesShown() const { return timesShown_; }

  std::string caption() const override { return caption_; }
  void setCaption(std::string_view caption) override { caption_ = caption; }
  void setHeightTwips(int height) override { height_ = height; }
  int heightTwips() const override { return height_; }
  void showModal(std::int32_t owner) override;
  void hide() override { shown_ = false; }
  bool isShown() const override { return shown_; }

  std::vector<std::string> controlNames() const override;
  bool hasControl(std::string_view name) const override;
  ControlKind kind(std::string_view name) const override;
  std::string tag(std::string_view name) const override;
  std::string text(std::string_view name) const override;
  void setText(std::string_view name, std::string_view text) override;
  bool isVisible(std::string_view name) const override;
  void setVisible(std::string_view name, bool visible) override;
  bool isEnabled(std::string_view name) const override;
  void setEnabled(std::string_view name, bool enabled) override;
  void setTopTwips(std::string_view name, int top) override;
  int topTwips(std::string_view name) const;
  void setFocus(std::string_view name) override;
  std::string focused() const override;

  bool isChecked(std::string_view name) const override;
  void setChecked(std::string_view name, bool checked) override;
  void setItems(std::string_view name, const std::vector<std::string>& items) override;
  std::vector<std::string> items(std::string_view name) const override;
  int listIndex(std::string_view name) const override;
  void setListIndex(std::string_view name, int index) override;
  bool isSelected(std::string_view name, int index) const override;
  void setSelected(std::string_view name, int index, bool selected) override;
  GridControl& grid(std::string_view name) override;

  bool userType(std::string_view name, std::string_view text) override;
  bool userKey(std::string_view name, std::string_view key) override;
  bool userClick(std::string_view name) override;
  bool userChoose(std::string_view name, std::string_view entry) override;
  bool userPickDate(std::string_view name, std::string_view date) override;
  bool userToggleCheck(std::string_view name) override;
  bool userEditCell(std::string_view grid, int row, std::string_view field, std::string_view text) override;
  bool userToggleMark(std::string_view grid, int row) override;
  void userClose() override;

 private:
  struct Control;
  class MemoryGrid;
  Control& control(std::string_view name);
  const Control& control(std::string_view name) const;
  bool usable(const Control& c) const;
  bool focusable(const Control& c) const;
  // Moves the focus to `to` (empty: the next control), validating the
  // control left when `to` causes validation; false when refused.
  bool moveFocus(std::size_t to);
  std::size_t nextFocusable(std::size_t from) const;

  Form& form_;
  std::vector<Control> controls_;
  std::string caption_;
  int height_ = 0;
  bool shown_ = false;
  int timesShown_ = 0;
  std::int32_t owner_ = 0;
  std::size_t focus_;
  std::deque<ShowHandler> handlers_;
};

}  // namespace quill::ui

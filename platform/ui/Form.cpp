#include "platform/ui/Form.h"

#include "platform/automation/AutomationError.h"
#include "platform/ui/FormView.h"
#include "platform/ui/GridChoice.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/UiServices.h"

namespace quill::ui {

Form::Form(UiServices& ui) : ui_(ui) {}

Form::~Form() = default;

void Form::attach(std::unique_ptr<FormView> view) { view_ = std::move(view); }

FormView& Form::view() const {
  if (!view_) throw vbError(vberr::ObjectNotSet, "Form");
  return *view_;
}

// A validation that fails has shown why; as in the system, it did not ask
// to keep the focus, so the focus goes where the user sent it.
bool Form::validate(std::string_view control) {
  bool accepted = true;
  guarded([&] { accepted = onValidate(control); });
  return accepted;
}

void Form::lookup(std::string_view control) {
  guarded([&] { onLookup(control); });
}

void Form::click(std::string_view control) {
  guarded([&] { onClick(control); });
}

void Form::changed(std::string_view control) {
  guarded([&] { onChanged(control); });
}

void Form::escape(std::string_view control) {
  bool taken = false;
  // A failure has been shown; the window stays open.
  if (guarded([&] { taken = onEscape(control); }) && !taken) closeRequested();
}

void Form::closeRequested() {
  guarded([&] { onClose(); });
}

void Form::onClose() { view().hide(); }

std::string Form::errorTitle() const { return view_ ? view_->caption() : std::string(); }

void Form::showError(const std::exception& error) {
  try {
    ui_.showNumberedError(error, errorTitle());
  } catch (...) {
    // Nothing more can be shown; the form goes on.
  }
}

std::optional<std::size_t> chosenPosition(GridControl& grid) {
  auto& model = grid.model();
  int row = grid.currentRow();
  if (row < 0 && model.dataRowCount() == 1) row = 0;
  return model.positionOf(row);
}

void throwControlNotFound(std::string_view name) {
  throw AutomationError(730, "Form", "Control '" + std::string(name) + "' not found");
}

}  // namespace quill::ui

#pragma once

#include "platform/ui/FormView.h"

namespace quill::criterios {

// The title of the library's boxes when a form gives none (VB's App.Title).
inline constexpr const char* kDefaultTitle = "Quillplug";

// The controls of the criteria forms, as their lists are written.
inline ui::ControlDef label(const char* name, const char* caption = "") {
  return {name, ui::ControlKind::Label, caption};
}
// A code field: Enter moves on unless the form says otherwise.
inline ui::ControlDef codeField(const char* name, const char* tag = "", bool enterMovesOn = true) {
  ui::ControlDef c{name, ui::ControlKind::CodeField, "", tag};
  c.enterMovesOn = enterMovesOn;
  return c;
}
inline ui::ControlDef descriptionField(const char* name) {
  ui::ControlDef c{name, ui::ControlKind::TextField};
  c.readOnly = true;
  return c;
}
inline ui::ControlDef datePicker(const char* name, const char* tag = "") {
  ui::ControlDef c{name, ui::ControlKind::DatePicker, "", tag};
  c.enterMovesOn = true;
  return c;
}
inline ui::ControlDef button(const char* name, const char* caption) { return {name, ui::ControlKind::Button, caption}; }
// A button that leaves a field without validating it.
inline ui::ControlDef cancelButton(const char* name, const char* caption) {
  ui::ControlDef c{name, ui::ControlKind::Button, caption};
  c.causesValidation = false;
  return c;
}
inline ui::ControlDef frame(const char* name, const char* caption = "") {
  return {name, ui::ControlKind::Frame, caption};
}

}  // namespace quill::criterios

#pragma once

#include <QLineEdit>
#include <functional>

namespace quill::ui {

// A text field for a code with the keys and validation of the system's
// forms:
// - Enter is discarded and the focus moves on as if Tab had been pressed
//   (unless enterMovesOn is off);
// - Ctrl+L (the L key with Ctrl alone) asks the field's lookup and is
//   discarded, whether or not there is one;
// - when the focus leaves for another control of the window, the field's
//   validation runs; a validation that refuses keeps the focus in the field
//   without a message, and the click or key that tried to take it away (a
//   button of the window) is swallowed. Controls whose "causesValidation"
//   property is false (a Cancel button) take the focus without validation,
//   as VB's CausesValidation does.
// The description beside the field is a control of the form's own; the
// field never reads it.
class CodeField : public QLineEdit {
  Q_OBJECT

 public:
  // Answers false to keep the focus in the field.
  using Validator = std::function<bool(CodeField&)>;
  using Lookup = std::function<void(CodeField&)>;

  explicit CodeField(QWidget* parent = nullptr);
  ~CodeField() override;

  void setValidator(Validator validator) { validator_ = std::move(validator); }
  void setLookup(Lookup lookup) { lookup_ = std::move(lookup); }
  void setEnterMovesOn(bool on) { enterMovesOn_ = on; }

  // What leaving the field does, for the focus change and for a script that
  // plays the user: runs the validation and answers whether the focus may
  // go. A refusal leaves the field holding the focus.
  bool leave();
  // The validation of the focus change about to happen has been run
  // already (a script that plays the user leaves the field itself).
  void skipNextLeave() { skipNextLeave_ = true; }
  // Ctrl+L, as the key does.
  void askLookup();
  // True while the last validation refused and the text has not changed.
  bool holdsFocus() const { return holding_; }

  // The name of the property that exempts a control from validation.
  static constexpr const char* kCausesValidation = "causesValidation";

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  Validator validator_;
  Lookup lookup_;
  bool enterMovesOn_ = true;
  bool holding_ = false;
  bool validating_ = false;
  bool skipNextLeave_ = false;
};

// Whether a control asks the control it takes the focus from to validate.
bool causesValidation(const QWidget* widget);

}  // namespace quill::ui

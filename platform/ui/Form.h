#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quill::ui {

class Form;
class FormView;
class UiServices;

// Makes the view a form works on: the dialog's widgets, or memory in tests.
using ViewFactory = std::function<std::unique_ptr<FormView>(Form&)>;

// The plain part of a form: its state and its steps, working on the form's
// controls through a FormView (the dialog's widgets, or memory in tests) and
// on the user through UiServices. A form's class derives from it and
// answers the events it cares about.
//
// The events are the entry points of the user's actions. Each runs under
// the form's error handler, as the system's event handlers do: a failure is
// shown as "Erro " + number + " - " + description titled errorTitle(), and
// the form stays open and usable. Routines below them let errors pass.
class Form {
 public:
  explicit Form(UiServices& ui);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // The view the form works on; the form owns it.
  void attach(std::unique_ptr<FormView> view);
  bool attached() const { return view_ != nullptr; }
  FormView& view() const;
  UiServices& ui() const { return ui_; }

  // ---- Events, called by the view ----
  // Leaving a field; false keeps the focus there. A failure is shown and
  // lets the focus go.
  bool validate(std::string_view control);
  // Ctrl+L in a code field.
  void lookup(std::string_view control);
  void click(std::string_view control);
  // The user changed a picker, a check box, a combo or a list.
  void changed(std::string_view control);
  // Esc in a control: the form may take it (onEscape); otherwise the
  // window is asked to close, as with the close box.
  void escape(std::string_view control);
  // The close box (or Esc).
  void closeRequested();

 protected:
  virtual bool onValidate(std::string_view control) { return true; }
  virtual void onLookup(std::string_view control) {}
  virtual void onClick(std::string_view control) {}
  virtual void onChanged(std::string_view control) {}
  // Esc in a control; true when the form took the key, false to close.
  virtual bool onEscape(std::string_view control) { return false; }
  // By default the window hides, which ends its modal show.
  virtual void onClose();
  // The title of the form's error boxes: its caption unless it says otherwise.
  virtual std::string errorTitle() const;

  // Runs a step under the form's error handler; false when it failed (the
  // box has been shown).
  template <typename Step>
  bool guarded(Step&& step) {
    try {
      step();
      return true;
    } catch (const std::exception& error) {
      showError(error);
      return false;
    }
  }
  void showError(const std::exception& error);

 private:
  UiServices& ui_;
  std::unique_ptr<FormView> view_;
};

}  // namespace quill::ui

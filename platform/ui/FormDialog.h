#pragma once

#include <QDialog>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/automation/ProgramRegistry.h"
#include "platform/ui/FormView.h"

namespace quill::ui {

class Form;
class UiServices;

// The window of a form: a dialog whose widgets are made from the form's
// control list, each named after its control (objectName), and wired to the
// form's events: fields validate when left and open their lookup on Ctrl+L,
// buttons click, pickers, check boxes, combos and lists tell the user's
// changes, the close box asks the form. A form's frm… dialog derives from it,
// builds its controls and lays them out; it holds no rules.
//
// view() is the FormView the form works on; a host script finds it from the
// dialog a modal show hands it.
class FormDialog : public QDialog {
  Q_OBJECT

 public:
  FormDialog(Form& form, UiServices& ui, QWidget* parent = nullptr);
  ~FormDialog() override;

  // Makes one widget per control, in order (the order is also the Tab
  // order), all children of the dialog; frames are made but controls are not
  // put in them: the layout does that.
  void buildControls(const std::vector<ControlDef>& controls);
  // A control's widget, by name; "Control not found" (730) when missing.
  QWidget& widget(std::string_view name) const;
  template <typename W>
  W& widgetAs(std::string_view name) const {
    return dynamic_cast<W&>(widget(name));
  }

  // A view of this dialog for the form; the form owns it, the dialog outlives it.
  std::unique_ptr<FormView> makeView();
  // A view that owns its dialog: the form, the view and the window go together.
  static std::unique_ptr<FormView> viewOwning(std::unique_ptr<FormDialog> dialog);
  FormView* view() const { return view_; }
  Form& form() const { return form_; }

  // Widths and heights in twips, as the system gives them.
  void resizeTwips(int width, int height);

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class WidgetFormView;
  struct Entry {
    ControlDef def;
    QWidget* widget = nullptr;
  };
  const Entry& entry(std::string_view name) const;

  Form& form_;
  UiServices& ui_;
  std::vector<Entry> entries_;
  FormView* view_ = nullptr;
  bool quietLists_ = false;  // lists changed by code raise no event
};

// Registers a form by its name (Logic::kFormName): each creation makes its
// logic over a window of its own, a late-bound object that owns both.
template <typename Logic, typename Window>
void addForm(ClassFactory& factory, UiServices& ui) {
  factory.add(Logic::kFormName, [&ui]() -> DispatchPtr {
    return std::make_shared<Logic>(
        ui, [&ui](Form& form) { return FormDialog::viewOwning(std::make_unique<Window>(form, ui)); });
  });
}

// The same for a form that creates other objects by name (its criteria
// form, the report printer): it gets them from the factory.
template <typename Logic, typename Window>
void addFormWithComponents(ClassFactory& factory, UiServices& ui) {
  factory.add(Logic::kFormName, [&factory, &ui]() -> DispatchPtr {
    return std::make_shared<Logic>(
        ui, [&ui](Form& form) { return FormDialog::viewOwning(std::make_unique<Window>(form, ui)); },
        [&factory](std::string_view name) { return factory.create(name); });
  });
}

}  // namespace quill::ui

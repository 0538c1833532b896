#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "platform/automation/AutomationError.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "tests/support/TestApplication.h"

namespace quill::ui {
namespace {

// A small criteria window: a code with its description, a kind of change,
// a date with its "changed" box, confirm and cancel. Its rules are the ones
// every form of the system has in some form.
class SampleForm : public Form {
 public:
  using Form::Form;

  static std::vector<ControlDef> controls() {
    return {{"lblCodigo", ControlKind::Label, "Código"},
            {"txtCodigo", ControlKind::CodeField, "", "COD", false, true, true},
            {"lblCodigoDescr", ControlKind::Label},
            {"cbxTipo", ControlKind::ComboBox},
            {"dtpData", ControlKind::DatePicker},
            {"chkData", ControlKind::CheckBox, "Data alterada"},
            {"CmdConf", ControlKind::Button, "Confirma"},
            {"CmdCancel", ControlKind::Button, "Cancela", "", false, false}};
  }

  bool cancelled = true;
  std::vector<std::string> events;

 protected:
  bool onValidate(std::string_view control) override {
    events.push_back("validate " + std::string(control));
    const std::string code = view().text("txtCodigo");
    if (code == "boom") throw AutomationError(5, "SampleForm", "Falhou a leitura");
    if (code == "abc") return false;  // letters keep the focus, without a message
    view().setText("lblCodigoDescr", code == "12" ? "Doze" : "");
    return true;
  }
  void onLookup(std::string_view control) override {
    events.push_back("lookup " + std::string(control));
    view().setText("txtCodigo", "12");
  }
  void onClick(std::string_view control) override {
    events.push_back("click " + std::string(control));
    cancelled = control != "CmdConf";
    view().hide();
  }
  void onChanged(std::string_view control) override {
    events.push_back("changed " + std::string(control));
    if (control == "dtpData") view().setChecked("chkData", true);
  }
  // Esc in the code clears it; anywhere else it closes the window.
  bool onEscape(std::string_view control) override {
    events.push_back("escape " + std::string(control));
    if (control != "txtCodigo") return false;
    view().setText("txtCodigo", "");
    return true;
  }
  void onClose() override {
    events.push_back("close");
    Form::onClose();
  }
};

enum class ViewKind { Memory, Widgets };

class FormViews : public ::testing::TestWithParam<ViewKind> {
 protected:
  void SetUp() override {
    if (GetParam() == ViewKind::Memory) {
      form.attach(std::make_unique<MemoryFormView>(form, SampleForm::controls(), "Amostra"));
      return;
    }
    testing::testApplication();
    dialog = std::make_unique<FormDialog>(form, ui);
    dialog->buildControls(SampleForm::controls());
    dialog->setWindowTitle("Amostra");
    form.attach(dialog->makeView());
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  }

  ScriptedUiServices ui;
  SampleForm form{ui};
  std::unique_ptr<FormDialog> dialog;
  FormView& view() { return form.view(); }
};

TEST_P(FormViews, AFieldLeftValidatesAndARefusalKeepsTheFocusAndHoldsTheConfirmButtonButNotCancel) {
  view().setFocus("txtCodigo");
  EXPECT_FALSE(view().userType("txtCodigo", "abc"));
  EXPECT_EQ(view().focused(), "txtCodigo");
  EXPECT_FALSE(view().userClick("CmdConf"));
  EXPECT_TRUE(form.cancelled);

  EXPECT_TRUE(view().userType("txtCodigo", "12"));
  EXPECT_EQ(view().text("lblCodigoDescr"), "Doze");
  EXPECT_EQ(view().focused(), "cbxTipo");

  // Cancel takes the focus from a refused field without validating it.
  EXPECT_FALSE(view().userType("txtCodigo", "abc"));
  const auto validations = std::count(form.events.begin(), form.events.end(), "validate txtCodigo");
  EXPECT_TRUE(view().userClick("CmdCancel"));
  EXPECT_EQ(std::count(form.events.begin(), form.events.end(), "validate txtCodigo"), validations);
  EXPECT_EQ(form.events.back(), "click CmdCancel");
  EXPECT_FALSE(view().isShown());
}

TEST_P(FormViews, KeysListsPickersAndChecksRaiseTheirEvents) {
  view().setItems("cbxTipo", {"Margem", "Valor", "Valor fixo"});
  view().setListIndex("cbxTipo", 0);
  view().setFocus("txtCodigo");
  EXPECT_TRUE(view().userKey("txtCodigo", "Ctrl+L"));
  EXPECT_EQ(view().text("txtCodigo"), "12");
  EXPECT_TRUE(view().userKey("txtCodigo", "Enter"));  // moves on, after validating
  EXPECT_EQ(view().focused(), "cbxTipo");
  EXPECT_EQ(view().text("lblCodigoDescr"), "Doze");

  EXPECT_TRUE(view().userChoose("cbxTipo", "Valor fixo"));
  EXPECT_EQ(view().text("cbxTipo"), "Valor fixo");
  EXPECT_EQ(view().listIndex("cbxTipo"), 2);
  EXPECT_FALSE(view().userChoose("cbxTipo", "Desconto"));

  view().setText("dtpData", "01-02-2026");  // by code: no event
  EXPECT_FALSE(view().isChecked("chkData"));
  EXPECT_TRUE(view().userPickDate("dtpData", "15-02-2026"));
  EXPECT_EQ(view().text("dtpData"), "15-02-2026");
  EXPECT_TRUE(view().isChecked("chkData"));
  EXPECT_TRUE(view().userToggleCheck("chkData"));
  EXPECT_FALSE(view().isChecked("chkData"));

  EXPECT_EQ(form.events, (std::vector<std::string>{"lookup txtCodigo", "validate txtCodigo", "changed cbxTipo",
                                                   "changed dtpData", "changed chkData"}));
}

TEST_P(FormViews, EscGoesToTheFormWithItsControlAndClosesOnlyWhereTheFormLetsIt) {
  view().setFocus("txtCodigo");
  view().setText("txtCodigo", "12");
  EXPECT_TRUE(view().userKey("txtCodigo", "Esc"));
  EXPECT_EQ(view().text("txtCodigo"), "");
  EXPECT_EQ(form.events.back(), "escape txtCodigo");
  EXPECT_TRUE(view().userKey("cbxTipo", "Esc"));
  EXPECT_FALSE(view().isShown());
  const std::vector<std::string> last(form.events.end() - 2, form.events.end());
  EXPECT_EQ(last, (std::vector<std::string>{"escape cbxTipo", "close"}));
}

TEST_P(FormViews, TheCloseBoxClosesWhateverControlHasTheFocus) {
  view().setFocus("txtCodigo");
  view().userClose();
  EXPECT_FALSE(view().isShown());
  EXPECT_EQ(form.events, std::vector<std::string>{"close"});
}

TEST_P(FormViews, AFailureInAnEventIsShownWithItsNumberAndTheFormGoesOn) {
  view().setFocus("txtCodigo");
  EXPECT_TRUE(view().userType("txtCodigo", "boom"));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].prompt, "Erro 5 - Falhou a leitura");
  EXPECT_EQ(ui.boxes()[0].title, "Amostra");
  EXPECT_TRUE(view().userType("txtCodigo", "12"));
}

TEST_P(FormViews, HiddenOrDisabledControlsCannotBeUsedAndUnknownNamesAreAnError) {
  view().setVisible("txtCodigo", false);
  EXPECT_FALSE(view().userType("txtCodigo", "12"));
  view().setVisible("txtCodigo", true);
  view().setEnabled("CmdConf", false);
  EXPECT_FALSE(view().userClick("CmdConf"));
  EXPECT_EQ(view().tag("TXTCODIGO"), "COD");  // names without regard to case
  try {
    view().text("txtNada");
    FAIL() << "an unknown control";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.number(), 730);
  }
}

INSTANTIATE_TEST_SUITE_P(MemoryAndWidgets, FormViews, ::testing::Values(ViewKind::Memory, ViewKind::Widgets),
                         [](const auto& info) { return info.param == ViewKind::Memory ? "Memory" : "Widgets"; });

TEST(MemoryFormView, AModalShowRunsTheQueuedUserAndRemembersTheOwner) {
  ScriptedUiServices ui;
  SampleForm form(ui);
  auto view = std::make_unique<MemoryFormView>(form, SampleForm::controls(), "Amostra");
  auto& memory = *view;
  form.attach(std::move(view));
  memory.whenShown([](MemoryFormView& v) {
    EXPECT_EQ(v.focused(), "txtCodigo");  // the first control that takes the focus
    v.userClick("CmdConf");
  });
  memory.showModal(4711);
  EXPECT_FALSE(form.cancelled);
  EXPECT_EQ(memory.lastOwner(), 4711);
  memory.showModal(0);  // nobody plays the user: it returns at once
  EXPECT_EQ(memory.timesShown(), 2);
}

}  // namespace
}  // namespace quill::ui

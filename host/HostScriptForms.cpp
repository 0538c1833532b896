// The host script's verbs and checks inside a form block, the extension's
// commands, and the checks of printed reports.

#include <fmt/format.h>

#include <string>

#include "host/ExtensionMenu.h"
#include "host/HostCompanySession.h"
#include "host/HostScript.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormView.h"
#include "platform/ui/GridColumn.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/ui/ReportOutput.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

const char* yesNo(bool value) { return value ? "yes" : "no"; }

std::optional<int> rowNumber(const std::string& text) {
  try {
    std::size_t used = 0;
    const int n = std::stoi(text, &used);
    if (used != text.size() || n < 1) return std::nullopt;
    return n;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The text a grid cell shows, by model row (from 1) and field; the mark
// column reads "1" or "0".
std::optional<std::string> gridText(ui::FormView& form, const std::string& grid, int row, const std::string& field) {
  auto& model = form.grid(grid).model();
  const auto column = model.columnOf(field);
  if (!column || row < 1 || row > model.rowCount()) return std::nullopt;
  if (model.columns()[static_cast<std::size_t>(*column)].isMark()) {
    const auto position = model.positionOf(row - 1);
    return std::string(position && model.isMarked(*position) ? "1" : "0");
  }
  if (model.isHeading(row - 1)) return model.headingText(row - 1).toStdString();
  return model.displayText(row - 1, *column).toStdString();
}

}  // namespace

bool HostScript::formVerb(const std::vector<std::string>& w, bool& handled) {
  static const std::vector<std::string> verbs = {"type", "key",  "click", "choose", "date",
                                                 "tick", "cell", "mark",  "close"};
  handled = std::find(verbs.begin(), verbs.end(), w[0]) != verbs.end();
  // Outside a form, "close" closes the company.
  if (w[0] == "close" && !form_) handled = false;
  if (!handled) return false;
  if (!form_) return fail(fmt::format("\"{}\" plays the user in a form: use it inside a \"form\" block", w[0]));
  const auto argc = w.size() - 1;
  auto usage = [&](const char* text) { return fail(fmt::format("{} {}", w[0], text)); };
  const std::string& verb = w[0];
  if (verb == "type") {
    if (argc != 2) return usage("<control> <text>");
    lastAccepted_ = form_->userType(w[1], w[2]);
  } else if (verb == "key") {
    if (argc != 2) return usage("<control> Enter|Tab|Esc|Space|Ctrl+L|F4");
    lastAccepted_ = form_->userKey(w[1], w[2]);
  } else if (verb == "click") {
    if (argc != 1) return usage("<control>");
    lastAccepted_ = form_->userClick(w[1]);
  } else if (verb == "choose") {
    if (argc != 2) return usage("<control> <entry>");
    lastAccepted_ = form_->userChoose(w[1], w[2]);
  } else if (verb == "date") {
    if (argc != 2) return usage("<control> <dd-mm-yyyy>");
    lastAccepted_ = form_->userPickDate(w[1], w[2]);
  } else if (verb == "tick") {
    if (argc != 1) return usage("<control>");
    lastAccepted_ = form_->userToggleCheck(w[1]);
  } else if (verb == "cell") {
    auto row = argc == 4 ? rowNumber(w[2]) : std::nullopt;
    if (!row) return usage("<grid> <row> <field> <text>");
    lastAccepted_ = form_->userEditCell(w[1], *row - 1, w[3], w[4]);
  } else if (verb == "mark") {
    auto row = argc == 2 ? rowNumber(w[2]) : std::nullopt;
    if (!row) return usage("<grid> <row>");
    lastAccepted_ = form_->userToggleMark(w[1], *row - 1);
  } else if (verb == "close") {
    form_->userClose();
    lastAccepted_ = true;
  }
  return true;
}

bool HostScript::formCheck(const std::vector<std::string>& w, bool& handled) {
  static const std::vector<std::string> checks = {"text", "focus",   "caption", "cell",
                                                  "rows", "visible", "enabled", "checked"};
  handled = w.size() > 1 && std::find(checks.begin(), checks.end(), w[1]) != checks.end();
  if (!handled) return false;
  if (!form_) return fail(fmt::format("\"expect {}\" checks a form: use it inside a \"form\" block", w[1]));
  const auto argc = w.size() - 2;
  const std::string& what = w[1];
  auto same = [&](const std::string& label, const std::string& expected, const std::string& actual) {
    if (expected != actual) return fail(fmt::format("expected {} \"{}\", it is \"{}\"", label, expected, actual));
    return true;
  };
  if (what == "text") {
    if (argc != 2) return fail("expect text <control> <text>");
    return same("the text of " + w[2], w[3], form_->text(w[2]));
  }
  if (what == "focus") {
    if (argc != 1) return fail("expect focus <control>");
    return same("the focus in", w[2], form_->focused());
  }
  if (what == "caption") {
    if (argc != 1) return fail("expect caption <text>");
    return same("the caption", w[2], form_->caption());
  }
  if (what == "cell") {
    auto row = argc == 4 ? rowNumber(w[3]) : std::nullopt;
    if (!row) return fail("expect cell <grid> <row> <field> <text>");
    auto text = gridText(*form_, w[2], *row, w[4]);
    if (!text) return fail(fmt::format("the grid {} has no row {} with a field {}", w[2], w[3], w[4]));
    return same(fmt::format("{} row {} {}", w[2], w[3], w[4]), w[5], *text);
  }
  if (what == "rows") {
    if (argc != 2) return fail("expect rows <grid> <n>");
    return same("the rows of " + w[2], w[3], std::to_string(form_->grid(w[2]).model().dataRowCount()));
  }
  // visible, enabled, checked
  if (argc != 2 || (w[3] != "yes" && w[3] != "no")) return fail(fmt::format("expect {} <control> yes|no", what));
  const bool actual = what == "visible"   ? form_->isVisible(w[2])
                      : what == "enabled" ? form_->isEnabled(w[2])
                                          : form_->isChecked(w[2]);
  return same(what + " " + w[2], w[3], yesNo(actual));
}

bool HostScript::reportCheck(const std::vector<std::string>& w, bool& handled) {
  handled = w.size() > 1 && (w[1] == "report" || w[1] == "no-report");
  if (!handled) return false;
  const auto printed = ui::ReportOutput::lastPrinted();
  if (w[1] == "no-report") {
    if (printed) return fail(fmt::format("expected no report printed, \"{}\" was", printed->name));
    return true;
  }
  if (w.size() != 3) return fail("expect report <text>");
  if (!printed) return fail("expected a printed report, none was printed");
  if (printed->text.find(w[2]) == std::string::npos)
    return fail(fmt::format("expected the report \"{}\" to contain \"{}\"", printed->name, w[2]));
  return true;
}

bool HostScript::runCommand(const std::string& member) {
  ExtensionMenu::Entry entry;
  entry.kind = ExtensionMenu::Entry::Kind::Command;
  entry.command.member = member;
  entry.caption = member;
  for (const auto& command : extensionCommands())
    if (vb::UCase(command.member) == vb::UCase(member)) {
      entry.command = command;
      entry.caption = command.caption;
    }
  ExtensionMenu::run(entry, session_, 0);
  lastAccepted_ = true;
  return true;
}

}  // namespace quill::host

#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CompanyChoice.h"
#include "host/SalesDocumentEditor.h"

namespace quill::ui {
class ScriptedUiServices;
}

namespace quill::host {

class HostCompanySession;

// A tiny line-based language that drives the host without windows, for
// tests and demonstrations. One command a line; words as splitScriptLine
// reads them; values typed as a user types them (regional numbers and
// dates). Rows count from 1.
//
//   open-demo                          the demo company (made when missing)
//   open <erp> <company> <user> [<password>]
//   close
//   answer yes|no|ok|cancel            the answer of the next message box
//   api-switch                         ConnectDisconnectApiNext
//   new [<type> [<series> [<date>]]]   a new sales document
//   header <field> <value>             tipo serie data cliente moeda expedicao
//   line <article> [<unit> [<quantity>]]  a new line: unit, then article, then quantity
//   set <row> <field> <value>          artigo unidade quantidade preco desconto valordesconto
//   remove <row>
//   save
//   open-document <type> <series> <number> <year>
//   reopen                             the current document read back from the company
//   expect ...                         a check; see below
//
// Checks: "expect api on|off", "expect company open|closed", "expect
// extension active|inactive", "expect accepted|refused" (the last command),
// "expect saved", "expect allowance yes|no" (VendasAbonoFrete answered),
// "expect lines <n>", "expect line <row> <field> <value>" (fields of set and
// descricao, total, tipo; numbers compared to 4 decimals), "expect header
// <field> <value>" (also numero, ano), "expect box <text>" (a box shown
// since the last box check whose text or title contains <text>), "expect
// no-box".
//
// Every message box shown is written to the output as "[box] title: text".
// A command that fails, or a check that does not hold, is reported with its
// line number and the script goes on; the result says whether all passed.
class HostScript {
 public:
  HostScript(HostCompanySession& session, ui::ScriptedUiServices& ui, std::function<CompanyChoice()> demoChoice,
             std::ostream& out);
  ~HostScript();

  // Runs every line; true when all commands ran and every check held.
  bool run(std::istream& script);
  // Runs one line (numbered `lineNumber` in reports); true when it passed.
  bool runLine(std::string_view line, int lineNumber = 0);

  SalesDocumentEditor* editor() { return editor_.get(); }

 private:
  bool execute(const std::vector<std::string>& words);
  bool expect(const std::vector<std::string>& words);
  bool fail(std::string message);
  void echoBoxes();
  bool needEditor();
  bool lineFieldText(int row, std::string_view field, std::string& text, std::optional<double>& number);

  HostCompanySession& session_;
  ui::ScriptedUiServices& ui_;
  std::function<CompanyChoice()> demoChoice_;
  std::ostream& out_;
  std::unique_ptr<SalesDocumentEditor> editor_;
  std::size_t boxesEchoed_ = 0;
  std::size_t boxesChecked_ = 0;
  bool lastAccepted_ = true;
  SalesDocumentEditor::SaveOutcome lastSave_;
  int lineNumber_ = 0;
};

}  // namespace quill::host

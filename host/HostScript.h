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

class QWidget;

namespace quill::ui {
class FormView;
class ScriptedUiServices;
}  // namespace quill::ui

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
//   lookup cliente [<typed>]           the client's lookup list, played by the form block after it
//   lookup artigo <row> [<typed>]      a line's article lookup list
//   expect ...                         a check; see below
//   command <member>                   an extension command, as its menu entry runs it
//   save-as <file>|cancel              the answer of the next save-file dialog
//
// Forms. A block "form" ... "end" plays the user in the next modal form
// shown; blocks right after a command (or a form verb) belong to the forms
// it opens, in order, and blocks nest for the forms a form opens (a lookup
// list). Inside a block:
//   type <control> <text>              types into a field and leaves it (its validation runs)
//   key <control> Enter|Tab|Esc|Space|Ctrl+L|F4
//   click <control>                    a button
//   choose <control> <entry>           a list or combo entry (its text or number from 0),
//                                      a grid row (by its first shown cell)
//   date <control> <dd-mm-yyyy>        a date picked
//   tick <control>                     a check box clicked
//   cell <grid> <row> <field> <text>   a grid cell typed into
//   mark <grid> <row>                  a grid row mark clicked
//   close                              the window's close box (outside a block: the company)
// and the checks "expect text <control> <text>", "expect focus <control>",
// "expect caption <text>", "expect cell <grid> <row> <field> <text>",
// "expect rows <grid> <n>" (data rows), "expect visible|enabled|checked
// <control> yes|no"; "expect accepted|refused" tells whether the last verb
// was taken (a refused value keeps the focus, a hidden control cannot be
// used). A block that leaves its form open fails, and the form is closed; a
// block no form was shown for fails.
//
// Printed reports: "expect report <text>" (the last report printed in this
// run contains the text), "expect no-report".
//
// Checks: "expect api on|off", "expect company open|closed", "expect
// extension active|inactive", "expect accepted|refused" (the last command),
// "expect saved", "expect allowance yes|no" (the bridge wrote the allowance
// line: VendasAbonoFrete answered true and the document holds the line),
// "expect lines <n>", "expect line <row> <field> <value>" (fields of set and
// descricao, total, tipo; numbers compared to 4 decimals), "expect header
// <field> <value>" (also numero, ano), "expect box <text>" (a box shown
// since the last box check whose text or title contains <text>), "expect
// no-box".
//
// Every message box shown is written to the output as "[box] title: text".
// A command that cannot run (an unknown command or field, a missing
// argument), a check that does not hold, and a command the host or the
// extension refused (a document that does not exist, a value refused, a
// save refused) are reported with their line number and the script goes
// on; the result says whether all passed. A refusal the script means to
// test is followed by "expect refused" (other checks may come between,
// another command may not).
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
  struct ScriptLine {
    int number = 0;
    std::vector<std::string> words;
    std::string error;  // a line that could not be read
  };
  // Runs lines [begin, end), with their form blocks.
  void runRange(std::size_t begin, std::size_t end);
  // The "end" of the block whose "form" is at `at`; `end` when there is none.
  std::size_t blockEnd(std::size_t at, std::size_t end) const;
  std::function<void(QWidget&)> blockPlayer(std::size_t begin, std::size_t end, int formLine);
  bool runWords(const std::vector<std::string>& words);
  bool execute(const std::vector<std::string>& words);
  // HostScriptForms.cpp
  bool formVerb(const std::vector<std::string>& words, bool& handled);
  bool formCheck(const std::vector<std::string>& words, bool& handled);
  bool reportCheck(const std::vector<std::string>& words, bool& handled);
  bool runCommand(const std::string& member);
  bool expect(const std::vector<std::string>& words);
  bool fail(std::string message);
  void echoBoxes();
  bool needEditor();
  bool lookup(const std::vector<std::string>& words);
  // A refusal no "expect refused" answered: it fails the script.
  void reportUnexpectedRefusal();
  bool lineFieldText(int row, std::string_view field, std::string& text, std::optional<double>& number);

  HostCompanySession& session_;
  ui::ScriptedUiServices& ui_;
  std::function<CompanyChoice()> demoChoice_;
  std::ostream& out_;
  std::unique_ptr<SalesDocumentEditor> editor_;
  std::size_t boxesEchoed_ = 0;
  std::size_t boxesChecked_ = 0;
  bool lastAccepted_ = true;
  // The refused command that still waits for its "expect refused".
  struct Refusal {
    int line = 0;
    std::string command;
    std::string reason;  // what the last box said meanwhile
  };
  std::optional<Refusal> unexpectedRefusal_;
  SalesDocumentEditor::SaveOutcome lastSave_;
  int lineNumber_ = 0;
  int failures_ = 0;
  std::vector<ScriptLine> lines_;
  ui::FormView* form_ = nullptr;  // the form a block plays in
};

}  // namespace quill::host

#include "host/HostScript.h"

#include <fmt/format.h>

#include <cmath>
#include <istream>
#include <map>
#include <ostream>

#include "host/CompanyCatalog.h"
#include "host/DemoSetup.h"
#include "host/DiscountText.h"
#include "host/HostCompanySession.h"
#include "host/ScriptTokens.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/FormView.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

const std::map<std::string, LineField>& lineFields() {
  static const std::map<std::string, LineField> fields = {
      {"artigo", LineField::Article},  {"unidade", LineField::Unit},      {"quantidade", LineField::Quantity},
      {"preco", LineField::UnitPrice}, {"desconto", LineField::Discount}, {"valordesconto", LineField::DiscountValue}};
  return fields;
}

std::optional<int> wholeNumber(std::string_view text) {
  try {
    auto value = vb::parseNumber(text);
    if (!value || *value != std::floor(*value)) return std::nullopt;
    return static_cast<int>(*value);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<double> typedNumber(std::string_view text) {
  try {
    return vb::parseNumber(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool sameText(std::string_view a, std::string_view b) { return vb::UCase(a) == vb::UCase(b); }

}  // namespace

HostScript::HostScript(HostCompanySession& session, ui::ScriptedUiServices& ui,
                       std::function<CompanyChoice()> demoChoice, std::ostream& out)
    : session_(session), ui_(ui), demoChoice_(std::move(demoChoice)), out_(out) {}

HostScript::~HostScript() = default;

bool HostScript::fail(std::string message) {
  out_ << fmt::format("line {}: {}\n", lineNumber_, message);
  ++failures_;
  return false;
}

void HostScript::echoBoxes() {
  const auto& boxes = ui_.boxes();
  for (; boxesEchoed_ < boxes.size(); ++boxesEchoed_)
    out_ << fmt::format("[box] {}: {}\n", boxes[boxesEchoed_].title, boxes[boxesEchoed_].prompt);
}

bool HostScript::run(std::istream& script) {
  lines_.clear();
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ScriptLine read;
    read.number = ++number;
    if (auto words = splitScriptLine(line, read.error)) read.words = std::move(*words);
    if (!read.words.empty() || !read.error.empty()) lines_.push_back(std::move(read));
  }
  const int failuresBefore = failures_;
  unexpectedRefusal_.reset();
  runRange(0, lines_.size());
  reportUnexpectedRefusal();
  const bool passed = failures_ == failuresBefore;
  out_ << (passed ? "script passed\n" : "script FAILED\n");
  return passed;
}

std::size_t HostScript::blockEnd(std::size_t at, std::size_t end) const {
  int depth = 0;
  for (std::size_t i = at; i < end; ++i) {
    const auto& w = lines_[i].words;
    if (w.empty()) continue;
    if (w[0] == "form") ++depth;
    if (w[0] == "end" && --depth == 0) return i;
  }
  return end;
}

std::function<void(QWidget&)> HostScript::blockPlayer(std::size_t begin, std::size_t end, int formLine) {
  return [this, begin, end, formLine](QWidget& window) {
    auto* dialog = dynamic_cast<ui::FormDialog*>(&window);
    if (!dialog || !dialog->view()) {
      lineNumber_ = formLine;
      fail("the window shown is not a form the script can play");
      window.hide();
      return;
    }
    ui::FormView* outer = form_;
    form_ = dialog->view();
    runRange(begin, end);
    if (form_->isShown()) {
      lineNumber_ = formLine;
      fail(fmt::format("the form \"{}\" is still open at the end of its block; it is closed", form_->caption()));
      form_->hide();
    }
    form_ = outer;
  };
}

void HostScript::runRange(std::size_t begin, std::size_t end) {
  std::size_t i = begin;
  while (i < end) {
    const ScriptLine& line = lines_[i];
    lineNumber_ = line.number;
    if (!line.error.empty()) {
      fail(line.error);
      ++i;
      continue;
    }
    if (line.words[0] == "end") {
      fail("\"end\" without its \"form\"");
      ++i;
      continue;
    }
    // The blocks at this point, and right after an action, are the forms
    // it is about to open: queue them before it runs.
    std::size_t next = line.words[0] == "form" ? i : i + 1;
    const std::size_t pendingBefore = ui_.pendingModals();
    std::vector<int> queued;
    std::vector<std::function<void(QWidget&)>> players;
    while (next < end && lines_[next].words.size() == 1 && lines_[next].words[0] == "form") {
      const std::size_t close = blockEnd(next, end);
      if (close == end) {
        // The rest of the script is that block's: it cannot be played.
        lineNumber_ = lines_[next].number;
        fail("\"form\" without its \"end\"");
        next = end;
        break;
      }
      players.push_back(blockPlayer(next + 1, close, lines_[next].number));
      queued.push_back(lines_[next].number);
      next = close + 1;
    }
    const bool nested = form_ != nullptr;
    if (nested)
      ui_.onNextModalsFirst(std::move(players));
    else
      for (auto& player : players) ui_.onNextModal(std::move(player));
    if (line.words[0] == "form") {
      i = next;
      continue;
    }
    lineNumber_ = line.number;
    runWords(line.words);
    if (!queued.empty() && ui_.pendingModals() > pendingBefore) {
      // Blocks after an action are for what it opens: those it did not open fail.
      const std::size_t unused = ui_.pendingModals() - pendingBefore;
      lineNumber_ = line.number;
      fail(fmt::format("no form was shown for the block at line {}", queued[queued.size() - unused]));
      ui_.dropPendingModals(unused, nested);
    }
    i = next;
  }
}

bool HostScript::runLine(std::string_view line, int lineNumber) {
  lineNumber_ = lineNumber;
  std::string error;
  auto words = splitScriptLine(line, error);
  if (!words) return fail(error);
  if (words->empty()) return true;
  return runWords(*words);
}

void HostScript::reportUnexpectedRefusal() {
  if (!unexpectedRefusal_) return;
  const Refusal refusal = *unexpectedRefusal_;
  unexpectedRefusal_.reset();
  const int current = lineNumber_;
  lineNumber_ = refusal.line;
  fail(fmt::format("\"{}\" was refused{} (write \"expect refused\" after a command meant to be refused)",
                   refusal.command, refusal.reason.empty() ? std::string() : ": " + refusal.reason));
  lineNumber_ = current;
}

bool HostScript::runWords(const std::vector<std::string>& words) {
  bool ok = false;
  const bool check = words[0] == "expect";
  // A command comes after a refusal nobody expected: that refusal fails now.
  if (!check) reportUnexpectedRefusal();
  const std::size_t boxesBefore = ui_.boxes().size();
  const int line = lineNumber_;
  try {
    bool handled = false;
    if (check) {
      ok = formCheck(words, handled);
      if (!handled) ok = reportCheck(words, handled);
      if (!handled) ok = expect(words);
    } else {
      lastAccepted_ = true;
      ok = formVerb(words, handled);
      if (!handled) ok = execute(words);
    }
  } catch (const std::exception& e) {
    // A script command never ends the host: an error is reported as the line's failure.
    ok = fail(ui::UiServices::errorPrompt(e));
  }
  if (!check && ok && !lastAccepted_) {
    std::string command;
    for (const auto& word : words) command += (command.empty() ? "" : " ") + word;
    const auto& boxes = ui_.boxes();
    unexpectedRefusal_ = Refusal{line, command, boxes.size() > boxesBefore ? boxes.back().prompt : std::string()};
  }
  echoBoxes();
  return ok;
}

bool HostScript::needEditor() {
  if (!editor_) return fail("no document: use \"new\" or \"open-document\" first");
  return true;
}

bool HostScript::execute(const std::vector<std::string>& w) {
  const std::string& command = w[0];
  auto argc = w.size() - 1;
  if (command == "open-demo" || command == "open") {
    editor_.reset();
    CompanyChoice choice;
    if (command == "open-demo") {
      choice = demoChoice_();
    } else {
      if (argc < 3) return fail("open <erp> <company> <user> [<password>]");
      choice.erpFolder = w[1];
      choice.company = w[2];
      choice.user = w[3];
      if (argc > 3) choice.password = w[4];
      DemoSetup::fillDemoDefaults(choice);
    }
    lastAccepted_ = session_.open(choice);
    return true;
  }
  if (command == "close") {
    editor_.reset();
    session_.close();
    return true;
  }
  if (command == "answer") {
    if (argc != 1) return fail("answer yes|no|ok|cancel");
    static const std::map<std::string, int> answers = {
        {"yes", vb::vbYes}, {"no", vb::vbNo}, {"ok", vb::vbOK}, {"cancel", vb::vbCancel}};
    auto it = answers.find(vb::LCase(w[1]));
    if (it == answers.end()) return fail("answer yes|no|ok|cancel");
    ui_.answerNext(it->second);
    return true;
  }
  if (command == "api-switch") {
    session_.toggleApiLink();
    return true;
  }
  if (command == "save-as") {
    if (argc != 1) return fail("save-as <file>|cancel");
    if (w[1] == "cancel")
      ui_.answerSaveFile(std::nullopt);
    else
      ui_.answerSaveFile(std::filesystem::path(w[1]));
    return true;
  }
  if (!session_.isOpen()) return fail(fmt::format("\"{}\" needs an open company", command));
  if (command == "command") {
    if (argc != 1) return fail("command <member>");
    return runCommand(w[1]);
  }

  if (command == "new") {
    editor_ = std::make_unique<SalesDocumentEditor>(session_.editorServices());
    if (argc == 0) {
      editor_->newDocument();
      lastAccepted_ = true;
      return true;
    }
    auto types = session_.catalog().series(w[1]);
    std::optional<int> series = argc > 1 ? wholeNumber(w[2]) : (types.empty() ? std::optional<int>(0) : types.front());
    if (!series) return fail(fmt::format("\"{}\" is not a series number", w[2]));
    Date date = vb::today();
    if (argc > 2) {
      auto parsed = vb::parseDateText(w[3]);
      if (!parsed) return fail(fmt::format("\"{}\" is not a date", w[3]));
      date = *parsed;
    }
    lastAccepted_ = editor_->newDocument(w[1], *series, date);
    return true;
  }
  if (command == "open-document") {
    if (argc != 4) return fail("open-document <type> <series> <number> <year>");
    auto series = wholeNumber(w[2]), number = wholeNumber(w[3]), year = wholeNumber(w[4]);
    if (!series || !number || !year) return fail("series, number and year are whole numbers");
    editor_ = std::make_unique<SalesDocumentEditor>(session_.editorServices());
    lastAccepted_ = editor_->open(DocumentKey{w[1], *series, *number, *year});
    return true;
  }
  if (!needEditor()) return false;
  if (command == "reopen") {
    auto key = editor_->document().header.key;
    lastAccepted_ = editor_->open(key);
    return true;
  }
  if (command == "header") {
    if (argc != 2) return fail("header <field> <value>");
    const std::string field = vb::LCase(w[1]);
    const std::string& value = w[2];
    if (field == "tipo")
      lastAccepted_ = editor_->setType(value);
    else if (field == "serie") {
      auto series = wholeNumber(value);
      lastAccepted_ = series ? editor_->setSeries(*series) : false;
      if (!series) return fail(fmt::format("\"{}\" is not a series number", value));
    } else if (field == "data")
      lastAccepted_ = editor_->setDate(std::string_view(value));
    else if (field == "cliente")
      lastAccepted_ = editor_->setClient(value);
    else if (field == "moeda")
      lastAccepted_ = editor_->setCurrency(value);
    else if (field == "expedicao")
      lastAccepted_ = editor_->setDispatch(value);
    else
      return fail(fmt::format("unknown header field \"{}\"", w[1]));
    return true;
  }
  if (command == "line") {
    if (argc < 1 || argc > 3) return fail("line <article> [<unit> [<quantity>]]");
    int row = editor_->addLine();
    lastAccepted_ = row >= 0;
    if (row < 0) return true;
    if (argc > 1) lastAccepted_ = editor_->setLineField(row, LineField::Unit, w[2]).accepted();
    if (lastAccepted_) lastAccepted_ = editor_->setLineField(row, LineField::Article, w[1]).accepted();
    if (lastAccepted_ && argc > 2) lastAccepted_ = editor_->setLineField(row, LineField::Quantity, w[3]).accepted();
    return true;
  }
  if (command == "set") {
    if (argc != 3) return fail("set <row> <field> <value>");
    auto row = wholeNumber(w[1]);
    if (!row) return fail(fmt::format("\"{}\" is not a row number: set <row> <field> <value>", w[1]));
    auto field = lineFields().find(vb::LCase(w[2]));
    if (field == lineFields().end())
      return fail(
          fmt::format("unknown line field \"{}\" (artigo, unidade, quantidade, preco, desconto, valordesconto)", w[2]));
    lastAccepted_ = editor_->setLineField(*row - 1, field->second, w[3]).accepted();
    return true;
  }
  if (command == "remove") {
    auto row = argc == 1 ? wholeNumber(w[1]) : std::nullopt;
    if (!row) return fail("remove <row>");
    lastAccepted_ = editor_->removeLine(*row - 1);
    return true;
  }
  if (command == "lookup") return lookup(w);
  if (command == "save") {
    lastSave_ = editor_->save();
    lastAccepted_ = lastSave_.saved;
    return true;
  }
  return fail(fmt::format("unknown command \"{}\"", command));
}

bool HostScript::lookup(const std::vector<std::string>& w) {
  const std::string what = w.size() > 1 ? vb::LCase(w[1]) : std::string();
  if (what == "cliente" && w.size() <= 3) {
    lastAccepted_ = editor_->lookupClient(0, w.size() == 3 ? w[2] : std::string());
    return true;
  }
  auto row = what == "artigo" && (w.size() == 3 || w.size() == 4) ? wholeNumber(w[2]) : std::nullopt;
  if (!row) return fail("lookup cliente [<typed>] | lookup artigo <row> [<typed>]");
  lastAccepted_ = editor_->lookupArticle(*row - 1, 0, w.size() == 4 ? w[3] : std::string());
  return true;
}

bool HostScript::lineFieldText(int row, std::string_view field, std::string& text, std::optional<double>& number) {
  const auto& lines = editor_->document().lines;
  if (row < 1 || row > static_cast<int>(lines.size())) return false;
  const SalesLine& l = lines[static_cast<std::size_t>(row - 1)];
  std::string f = vb::LCase(field);
  if (f == "artigo")
    text = l.article;
  else if (f == "descricao")
    text = l.description;
  else if (f == "unidade")
    text = l.unit;
  else if (f == "quantidade")
    number = l.quantity;
  else if (f == "preco")
    number = l.unitPrice;
  else if (f == "desconto")
    text = displayDiscount(l.discount);
  else if (f == "valordesconto")
    number = l.discountValue;
  else if (f == "total") {
    number = l.total();
    if (!number) text = "desconto inválido";
  } else if (f == "tipo")
    number = static_cast<int>(l.type);
  else
    return false;
  return true;
}

bool HostScript::expect(const std::vector<std::string>& w) {
  echoBoxes();
  auto argc = w.size() - 1;
  if (argc < 1) return fail("expect what?");
  const std::string what = vb::LCase(w[1]);
  auto yesNo = [&](bool actual, const char* yes, const char* no) {
    if (argc != 2) return fail(fmt::format("expect {} {}|{}", what, yes, no));
    bool wanted = vb::LCase(w[2]) == yes;
    if (!wanted && vb::LCase(w[2]) != no) return fail(fmt::format("expect {} {}|{}", what, yes, no));
    if (wanted != actual) return fail(fmt::format("expected {} {}, it is {}", what, w[2], actual ? yes : no));
    return true;
  };
  auto compare = [&](const std::string& label, const std::string& expected, const std::string& text,
                     std::optional<double> number) {
    if (number) {
      auto wanted = typedNumber(expected);
      if (!wanted) return fail(fmt::format("{}: \"{}\" is not a number", label, expected));
      if (std::fabs(*wanted - *number) > 0.00005)
        return fail(fmt::format("expected {} = {}, it is {}", label, expected, vb::doubleToText(*number)));
      return true;
    }
    if (!sameText(expected, text))
      return fail(fmt::format("expected {} = \"{}\", it is \"{}\"", label, expected, text));
    return true;
  };

  if (what == "api") return yesNo(session_.apiLinkOn(), "on", "off");
  if (what == "company") return yesNo(session_.isOpen(), "open", "closed");
  if (what == "extension") return yesNo(session_.extensionActive(), "active", "inactive");
  if (what == "accepted" || what == "refused") {
    // Either answers the refusal waiting for a check; "accepted" then fails.
    unexpectedRefusal_.reset();
    if (lastAccepted_ != (what == "accepted")) return fail(fmt::format("expected the last command {}", what));
    return true;
  }
  if (what == "saved") {
    if (!lastSave_.saved) return fail("expected the document saved");
    return true;
  }
  if (what == "allowance") return yesNo(lastSave_.allowanceWritten, "yes", "no");
  if (what == "box") {
    if (argc < 2) return fail("expect box <text>");
    const auto& boxes = ui_.boxes();
    for (std::size_t i = boxesChecked_; i < boxes.size(); ++i) {
      if (boxes[i].prompt.find(w[2]) != std::string::npos || boxes[i].title.find(w[2]) != std::string::npos) {
        boxesChecked_ = i + 1;
        return true;
      }
    }
    return fail(fmt::format("expected a message box with \"{}\"", w[2]));
  }
  if (what == "no-box") {
    const auto& boxes = ui_.boxes();
    bool none = boxesChecked_ >= boxes.size();
    std::string shown = none ? std::string() : boxes[boxesChecked_].prompt;
    boxesChecked_ = boxes.size();
    if (!none) return fail(fmt::format("expected no message box, one says \"{}\"", shown));
    return true;
  }
  if (!needEditor()) return false;
  if (what == "lines") {
    auto n = argc == 2 ? wholeNumber(w[2]) : std::nullopt;
    if (!n) return fail("expect lines <n>");
    auto count = static_cast<int>(editor_->document().lines.size());
    if (count != *n) return fail(fmt::format("expected {} lines, there are {}", *n, count));
    return true;
  }
  if (what == "line") {
    if (argc != 4) return fail("expect line <row> <field> <value>");
    auto row = wholeNumber(w[2]);
    std::string text;
    std::optional<double> number;
    if (!row || *row < 1 || *row > static_cast<int>(editor_->document().lines.size()))
      return fail(fmt::format("there is no line {}", w[2]));
    if (!lineFieldText(*row, w[3], text, number))
      return fail(fmt::format("unknown line field \"{}\" (those of set, descricao, total, tipo)", w[3]));
    return compare(fmt::format("line {} {}", w[2], w[3]), w[4], text, number);
  }
  if (what == "header") {
    if (argc != 3) return fail("expect header <field> <value>");
    const auto& h = editor_->document().header;
    std::string f = vb::LCase(w[2]);
    std::string text;
    std::optional<double> number;
    if (f == "tipo")
      text = h.key.type;
    else if (f == "serie")
      number = h.key.series;
    else if (f == "numero")
      number = h.key.number;
    else if (f == "ano")
      number = h.key.year;
    else if (f == "data")
      text = vb::FormatDate(h.date, "dd-mm-yyyy");
    else if (f == "cliente")
      text = h.client;
    else if (f == "moeda")
      text = h.currency;
    else if (f == "expedicao")
      text = h.dispatch;
    else
      return fail(fmt::format("unknown header field \"{}\"", w[2]));
    return compare("header " + f, w[3], text, number);
  }
  return fail(fmt::format("unknown check \"{}\"", w[1]));
}

}  // namespace quill::host

#include "extension/components/ReportFile.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/automation/AutomationError.h"
#include "platform/sql/SqlLexer.h"
#include "platform/vb/Strings.h"
#include "platform/vb/TextEncoding.h"

namespace quill {

namespace {

struct Word {
  std::string text;
  bool quoted = false;
};

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The words of one line; nothing, with the reason, when a quote is not closed.
std::optional<std::vector<Word>> words(std::string_view line, std::string& why) {
  std::vector<Word> out;
  std::size_t i = 0;
  while (i < line.size()) {
    if (isBlank(line[i])) {
      ++i;
      continue;
    }
    Word word;
    if (line[i] == '"') {
      word.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            word.text += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        word.text += line[i++];
      }
      if (!closed) {
        why = "as aspas abertas não fecham";
        return std::nullopt;
      }
    } else {
      while (i < line.size() && !isBlank(line[i]) && line[i] != '"') word.text += line[i++];
    }
    out.push_back(std::move(word));
  }
  return out;
}

std::optional<int> wholeNumber(std::string_view text) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A text that may name parameters: checked when the whole file is read, as a
// parameter may be declared after the line that uses it.
struct TextUse {
  int line;
  std::string text;
};

}  // namespace

ReportError::ReportError(const std::string& file, int line, const std::string& reason)
    : std::runtime_error("O ficheiro de relatório \"" + file + "\" tem um erro na linha " + std::to_string(line) +
                         ": " + reason + "."),
      line_(line) {}

ReportError::ReportError(const std::string& message) : std::runtime_error(message) {}

std::optional<std::vector<ReportTextPart>> splitReportText(std::string_view text, std::string& why) {
  std::vector<ReportTextPart> parts;
  std::string literal;
  auto flush = [&] {
    if (!literal.empty()) parts.push_back({ReportTextPart::Kind::Literal, std::move(literal), 0});
    literal.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
      literal += c;
      ++i;
      continue;
    }
    if (c == '}') {
      why = "a chaveta \"}\" não foi aberta (escreva \"}}\" para a mostrar)";
      return std::nullopt;
    }
    if (c != '{') {
      literal += c;
      continue;
    }
    const std::size_t close = text.find('}', i + 1);
    if (close == std::string_view::npos) {
      why = "a chaveta \"{\" não fecha";
      return std::nullopt;
    }
    const std::string name = vb::Trim(text.substr(i + 1, close - i - 1));
    if (name.empty()) {
      why = "\"{}\" não nomeia um campo nem um parâmetro";
      return std::nullopt;
    }
    flush();
    if (auto number = wholeNumber(name))
      parts.push_back({ReportTextPart::Kind::Parameter, name, *number});
    else
      parts.push_back({ReportTextPart::Kind::Field, name, 0});
    i = close;
  }
  flush();
  return parts;
}

ReportFile ReportFile::load(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    throw ReportError("O ficheiro de relatório \"" + file.string() + "\" não existe.");
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in && !in.eof()) throw ReportError("O ficheiro de relatório \"" + file.string() + "\" não pode ser lido.");
  return parse(vb::decodeFileText(bytes.str()), file.string());
}

const ReportParameter* ReportFile::parameter(int number) const {
  for (const auto& p : parameters_)
    if (p.number == number) return &p;
  return nullptr;
}

ReportFile ReportFile::parse(std::string_view text, const std::string& fileName) {
  ReportFile r;
  r.fileName_ = fileName;
  std::vector<std::string> lines;
  {
    std::size_t from = 0;
    // A last line break ends the last line; it does not open another.
    while (from < text.size() || (from == 0 && text.empty())) {
      std::size_t to = text.find('\n', from);
      if (to == std::string_view::npos) to = text.size();
      lines.emplace_back(text.substr(from, to - from));
      if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
      from = to + 1;
    }
  }
  const int lastLine = static_cast<int>(lines.size());
  std::vector<TextUse> texts;
  int titleLine = 0;

  for (int n = 1; n <= lastLine; ++n) {
    const std::string& line = lines[n - 1];
    const std::string trimmed = vb::Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    std::string why;
    auto parsed = words(line, why);
    if (!parsed) throw r.error(n, why);
    const std::vector<Word>& w = *parsed;
    const std::string keyword = lower(w[0].text);
    auto fail = [&](const std::string& reason) { return r.error(n, reason); };
    auto needText = [&](std::size_t index, const char* what) -> const std::string& {
      if (index >= w.size()) throw fail(std::string("falta ") + what);
      return w[index].text;
    };
    auto noMore = [&](std::size_t count) {
      if (w.size() > count) throw fail("\"" + w[count].text + "\" está a mais");
    };

    if (keyword == "title") {
      if (titleLine) throw fail("o título já foi dado na linha " + std::to_string(titleLine));
      r.title_ = needText(1, "o título");
      noMore(2);
      titleLine = n;
      texts.push_back({n, r.title_});
    } else if (keyword == "orientation") {
      const std::string value = lower(needText(1, "a orientação (portrait ou landscape)"));
      if (value != "portrait" && value != "landscape")
        throw fail("a orientação \"" + w[1].text + "\" não é portrait nem landscape");
      noMore(2);
      r.landscape_ = value == "landscape";
    } else if (keyword == "parameter") {
      auto number = wholeNumber(needText(1, "o número do parâmetro"));
      if (!number || *number < 1 || *number > 99)
        throw fail("o número de parâmetro \"" + w[1].text + "\" não está entre 1 e 99");
      if (r.parameter(*number)) throw fail("o parâmetro " + w[1].text + " já foi declarado");
      ReportParameter p;
      p.number = *number;
      p.caption = needText(2, "a descrição do parâmetro");
      if (w.size() > 3) {
        const std::string kind = lower(w[3].text);
        if (kind == "date")
          p.kind = ReportParameter::Kind::Date;
        else if (kind != "text")
          throw fail("o tipo de parâmetro \"" + w[3].text + "\" não é text nem date");
      }
      noMore(4);
      r.parameters_.push_back(std::move(p));
    } else if (keyword == "criteria") {
      r.criteria_.push_back(needText(1, "o texto dos critérios"));
      noMore(2);
      texts.push_back({n, r.criteria_.back()});
    } else if (keyword == "query") {
      if (r.queryLine_) throw fail("a consulta já foi dada na linha " + std::to_string(r.queryLine_));
      noMore(1);
      r.queryLine_ = n;
      int end = n + 1;
      while (end <= lastLine && lower(vb::Trim(lines[end - 1])) != "end") ++end;
      if (end > lastLine) throw fail("a consulta não termina com uma linha \"end\"");
      for (int q = n + 1; q < end; ++q) r.query_ += lines[q - 1] + "\n";
      if (vb::Trim(r.query_).empty()) throw fail("a consulta está vazia");
      n = end;
    } else if (keyword == "group") {
      if (r.groups_.size() == 2) throw fail("um relatório tem no máximo dois níveis de grupo");
      ReportGroup g;
      g.field = needText(1, "o campo do grupo");
      g.line = n;
      for (std::size_t i = 2; i < w.size(); i += 2) {
        const std::string attribute = lower(w[i].text);
        if (attribute != "heading" && attribute != "total")
          throw fail("o atributo \"" + w[i].text + "\" não existe num grupo (heading, total)");
        const std::string& value = needText(i + 1, ("o texto de " + w[i].text).c_str());
        (attribute == "heading" ? g.heading : g.total) = value;
        texts.push_back({n, value});
      }
      r.groups_.push_back(std::move(g));
    } else if (keyword == "column") {
      ReportColumn c;
      c.field = needText(1, "o campo da coluna");
      if (w.size() < 3 || !w[2].quoted) throw fail("falta o título da coluna, entre aspas");
      c.caption = w[2].text;
      c.line = n;
      for (std::size_t i = 3; i < w.size(); ++i) {
        const std::string attribute = lower(w[i].text);
        if (attribute == "sum") {
          c.sum = true;
          continue;
        }
        const std::string value = needText(i + 1, ("o valor de " + w[i].text).c_str());
        ++i;
        if (attribute == "width") {
          auto width = wholeNumber(value);
          if (!width || *width <= 0) throw fail("a largura \"" + value + "\" não é um número inteiro positivo");
          c.widthTwips = *width;
        } else if (attribute == "align") {
          const std::string a = lower(value);
          if (a == "left")
            c.align = ReportColumn::Align::Left;
          else if (a == "center")
            c.align = ReportColumn::Align::Center;
          else if (a == "right")
            c.align = ReportColumn::Align::Right;
          else
            throw fail("o alinhamento \"" + value + "\" não é left, center nem right");
        } else if (attribute == "format") {
          c.format = value;
        } else if (attribute == "text") {
          c.text = value;
          texts.push_back({n, value});
        } else {
          throw fail("o atributo \"" + w[i - 1].text + "\" não existe numa coluna (width, align, format, text, sum)");
        }
      }
      r.columns_.push_back(std::move(c));
    } else if (keyword == "total") {
      r.total_ = needText(1, "o texto do total");
      noMore(2);
      texts.push_back({n, r.total_});
    } else if (keyword == "empty") {
      r.empty_ = needText(1, "o texto de um relatório sem dados");
      noMore(2);
    } else {
      throw fail("a instrução \"" + w[0].text +
                 "\" não existe (title, orientation, parameter, criteria, query, group, column, total, empty)");
    }
  }

  if (!titleLine) throw r.error(lastLine, "o ficheiro acaba sem o título do relatório (title)");
  if (r.columns_.empty()) throw r.error(lastLine, "o ficheiro acaba sem nenhuma coluna (column)");

  for (const auto& use : texts) {
    std::string why;
    auto parts = splitReportText(use.text, why);
    if (!parts) throw r.error(use.line, why);
    for (const auto& part : *parts)
      if (part.kind == ReportTextPart::Kind::Parameter && !r.parameter(part.parameter))
        throw r.error(use.line, "o parâmetro " + part.text + " não foi declarado (parameter)");
  }

  // The query's placeholders: ?n of a declared parameter, nothing else.
  if (r.queryLine_) {
    std::vector<sql::SqlToken> tokens;
    try {
      tokens = sql::tokenizeSql(r.query_);
    } catch (const AutomationError& e) {
      throw r.error(r.queryLine_ + 1, "a consulta não se lê: " + e.description());
    }
    int line = r.queryLine_ + 1;
    for (const auto& token : tokens) {
      if (token.kind == sql::SqlToken::Kind::Parameter) {
        auto number = token.text.size() > 1 && token.text[0] == '?' ? wholeNumber(token.text.substr(1)) : std::nullopt;
        if (!number) throw r.error(line, "\"" + token.text + "\" não é um parâmetro da forma ?n (?1, ?2, ...)");
        if (!r.parameter(*number)) throw r.error(line, "o parâmetro " + token.text + " não foi declarado (parameter)");
      }
      line += static_cast<int>(std::count(token.text.begin(), token.text.end(), '\n'));
    }
  }
  return r;
}

}  // namespace quill

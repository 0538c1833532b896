#include "platform/sql/RecordsetFilter.h"

#include <fmt/format.h>

#include <cctype>
#include <charconv>
#include <optional>
#include <string>

#include "platform/automation/Dispatch.h"
#include "platform/sql/SqlError.h"
#include "platform/sql/ValueOrder.h"
#include "platform/vb/Dates.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::sql {

namespace {

using Op = RecordsetFilter::Op;
using Node = RecordsetFilter::Node;

AutomationError badFilter(std::string_view criteria, std::string_view why) {
  return sqlError(sqlerr::InvalidArgument, fmt::format("The filter \"{}\" cannot be applied: {}", criteria, why));
}

std::optional<double> parseNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<Date> parseDate(std::string_view text) {
  if (auto d = vb::parseIsoText(text)) return d;
  return vb::parseDateText(text);
}

double numberOf(const Variant& v) {
  switch (v.type()) {
    case VarType::Integer:
      return v.integerValue();
    case VarType::Long:
      return v.longValue();
    case VarType::Boolean:
      return v.boolValue() ? -1.0 : 0.0;
    case VarType::Date:
      return v.dateValue().serial;
    default:
      return v.doubleValue();
  }
}

std::string textOf(const Variant& v) {
  switch (v.type()) {
    case VarType::String:
      return v.stringValue();
    case VarType::Date:
      return vb::toIsoText(v.dateValue());
    case VarType::Long:
      return std::to_string(v.longValue());
    case VarType::Integer:
      return std::to_string(v.integerValue());
    case VarType::Boolean:
      return v.boolValue() ? "True" : "False";
    case VarType::Double:
      return fmt::format("{}", v.doubleValue());
    default:
      return {};
  }
}

// '*' and '%' stand for any run of characters; everything else matches
// itself without regard to case. Folding keeps every character's length, so
// the folded texts are matched byte by byte.
bool like(std::string_view original, std::string_view originalPattern) {
  const std::string text = vb::LCase(original), pattern = vb::LCase(originalPattern);
  std::size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
      star = p++;
      mark = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
  return p == pattern.size();
}

bool apply(Op op, int order) {
  switch (op) {
    case Op::Eq:
      return order == 0;
    case Op::Ne:
      return order != 0;
    case Op::Lt:
      return order < 0;
    case Op::Gt:
      return order > 0;
    case Op::Le:
      return order <= 0;
    case Op::Ge:
      return order >= 0;
    case Op::Like:
      return false;
  }
  return false;
}

template <class T>
int threeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// One clause against one value. A value and a literal of different kinds are
// compared in the literal's kind when the value converts to it.
bool clauseMatches(const Node& c, const Variant& value) {
  const bool valueNull = value.isNull() || value.isEmpty();
  if (c.literal.isNull()) {
    if (c.op == Op::Eq) return valueNull;
    if (c.op == Op::Ne) return !valueNull;
    return false;
  }
  if (valueNull) return false;
  if (c.op == Op::Like) return like(textOf(value), c.literal.stringValue());
  const Variant& lit = c.literal;
  if (lit.isString()) {
    if (value.isString()) return apply(c.op, compareTextNoCase(value.stringValue(), lit.stringValue()));
    if (value.type() == VarType::Date) {
      auto d = parseDate(lit.stringValue());
      return d && apply(c.op, threeWay(value.dateValue().serial, d->serial));
    }
    auto n = parseNumber(lit.stringValue());
    return n && apply(c.op, threeWay(numberOf(value), *n));
  }
  if (lit.type() == VarType::Date) {
    if (value.isString()) {
      auto d = parseDate(value.stringValue());
      return d && apply(c.op, threeWay(d->serial, lit.dateValue().serial));
    }
    return apply(c.op, threeWay(numberOf(value), lit.dateValue().serial));
  }
  // A number.
  if (value.isString()) {
    if (auto n = parseNumber(value.stringValue())) return apply(c.op, threeWay(*n, lit.doubleValue()));
    return apply(c.op, compareTextNoCase(value.stringValue(), textOf(lit)));
  }
  return apply(c.op, threeWay(numberOf(value), lit.doubleValue()));
}

class Parser {
 public:
  Parser(std::string_view criteria, const std::vector<Field>& fields, std::vector<Node>& nodes)
      : s_(criteria), fields_(fields), nodes_(nodes) {}

  int parse() {
    int root = orExpr();
    skipBlanks();
    if (i_ < s_.size()) throw badFilter(s_, fmt::format("unexpected text at \"{}\"", s_.substr(i_)));
    return root;
  }

 private:
  std::string_view s_;
  const std::vector<Field>& fields_;
  std::vector<Node>& nodes_;
  std::size_t i_ = 0;
  int depth_ = 0;

  void skipBlanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
  }
  bool keyword(std::string_view word) {
    skipBlanks();
    if (s_.size() - i_ < word.size() || !equalsNoCase(s_.substr(i_, word.size()), word)) return false;
    std::size_t after = i_ + word.size();
    if (after < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[after])) || s_[after] == '_')) return false;
    i_ = after;
    return true;
  }
  bool symbol(char c) {
    skipBlanks();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  int add(Node node) {
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size()) - 1;
  }

  // A run of clauses joined by one operator becomes one node.
  int chain(Node::Kind kind, const char* word, int (Parser::*operand)()) {
    int first = (this->*operand)();
    if (!keyword(word)) return first;
    Node node;
    node.kind = kind;
    node.operands.push_back(first);
    do node.operands.push_back((this->*operand)());
    while (keyword(word));
    return add(std::move(node));
  }
  int orExpr() { return chain(Node::Kind::Or, "OR", &Parser::andExpr); }
  int andExpr() { return chain(Node::Kind::And, "AND", &Parser::primary); }
  int primary() {
    if (symbol('(')) {
      if (++depth_ > RecordsetFilter::kMaxNesting)
        throw badFilter(s_, fmt::format("parentheses nested more than {} deep", RecordsetFilter::kMaxNesting));
      int inner = orExpr();
      if (!symbol(')')) throw badFilter(s_, "a parenthesis is not closed");
      --depth_;
      return inner;
    }
    return clause();
  }

  std::string fieldName() {
    skipBlanks();
    if (i_ < s_.size() && s_[i_] == '[') {
      std::size_t close = s_.find(']', i_);
      if (close == std::string_view::npos) throw badFilter(s_, "a bracket is not closed");
      std::string name(s_.substr(i_ + 1, close - i_ - 1));
      i_ = close + 1;
      return name;
    }
    std::size_t start = i_;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (std::isalnum(c) || c == '_' || c >= 0x80)
        ++i_;
      else
        break;
    }
    if (start == i_) throw badFilter(s_, fmt::format("a field name is missing at \"{}\"", s_.substr(start)));
    return std::string(s_.substr(start, i_ - start));
  }

  Op op() {
    skipBlanks();
    auto two = s_.substr(i_, 2);
    if (two == "<>") return i_ += 2, Op::Ne;
    if (two == "<=") return i_ += 2, Op::Le;
    if (two == ">=") return i_ += 2, Op::Ge;
    if (symbol('=')) return Op::Eq;
    if (symbol('<')) return Op::Lt;
    if (symbol('>')) return Op::Gt;
    if (keyword("LIKE")) return Op::Like;
    throw badFilter(s_, fmt::format("a comparison is missing at \"{}\"", s_.substr(i_)));
  }

  Variant literal() {
    skipBlanks();
    if (i_ >= s_.size()) throw badFilter(s_, "a value is missing at the end");
    const char c = s_[i_];
    if (c == '\'' || c == '"') {
      std::string text;
      for (std::size_t j = i_ + 1; j < s_.size(); ++j) {
        if (s_[j] == c) {
          if (j + 1 < s_.size() && s_[j + 1] == c) {
            text += c;
            ++j;
            continue;
          }
          i_ = j + 1;
          return Variant(text);
        }
        text += s_[j];
      }
      throw badFilter(s_, "a quotation mark is not closed");
    }
    if (c == '#') {
      std::size_t close = s_.find('#', i_ + 1);
      if (close == std::string_view::npos) throw badFilter(s_, "a date is not closed by #");
      auto text = s_.substr(i_ + 1, close - i_ - 1);
      auto date = parseDate(text);
      if (!date) throw badFilter(s_, fmt::format("#{}# is not a date", text));
      i_ = close + 1;
      return Variant(*date);
    }
    if (keyword("NULL")) return Variant::null();
    std::size_t start = i_;
    if (s_[i_] == '-' || s_[i_] == '+') ++i_;
    while (i_ < s_.size() &&
           (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E'))
      ++i_;
    auto number = parseNumber(s_.substr(start, i_ - start));
    if (!number) throw badFilter(s_, fmt::format("the value at \"{}\" is not understood", s_.substr(start)));
    return Variant(*number);
  }

  int clause() {
    Node node;
    const std::string name = fieldName();
    std::optional<std::size_t> index;
    for (std::size_t f = 0; f < fields_.size() && !index; ++f)
      if (equalsNoCase(fields_[f].name, name)) index = f;
    if (!index) throw badFilter(s_, fmt::format("there is no field {}", name));
    node.field = *index;
    node.op = op();
    node.literal = literal();
    const DataType type = fields_[*index].type;
    if (node.op == Op::Like && !node.literal.isString())
      throw badFilter(s_, "LIKE needs a text between quotation marks");
    if (node.literal.isString() && node.op != Op::Like) {
      const std::string& text = node.literal.stringValue();
      if (isNumericType(type) && !parseNumber(text))
        throw badFilter(s_, fmt::format("'{}' is not a number for field {}", text, name));
      if (isDateType(type) && !parseDate(text))
        throw badFilter(s_, fmt::format("'{}' is not a date for field {}", text, name));
    }
    return add(std::move(node));
  }
};

}  // namespace

RecordsetFilter RecordsetFilter::parse(std::string_view criteria, const std::vector<Field>& fields) {
  RecordsetFilter filter;
  filter.root_ = Parser(criteria, fields, filter.nodes_).parse();
  return filter;
}

bool RecordsetFilter::matches(const std::vector<Variant>& row) const { return evaluate(root_, row); }

bool RecordsetFilter::evaluate(int index, const std::vector<Variant>& row) const {
  const Node& node = nodes_[static_cast<std::size_t>(index)];
  switch (node.kind) {
    case Node::Kind::And:
      for (int operand : node.operands)
        if (!evaluate(operand, row)) return false;
      return true;
    case Node::Kind::Or:
      for (int operand : node.operands)
        if (evaluate(operand, row)) return true;
      return false;
    case Node::Kind::Clause:
      return clauseMatches(node, row[node.field]);
  }
  return false;
}

}  // namespace quill::sql

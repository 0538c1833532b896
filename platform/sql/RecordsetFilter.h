#pragma once

#include <string_view>
#include <vector>

#include "platform/automation/Variant.h"
#include "platform/sql/Field.h"

namespace quill::sql {

// A recordset filter in ADO's criteria language, compiled against the
// recordset's fields:
//
//   FIELD = 'x'   FIELD = 12.5   FIELD >= #2026-03-01#   FIELD = NULL
//   operators =, <>, <, >, <=, >=, LIKE ('AB*', '%x%')
//   clauses joined by AND and OR (AND binds tighter), grouped by parentheses
//   [Field Name] for names with blanks or symbols
//
// Text compares without regard to case, as the database compares codes.
// Dates between # are read as yyyy-mm-dd or in the regional short form.
// Unknown fields, bad syntax, parentheses nested more than kMaxNesting deep
// and values that cannot be compared with the field's type fail with
// InvalidArgument (3001), naming what is wrong.
class RecordsetFilter {
 public:
  static constexpr int kMaxNesting = 32;

  static RecordsetFilter parse(std::string_view criteria, const std::vector<Field>& fields);

  bool matches(const std::vector<Variant>& row) const;

  enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };
  struct Node {
    enum class Kind { And, Or, Clause } kind = Kind::Clause;
    std::vector<int> operands;  // of And/Or: a chain is one node, so depth grows only with parentheses
    std::size_t field = 0;
    Op op = Op::Eq;
    Variant literal;
  };

 private:
  bool evaluate(int node, const std::vector<Variant>& row) const;

  std::vector<Node> nodes_;
  int root_ = -1;
};

}  // namespace quill::sql

#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// A report file ("qor_VT_Pendentes.rpt"): what ReportPrinter prints. A
// readable text file, one statement a line; blank lines and lines whose first
// character (after blanks) is "#" are ignored. Words are separated by
// blanks; texts go between double quotes ("" for a quote inside). Keywords
// compare without regard to case. The file is UTF-8, or Windows-1252 when it
// is not valid UTF-8.
//
//   title "Documentos Pendentes"
//       The report's title, on top of every page. Required, once.
//   orientation landscape
//       "portrait" (the default) or "landscape".
//   parameter 9 "Data de referência" date
//       Declares parameter n (1 to 99) with its caption and its kind:
//       "text" (the default) or "date" (typed "dd-mm-yyyy"; an empty one
//       is Null). Parameter n is element n of the array the report is
//       printed with.
//   criteria "Clientes: de {1} a {2}"
//       A line under the title on every page. {n} is parameter n as it was
//       given; a line naming a parameter that was not given is left out.
//   query
//     SELECT ... WHERE CLIENTES.CODIGO >= ?1 AND CLIENTES.CODIGO <= ?2 ...
//   end
//       The report's T-SQL query, to the line "end". ?n stands for
//       parameter n and may appear more than once: values are bound as
//       parameters, never put into the text, so no criterion can change the
//       query. The query orders its rows by the group fields. A report
//       printed from a recordset needs no query.
//   group VENDEDOR heading "Vendedor {VENDEDOR} - {NOMEVENDEDOR}" total "Total do vendedor"
//       A grouping level (at most two, outermost first) on a field of the
//       query: a new value opens a new group with its heading; its total
//       line, when given, sums the summed columns.
//   column VALPEND "Pendente" width 1400 align right format "#,##0.00" sum
//       A column: the field it shows, its caption, its width in twips (1440
//       an inch; 1440 when left out), its alignment ("left", "center",
//       "right"), the VB display format of its values and "sum" when it adds
//       up into the totals. With `text "{TPDOC} {SERIE}/{NNUMDOC}"` it shows
//       that text instead of a field; its name is then only a label.
//   total "Total geral"
//       The report's total line, after the last row.
//   empty "Não há documentos pendentes."
//       Shown when the query answers no rows.
//
// In headings, totals and column texts {FIELD} is the field's value in the
// group's first row (in the row, for a column), {n} parameter n; "{{" and
// "}}" are braces.
struct ReportParameter {
  enum class Kind { Text, Date };
  int number = 0;
  std::string caption;
  Kind kind = Kind::Text;
};

struct ReportColumn {
  std::string field;  // the field shown, or the label of a text column
  std::string caption;
  std::optional<std::string> text;  // a text of fields instead of one field
  int widthTwips = 1440;
  enum class Align { Left, Center, Right } align = Align::Left;
  std::string format;
  bool sum = false;
  int line = 0;
};

struct ReportGroup {
  std::string field;
  std::string heading;
  std::string total;
  int line = 0;
};

// A report file that cannot be printed: missing, malformed, or asking for
// what the data do not have. The message names the file and, where there is
// one, the line.
class ReportError : public std::runtime_error {
 public:
  ReportError(const std::string& file, int line, const std::string& reason);
  // Not about one line: a missing file, a criterion that is no date.
  explicit ReportError(const std::string& message);
  int line() const { return line_; }

 private:
  int line_ = 0;
};

class ReportFile {
 public:
  // Reads and checks a report file; ReportError when it is missing or malformed.
  static ReportFile load(const std::filesystem::path& file);
  // The same for a file's text; `fileName` names it in messages.
  static ReportFile parse(std::string_view text, const std::string& fileName);

  const std::string& fileName() const { return fileName_; }
  const std::string& title() const { return title_; }
  bool landscape() const { return landscape_; }
  const std::vector<ReportParameter>& parameters() const { return parameters_; }
  const ReportParameter* parameter(int number) const;
  const std::vector<std::string>& criteria() const { return criteria_; }
  bool hasQuery() const { return queryLine_ > 0; }
  const std::string& query() const { return query_; }
  int queryLine() const { return queryLine_; }  // the line of "query"; its text starts on the next one
  const std::vector<ReportGroup>& groups() const { return groups_; }
  const std::vector<ReportColumn>& columns() const { return columns_; }
  const std::string& totalCaption() const { return total_; }
  const std::string& emptyText() const { return empty_; }

  // An error about this file at one of its lines.
  ReportError error(int line, const std::string& reason) const { return ReportError(fileName_, line, reason); }

 private:
  std::string fileName_;
  std::string title_;
  bool landscape_ = false;
  std::vector<ReportParameter> parameters_;
  std::vector<std::string> criteria_;
  std::string query_;
  int queryLine_ = 0;
  std::vector<ReportGroup> groups_;
  std::vector<ReportColumn> columns_;
  std::string total_;
  std::string empty_;
};

// The parts of a text of a report file: literal text, {n} parameters and
// {FIELD} fields.
struct ReportTextPart {
  enum class Kind { Literal, Parameter, Field } kind;
  std::string text;  // the literal, or the field's name
  int parameter = 0;
};
// Nothing when a brace is not closed or a name is empty; `why` says which.
std::optional<std::vector<ReportTextPart>> splitReportText(std::string_view text, std::string& why);

}  // namespace quill

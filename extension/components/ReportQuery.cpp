#include "extension/components/ReportQuery.h"

#include "extension/components/ReportFile.h"
#include "platform/sql/SqlLexer.h"
#include "platform/vb/Dates.h"
#include "platform/vb/Strings.h"

namespace quill {

Variant reportParameterValue(const ReportFile& report, int number, const std::vector<std::string>& parameters) {
  const std::string text =
      number >= 0 && static_cast<std::size_t>(number) < parameters.size() ? parameters[number] : std::string();
  const ReportParameter* parameter = report.parameter(number);
  if (!parameter || parameter->kind == ReportParameter::Kind::Text) return Variant(text);
  if (vb::Trim(text).empty()) return Variant::null();
  auto date = vb::parseDateText(text);
  if (!date)
    throw ReportError("O parâmetro " + std::to_string(number) + " (" + parameter->caption + ") do relatório \"" +
                      report.fileName() + "\" não é uma data: \"" + text + "\".");
  return Variant(*date);
}

BoundQuery bindReportQuery(const ReportFile& report, const std::vector<std::string>& parameters) {
  BoundQuery bound;
  // The file was checked when it was read: every placeholder is ?n of a
  // declared parameter.
  for (const auto& token : sql::tokenizeSql(report.query())) {
    if (token.kind != sql::SqlToken::Kind::Parameter) {
      bound.sql += token.text;
      continue;
    }
    bound.sql += "?";
    bound.values.push_back(reportParameterValue(report, std::stoi(token.text.substr(1)), parameters));
  }
  return bound;
}

}  // namespace quill

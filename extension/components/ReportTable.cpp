#include "extension/components/ReportTable.h"

#include "extension/components/ReportFile.h"
#include "platform/automation/Dispatch.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/ValueOrder.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace {

constexpr const char* kDefaultEmptyText = "Não há dados para os critérios indicados.";

// A text of the file with its fields found in the rows.
struct BoundText {
  struct Part {
    ReportTextPart::Kind kind;
    std::string text;
    std::size_t field = 0;
    int parameter = 0;
  };
  std::vector<Part> parts;
  bool empty() const { return parts.empty(); }
};

class Builder {
 public:
  Builder(const ReportFile& report, sql::Recordset& rows, const std::vector<std::string>* parameters)
      : report_(report), rows_(rows), parameters_(parameters) {}

  BoundText bind(const std::string& text, int line) const {
    std::string why;
    auto parts = splitReportText(text, why);
    if (!parts) throw report_.error(line, why);  // checked when read; kept for texts built elsewhere
    BoundText bound;
    for (const auto& p : *parts) {
      BoundText::Part part{p.kind, p.text, 0, p.parameter};
      if (p.kind == ReportTextPart::Kind::Field) part.field = field(p.text, line);
      bound.parts.push_back(std::move(part));
    }
    return bound;
  }

  std::size_t field(const std::string& name, int line) const {
    auto index = rows_.findField(name);
    if (!index) throw report_.error(line, "o campo \"" + name + "\" não vem nos dados do relatório");
    return *index;
  }

  std::string parameter(int number) const {
    return parameters_ && static_cast<std::size_t>(number) < parameters_->size() ? (*parameters_)[number]
                                                                                 : std::string();
  }

  // The text with the current row's fields.
  std::string expand(const BoundText& text) const {
    std::string out;
    for (const auto& part : text.parts) {
      switch (part.kind) {
        case ReportTextPart::Kind::Literal:
          out += part.text;
          break;
        case ReportTextPart::Kind::Parameter:
          out += parameter(part.parameter);
          break;
        case ReportTextPart::Kind::Field: {
          const Variant& value = rows_.value(part.field);
          if (!value.isNull() && !value.isEmpty()) out += vb::CStr(value);
          break;
        }
      }
    }
    return out;
  }

  // A criteria line, or nothing when it names a parameter that was not given.
  std::optional<std::string> criterion(const std::string& text) const {
    std::string why;
    auto parts = splitReportText(text, why);
    std::string out;
    for (const auto& part : *parts) {
      if (part.kind == ReportTextPart::Kind::Parameter) {
        if (!parameters_ || static_cast<std::size_t>(part.parameter) >= parameters_->size()) return std::nullopt;
        out += (*parameters_)[part.parameter];
      } else if (part.kind == ReportTextPart::Kind::Literal) {
        out += part.text;
      } else {
        out += "{" + part.text + "}";
      }
    }
    return out;
  }

  ui::TableDocument build() {
    ui::TableDocument d;
    d.title = report_.title();
    d.landscape = report_.landscape();
    d.totalCaption = report_.totalCaption();
    d.emptyText = report_.emptyText().empty() ? kDefaultEmptyText : report_.emptyText();
    for (const auto& c : report_.criteria())
      if (auto line = criterion(c)) d.headerLines.push_back(*line);

    struct Source {
      std::size_t field = 0;
      std::optional<BoundText> text;
    };
    std::vector<Source> sources;
    for (const auto& c : report_.columns()) {
      ui::TableColumn column;
      column.caption = c.caption;
      column.widthTwips = c.widthTwips;
      column.alignment = c.align == ReportColumn::Align::Right    ? ui::CellAlignment::Right
                         : c.align == ReportColumn::Align::Center ? ui::CellAlignment::Center
                                                                  : ui::CellAlignment::Left;
      column.format = c.format;
      column.summed = c.sum;
      d.columns.push_back(std::move(column));
      Source source;
      if (c.text)
        source.text = bind(*c.text, c.line);
      else
        source.field = field(c.field, c.line);
      sources.push_back(std::move(source));
    }

    struct Level {
      std::size_t field = 0;
      BoundText heading, total;
      std::string key;
      std::int32_t group = -1;
    };
    std::vector<Level> levels;
    for (const auto& g : report_.groups())
      levels.push_back({field(g.field, g.line), bind(g.heading, g.line), bind(g.total, g.line), {}, -1});
    d.groupLevels = static_cast<int>(levels.size());

    const std::int32_t position = rows_.absolutePosition();
    if (rows_.recordCount() > 0) rows_.moveFirst();
    d.rows.reserve(static_cast<std::size_t>(std::max(rows_.recordCount(), 0)));
    while (!rows_.eof()) {
      ui::TableRow row;
      bool opened = false;
      for (std::size_t l = 0; l < levels.size(); ++l) {
        Level& level = levels[l];
        std::string key = vb::CStr(rows_.value(level.field));
        // Codes compare without regard to case, as the database orders them.
        if (opened || level.group < 0 || sql::compareTextNoCase(key, level.key) != 0) {
          opened = true;  // a new outer group opens new inner ones
          level.key = std::move(key);
          d.groups.push_back({expand(level.heading), expand(level.total)});
          level.group = static_cast<std::int32_t>(d.groups.size() - 1);
        }
        row.groups[l] = level.group;
      }
      row.cells.reserve(sources.size());
      for (const auto& source : sources)
        row.cells.push_back(source.text ? Variant(expand(*source.text)) : rows_.value(source.field));
      d.rows.push_back(std::move(row));
      rows_.moveNext();
    }
    restore(position);
    return d;
  }

 private:
  void restore(std::int32_t position) {
    if (position >= 1 && position <= rows_.recordCount())
      rows_.setAbsolutePosition(position);
    else if (position == -2 && rows_.recordCount() > 0)
      rows_.moveFirst(), rows_.movePrevious();
  }

  const ReportFile& report_;
  sql::Recordset& rows_;
  const std::vector<std::string>* parameters_;
};

}  // namespace

ui::TableDocument reportTable(const ReportFile& report, sql::Recordset& rows,
                              const std::vector<std::string>* parameters) {
  return Builder(report, rows, parameters).build();
}

}  // namespace quill

#include "platform/ui/TablePrinter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <array>

namespace quill::ui {

namespace {

constexpr const char* kFontFamily = "DejaVu Sans";
const QColor kInk(0x1a, 0x1a, 0x1a);
const QColor kMuted(0x5f, 0x66, 0x6d);
const QColor kRule(0x8c, 0x95, 0x9d);
const QColor kHeadingInk(0x1f, 0x3a, 0x5a);
const QColor kCaptionBand(0xe4, 0xe9, 0xee);
const QColor kRowBand(0xf5, 0xf7, 0xf9);

QFont font(double points, bool bold = false, bool italic = false) {
  QFont f(kFontFamily);
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

QString qs(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A font with its metrics on the device being printed.
struct Face {
  QFont font;
  QFontMetricsF metrics;
  Face(QFont f, QPaintDevice* device) : font(std::move(f)), metrics(font, device) {}
  // The baseline that centres one line of this face in a box.
  double baseline(double top, double height) const { return top + (height - metrics.height()) / 2 + metrics.ascent(); }
};

}  // namespace

struct TablePrinter::Metrics {
  explicit Metrics(QPagedPaintDevice& device)
      : dpi(device.logicalDpiY()),
        width(device.width()),
        height(device.height()),
        title(font(13, true), &device),
        header(font(8.5), &device),
        caption(font(8, true), &device),
        body(font(8), &device),
        heading0(font(9, true), &device),
        heading1(font(8.5, true), &device),
        total(font(8, true), &device),
        empty(font(8.5, false, true), &device),
        footer(font(7.5), &device) {}

  double pt(double points) const { return points * dpi / 72.0; }

  double dpi, width, height;
  Face title, header, caption, body, heading0, heading1, total, empty, footer;
  const Face& heading(int level) const { return level == 0 ? heading0 : heading1; }

  double titleH = 0, headerLineH = 0, ruleY = 0, captionTop = 0, captionH = 0, bodyTop = 0, bodyBottom = 0;
  double rowH = 0, headingH[kMaxTableGroupLevels] = {}, groupTotalH = 0, tableTotalH = 0, emptyH = 0;
  double pad = 0, indent = 0;
  std::vector<double> colX, colW;
  double tableWidth = 0;

  // Where everything goes on a page of this device.
  void layOut(const TableDocument& document) {
    pad = pt(3);
    indent = pt(9);
    double y = 0;
    titleH = title.metrics.height() * 1.15;
    y += titleH;
    headerLineH = header.metrics.height() * 1.2;
    y += headerLineH * static_cast<double>(document.headerLines.size());
    ruleY = y + pt(4);
    captionTop = ruleY + pt(4);
    captionH = caption.metrics.height() * 1.7;
    bodyTop = captionTop + captionH + pt(2);
    bodyBottom = height - footer.metrics.height() * 1.8;

    rowH = body.metrics.height() * 1.35;
    headingH[0] = heading0.metrics.height() * 1.9;
    headingH[1] = heading1.metrics.height() * 1.6;
    groupTotalH = total.metrics.height() * 1.5 + pt(3);
    tableTotalH = total.metrics.height() * 2.0;
    emptyH = rowH * 2;

    // The table fills the width of the page, its columns keeping the
    // proportions of their widths.
    double twips = 0;
    for (const auto& c : document.columns) twips += std::max(c.widthTwips, 0);
    const double natural = twips / 1440.0 * dpi;
    const double scale = natural > 0 ? width / natural : 1.0;
    double x = 0;
    colX.clear();
    colW.clear();
    for (const auto& c : document.columns) {
      const double w = std::max(c.widthTwips, 0) / 1440.0 * dpi * scale;
      colX.push_back(x);
      colW.push_back(w);
      x += w;
    }
    tableWidth = x;
  }

  double lineHeight(const Line& line) const {
    switch (line.kind) {
      case Line::Kind::Heading:
        return headingH[line.level];
      case Line::Kind::Row:
        return rowH;
      case Line::Kind::GroupTotal:
        return groupTotalH;
      case Line::Kind::TableTotal:
        return tableTotalH;
      case Line::Kind::Empty:
        return emptyH;
    }
    return rowH;
  }
};

TablePrinter::TablePrinter(const TableDocument& document) : document_(document) { buildLines(); }

QPageLayout TablePrinter::pageLayout() const {
  return QPageLayout(QPageSize(QPageSize::A4), document_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(12, 10, 12, 10), QPageLayout::Millimeter);
}

// The lines of the table in order: for each change of group, the totals of
// the groups it closes (innermost first) and the headings of those it opens.
void TablePrinter::buildLines() {
  const int levels = std::clamp(document_.groupLevels, 0, kMaxTableGroupLevels);
  const std::size_t columns = document_.columns.size();
  std::array<std::int32_t, kMaxTableGroupLevels> open{-1, -1};
  std::array<std::vector<double>, kMaxTableGroupLevels> sums;
  std::vector<double> tableSums(columns, 0.0);
  bool started = false;

  auto addSums = [&](std::vector<double>& into, const TableRow& row) {
    for (std::size_t c = 0; c < columns && c < row.cells.size(); ++c)
      if (document_.columns[c].summed) into[c] += cellAmount(row.cells[c]);
  };
  auto group = [&](std::int32_t index) -> const TableGroup* {
    return index >= 0 && static_cast<std::size_t>(index) < document_.groups.size() ? &document_.groups[index] : nullptr;
  };
  auto close = [&](int fromLevel) {
    for (int level = levels - 1; level >= fromLevel; --level) {
      const TableGroup* g = group(open[level]);
      if (g && !g->totalCaption.empty()) {
        totals_.push_back(sums[level]);
        lines_.push_back({Line::Kind::GroupTotal, level, open[level], totals_.size() - 1});
      }
      open[level] = -1;
    }
  };

  for (std::size_t r = 0; r < document_.rows.size(); ++r) {
    const TableRow& row = document_.rows[r];
    int changed = levels;
    for (int level = 0; level < levels; ++level)
      if (!started || row.groups[level] != open[level]) {
        changed = level;
        break;
      }
    if (changed < levels) {
      if (started) close(changed);
      for (int level = changed; level < levels; ++level) {
        open[level] = row.groups[level];
        sums[level].assign(columns, 0.0);
        const TableGroup* g = group(open[level]);
        if (g && !g->heading.empty()) lines_.push_back({Line::Kind::Heading, level, open[level], 0});
      }
    }
    started = true;
    lines_.push_back({Line::Kind::Row, 0, static_cast<std::int32_t>(r), 0});
    for (int level = 0; level < levels; ++level) addSums(sums[level], row);
    addSums(tableSums, row);
  }
  if (started) close(0);
  if (document_.rows.empty()) {
    if (!document_.emptyText.empty()) lines_.push_back({Line::Kind::Empty, 0, -1, 0});
  } else if (!document_.totalCaption.empty()) {
    totals_.push_back(tableSums);
    lines_.push_back({Line::Kind::TableTotal, 0, -1, totals_.size() - 1});
  }
}

std::vector<TablePrinter::Page> TablePrinter::paginate(const Metrics& m) const {
  const int levels = std::clamp(document_.groupLevels, 0, kMaxTableGroupLevels);
  std::vector<Page> pages(1);
  std::array<std::int32_t, kMaxTableGroupLevels> open{-1, -1};
  double y = m.bodyTop;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    double need = m.lineHeight(line);
    // A heading keeps the line after it (and a row under a nested heading) on its page.
    if (line.kind == Line::Kind::Heading && i + 1 < lines_.size()) {
      need += m.lineHeight(lines_[i + 1]);
      if (lines_[i + 1].kind == Line::Kind::Heading) need += m.rowH;
    }
    Page& page = pages.back();
    const bool pageEmpty = i == page.first && page.continuedGroups.empty();
    if (y + need > m.bodyBottom && !pageEmpty) {
      page.end = i;
      Page next;
      next.first = i;
      int limit = 0;
      if (line.kind == Line::Kind::Row) limit = levels;
      if (line.kind == Line::Kind::Heading) limit = line.level;
      if (line.kind == Line::Kind::GroupTotal) limit = line.level + 1;
      y = m.bodyTop;
      for (int level = 0; level < limit; ++level)
        if (open[level] >= 0 && !document_.groups[open[level]].heading.empty()) {
          next.continuedGroups.emplace_back(level, open[level]);
          y += m.headingH[level];
        }
      pages.push_back(std::move(next));
    }
    y += m.lineHeight(line);
    if (line.kind == Line::Kind::Heading) {
      open[line.level] = line.index;
      for (int level = line.level + 1; level < levels; ++level) open[level] = -1;
    } else if (line.kind == Line::Kind::GroupTotal) {
      for (int level = line.level; level < levels; ++level) open[level] = -1;
    }
  }
  pages.back().end = lines_.size();
  return pages;
}

namespace {

// One cell: cut with an ellipsis when it is wider than its column, placed by
// its alignment inside the column's padding.
void drawCell(QPainter& painter, const QFontMetricsF& metrics, const QString& text, double x, double width,
              double baseline, CellAlignment alignment, double pad) {
  const double room = width - 2 * pad;
  if (room <= 0 || text.isEmpty()) return;
  QString shown = text;
  double advance = metrics.horizontalAdvance(shown);
  if (advance > room) {
    shown = metrics.elidedText(text, Qt::ElideRight, room);
    advance = metrics.horizontalAdvance(shown);
  }
  double left = x + pad;
  if (alignment == CellAlignment::Right) left = x + width - pad - advance;
  if (alignment == CellAlignment::Center) left = x + (width - advance) / 2;
  painter.drawText(QPointF(left, baseline), shown);
}

void rule(QPainter& painter, const QColor& color, double width, double x1, double x2, double y) {
  painter.setPen(QPen(color, width));
  painter.drawLine(QPointF(x1, y), QPointF(x2, y));
}

}  // namespace

int TablePrinter::pageCount(QPagedPaintDevice& device) {
  Metrics m(device);
  m.layOut(document_);
  return static_cast<int>(paginate(m).size());
}

int TablePrinter::print(QPagedPaintDevice& device) {
  Metrics m(device);
  m.layOut(document_);
  const std::vector<Page> pages = paginate(m);
  const QDateTime when = printedAt_.isValid() ? printedAt_ : QDateTime::currentDateTime();
  const QString printed = QStringLiteral("Impresso em ") + when.toString(QStringLiteral("dd-MM-yyyy hh:mm"));
  const QString title = qs(document_.title);
  std::vector<QString> headerLines;
  for (const auto& h : document_.headerLines) headerLines.push_back(qs(h));
  std::vector<QString> captions;
  for (const auto& c : document_.columns) captions.push_back(qs(c.caption));
  const std::size_t columns = document_.columns.size();
  const double thin = m.pt(0.5);

  QPainter painter(&device);
  auto headingText = [&](std::int32_t group, bool continued) {
    QString text = qs(document_.groups[group].heading);
    if (continued) text += QStringLiteral(" (continuação)");
    return text;
  };
  auto paintHeading = [&](int level, std::int32_t group, double top, bool continued) {
    const Face& face = m.heading(level);
    const double h = m.headingH[level];
    const double base = top + h - face.metrics.descent() - m.pt(2.5);
    const double x = level == 0 ? 0 : m.indent;
    painter.setFont(face.font);
    painter.setPen(kHeadingInk);
    drawCell(painter, face.metrics, headingText(group, continued), x, m.tableWidth - x, base, CellAlignment::Left,
             m.pad);
    if (level == 0) rule(painter, kRule, thin, 0, m.tableWidth, top + h - m.pt(0.5));
  };
  // A total line: its caption over the columns left of the first summed one,
  // the sums under their columns.
  auto paintTotals = [&](const QString& caption, const std::vector<double>& sums, double top, double h, double x0,
                         bool tableTotal) {
    std::size_t firstSummed = columns;
    for (std::size_t c = 0; c < columns; ++c)
      if (document_.columns[c].summed) {
        firstSummed = c;
        break;
      }
    const double ruleY = top + m.pt(1.5);
    if (tableTotal) {
      rule(painter, kInk, thin, 0, m.tableWidth, ruleY - m.pt(1));
      rule(painter, kInk, thin, 0, m.tableWidth, ruleY + m.pt(0.5));
    } else {
      for (std::size_t c = firstSummed; c < columns; ++c)
        if (document_.columns[c].summed)
          rule(painter, kRule, thin, m.colX[c] + m.pad, m.colX[c] + m.colW[c] - m.pad, ruleY);
    }
    const double base = m.total.baseline(top + m.pt(2), h - m.pt(2) - (tableTotal ? 0 : m.pt(3)));
    painter.setFont(m.total.font);
    painter.setPen(kInk);
    const double captionEnd = firstSummed < columns ? m.colX[firstSummed] : m.tableWidth;
    drawCell(painter, m.total.metrics, caption, x0, captionEnd - x0, base, CellAlignment::Left, m.pad);
    for (std::size_t c = firstSummed; c < columns; ++c)
      if (document_.columns[c].summed)
        drawCell(painter, m.total.metrics, qs(cellText(document_.columns[c], Variant(sums[c]))), m.colX[c], m.colW[c],
                 base, document_.columns[c].alignment, m.pad);
  };

  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) device.newPage();
    const Page& page = pages[p];

    // Page header: title, header lines, print date, column headings.
    painter.setFont(m.title.font);
    painter.setPen(kInk);
    painter.drawText(QPointF(0, m.title.metrics.ascent()), title);
    painter.setFont(m.header.font);
    painter.setPen(kMuted);
    double y = m.titleH;
    for (const auto& line : headerLines) {
      painter.drawText(QPointF(0, y + m.header.metrics.ascent()), line);
      y += m.headerLineH;
    }
    rule(painter, kInk, m.pt(0.8), 0, m.width, m.ruleY);
    painter.fillRect(QRectF(0, m.captionTop, m.tableWidth, m.captionH), kCaptionBand);
    rule(painter, kRule, thin, 0, m.tableWidth, m.captionTop + m.captionH);
    painter.setFont(m.caption.font);
    painter.setPen(kInk);
    const double captionBase = m.caption.baseline(m.captionTop, m.captionH);
    for (std::size_t c = 0; c < columns; ++c)
      drawCell(painter, m.caption.metrics, captions[c], m.colX[c], m.colW[c], captionBase,
               document_.columns[c].alignment, m.pad);

    y = m.bodyTop;
    for (const auto& [level, group] : page.continuedGroups) {
      paintHeading(level, group, y, true);
      y += m.headingH[level];
    }

    bool banded = false;
    for (std::size_t i = page.first; i < page.end; ++i) {
      const Line& line = lines_[i];
      const double h = m.lineHeight(line);
      switch (line.kind) {
        case Line::Kind::Heading:
          paintHeading(line.level, line.index, y, false);
          banded = false;
          break;
        case Line::Kind::Row: {
          const TableRow& row = document_.rows[line.index];
          if (banded) painter.fillRect(QRectF(0, y, m.tableWidth, h), kRowBand);
          banded = !banded;
          painter.setFont(m.body.font);
          painter.setPen(kInk);
          const double base = m.body.baseline(y, h);
          for (std::size_t c = 0; c < columns && c < row.cells.size(); ++c)
            drawCell(painter, m.body.metrics, qs(cellText(document_.columns[c], row.cells[c])), m.colX[c], m.colW[c],
                     base, document_.columns[c].alignment, m.pad);
          break;
        }
        case Line::Kind::GroupTotal:
          paintTotals(qs(document_.groups[line.index].totalCaption), totals_[line.totals], y, h,
                      line.level == 0 ? 0 : m.indent, false);
          banded = false;
          break;
        case Line::Kind::TableTotal:
          paintTotals(qs(document_.totalCaption), totals_[line.totals], y, h, 0, true);
          break;
        case Line::Kind::Empty:
          painter.setFont(m.empty.font);
          painter.setPen(kMuted);
          drawCell(painter, m.empty.metrics, qs(document_.emptyText), 0, m.width, m.empty.baseline(y, h),
                   CellAlignment::Left, m.pad);
          break;
      }
      y += h;
    }

    // Page footer.
    const double footerTop = m.bodyBottom + m.pt(3);
    rule(painter, kRule, thin, 0, m.width, footerTop);
    painter.setFont(m.footer.font);
    painter.setPen(kMuted);
    const double footerBase = footerTop + m.pt(2) + m.footer.metrics.ascent();
    painter.drawText(QPointF(0, footerBase), printed);
    const QString number = QStringLiteral("Página %1 de %2").arg(p + 1).arg(pages.size());
    painter.drawText(QPointF(m.width - m.footer.metrics.horizontalAdvance(number), footerBase), number);
  }
  painter.end();
  return static_cast<int>(pages.size());
}

std::string TablePrinter::text() const {
  std::string out = document_.title + "\n";
  for (const auto& h : document_.headerLines) out += h + "\n";
  const std::size_t columns = document_.columns.size();
  for (std::size_t c = 0; c < columns; ++c) out += (c ? "\t" : "") + document_.columns[c].caption;
  out += "\n";
  auto totals = [&](const std::string& caption, const std::vector<double>& sums) {
    out += caption;
    for (std::size_t c = 0; c < columns; ++c)
      if (document_.columns[c].summed) out += "\t" + cellText(document_.columns[c], Variant(sums[c]));
    out += "\n";
  };
  for (const Line& line : lines_) {
    switch (line.kind) {
      case Line::Kind::Heading:
        out += document_.groups[line.index].heading + "\n";
        break;
      case Line::Kind::Row: {
        const TableRow& row = document_.rows[line.index];
        for (std::size_t c = 0; c < columns && c < row.cells.size(); ++c)
          out += (c ? "\t" : "") + cellText(document_.columns[c], row.cells[c]);
        out += "\n";
        break;
      }
      case Line::Kind::GroupTotal:
        totals(document_.groups[line.index].totalCaption, totals_[line.totals]);
        break;
      case Line::Kind::TableTotal:
        totals(document_.totalCaption, totals_[line.totals]);
        break;
      case Line::Kind::Empty:
        out += document_.emptyText + "\n";
        break;
    }
  }
  return out;
}

}  // namespace quill::ui

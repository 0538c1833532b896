#include "host/SalesLinesModel.h"

#include "host/DiscountText.h"
#include "host/SalesDocumentEditor.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

namespace quill::host {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }
QString number(double value) { return qs(vb::doubleToText(value)); }
QString money(double value) { return qs(vb::Format(value, "#,##0.00")); }

}  // namespace

SalesLinesModel::SalesLinesModel(SalesDocumentEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor) {
  editor_.setObserver(this);
}

SalesLinesModel::~SalesLinesModel() { editor_.setObserver(nullptr); }

int SalesLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(editor_.document().lines.size());
}

int SalesLinesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

std::optional<LineField> SalesLinesModel::fieldOf(int column) {
  switch (column) {
    case Article:
      return LineField::Article;
    case Unit:
      return LineField::Unit;
    case Quantity:
      return LineField::Quantity;
    case UnitPrice:
      return LineField::UnitPrice;
    case Discount:
      return LineField::Discount;
    case DiscountValue:
      return LineField::DiscountValue;
    default:
      return std::nullopt;
  }
}

QVariant SalesLinesModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const SalesLine& line = editor_.document().lines[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(isNumeric(index.column()) ? Qt::AlignRight | Qt::AlignVCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  switch (index.column()) {
    case Article:
      return qs(line.article);
    case Description:
      return qs(line.description);
    case Unit:
      return qs(line.unit);
    case Quantity:
      return number(line.quantity);
    case UnitPrice:
      return number(line.unitPrice);
    case Discount:
      return qs(displayDiscount(line.discount));
    case DiscountValue:
      return number(line.discountValue);
    case Total: {
      // A discount text the ERP refuses gives the line no total.
      auto total = line.total();
      if (!total) return role == Qt::DisplayRole ? QString::fromUtf8("desconto inválido") : QString();
      return role == Qt::DisplayRole ? money(*total) : number(*total);
    }
    default:
      return {};
  }
}

bool SalesLinesModel::isNumeric(int column) { return column >= Quantity && column <= Total; }

QVariant SalesLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
    return QVariant::fromValue(isNumeric(section) ? Qt::AlignRight | Qt::AlignVCenter
                                                  : Qt::AlignLeft | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const char* const titles[] = {"Artigo",      "Descrição", "Unidade",     "Quantidade",
                                       "Preço unit.", "Desc. %",   "Desc. valor", "Total"};
  if (section < 0 || section >= ColumnCount) return {};
  return QString::fromUtf8(titles[section]);
}

Qt::ItemFlags SalesLinesModel::flags(const QModelIndex& index) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const SalesLine& line = editor_.document().lines[static_cast<std::size_t>(index.row())];
  // Only article lines are edited here; comment and service lines (the
  // freight allowance) are the ERP's own.
  if (line.isArticleLine() && fieldOf(index.column()) && !editor_.isReadOnly()) f |= Qt::ItemIsEditable;
  return f;
}

bool SalesLinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole) return false;
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return false;
  auto field = fieldOf(index.column());
  if (!field) return false;
  // Typing the same text again is no edit: the hooks are not asked twice.
  QString typed = value.toString();
  if (typed == data(index, Qt::EditRole).toString()) return true;
  EditOutcome outcome = editor_.setLineField(index.row(), *field, typed.toStdString());
  if (outcome.kind == EditOutcome::Kind::RefusedByExtension) emit editRefusedByExtension(index.row(), index.column());
  return outcome.accepted();
}

bool SalesLinesModel::insertRows(int row, int count, const QModelIndex& parent) {
  // New lines are added at the end only, as the ERP numbers them.
  if (parent.isValid() || count < 1 || row != rowCount()) return false;
  for (int i = 0; i < count; ++i) editor_.addLine();
  return true;
}

bool SalesLinesModel::removeRows(int row, int count, const QModelIndex& parent) {
  if (parent.isValid() || count < 1 || row < 0 || row + count > rowCount()) return false;
  for (int i = 0; i < count; ++i) editor_.removeLine(row);
  return true;
}

void SalesLinesModel::documentAboutToBeReplaced() { beginResetModel(); }
void SalesLinesModel::documentReplaced() { endResetModel(); }
void SalesLinesModel::headerChanged() { emit documentHeaderChanged(); }
void SalesLinesModel::lineAboutToBeInserted(int row) { beginInsertRows({}, row, row); }
void SalesLinesModel::lineInserted(int) { endInsertRows(); }
void SalesLinesModel::lineAboutToBeRemoved(int row) { beginRemoveRows({}, row, row); }
void SalesLinesModel::lineRemoved(int) { endRemoveRows(); }

void SalesLinesModel::statusChanged() { emit editorStatusChanged(); }

void SalesLinesModel::lineChanged(int row) {
  // A hook may change the price and the discount of the line along with the
  // edited field, and the total follows them all.
  emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace quill::host

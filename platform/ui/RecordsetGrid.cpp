#include "platform/ui/RecordsetGrid.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>

namespace quill::ui {

namespace {

// Grid editing lives here, not in the forms: the editor's value is checked
// with the model's edit validation before it is committed, and a refused
// value keeps the cell in edit mode (Enter, Tab and leaving the cell are
// held back) until the user corrects it or presses Esc.
class ValidatingDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (!editor) return QStyledItemDelegate::eventFilter(object, event);
    const bool commitKey = event->type() == QEvent::KeyPress && [&] {
      const int key = static_cast<QKeyEvent*>(event)->key();
      return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab;
    }();
    const bool leaving = event->type() == QEvent::FocusOut &&
                         static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
                         static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason;
    if ((commitKey || leaving) && !accepted(editor)) {
      if (leaving) {
        QPointer<QLineEdit> held(editor);
        QTimer::singleShot(0, editor, [held] {
          if (held) held->setFocus(Qt::OtherFocusReason);
        });
      }
      return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  bool accepted(QLineEdit* editor) const {
    auto* view = qobject_cast<RecordsetGrid*>(parent());
    if (!view) return true;
    const QModelIndex index = view->currentIndex();
    return view->gridModel().validateEdit(index, editor->text());
  }
};

}  // namespace

RecordsetGrid::RecordsetGrid(QWidget* parent) : QTableView(parent), model_(new RecordsetTableModel(this)) {
  setModel(model_);
  setItemDelegate(new ValidatingDelegate(this));
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setAlternatingRowColors(true);
  setWordWrap(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(model_, &RecordsetTableModel::headingsChanged, this, &RecordsetGrid::applySpans);
}

RecordsetGrid::~RecordsetGrid() = default;

void RecordsetGrid::setRecordset(std::shared_ptr<sql::Recordset> recordset) {
  model_->setRecordset(std::move(recordset));
  applyColumns();
}

void RecordsetGrid::applyColumns() {
  model_->columnsChanged();
  const auto& columns = model_->columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int c = static_cast<int>(i);
    setColumnHidden(c, columns[i].hidden);
    setColumnWidth(c, twipsToPixels(columns[i].widthTwips));
  }
  applySpans();
}

void RecordsetGrid::applySpans() {
  clearSpans();
  const int rows = model_->rowCount();
  const int columns = model_->columnCount();
  if (columns < 2) return;
  int first = 0;
  while (first < columns && isColumnHidden(first)) ++first;
  if (first >= columns - 1) return;
  for (int r = 0; r < rows; ++r)
    if (model_->isHeading(r)) setSpan(r, first, 1, columns - first);
}

void RecordsetGrid::setRedraw(bool on) {
  setUpdatesEnabled(on);
  if (on) viewport()->update();
}

QString RecordsetGrid::cellText(int row, std::string_view field) const {
  if (model_->isHeading(row)) return model_->headingText(row);
  const auto column = model_->columnOf(field);
  if (!column) return {};
  if (model_->columns()[static_cast<std::size_t>(*column)].isMark()) {
    const auto position = model_->positionOf(row);
    return position && model_->isMarked(*position) ? QStringLiteral("1") : QStringLiteral("0");
  }
  return model_->displayText(row, *column);
}

bool RecordsetGrid::typeInto(int row, std::string_view field, const QString& text) {
  const auto column = model_->columnOf(field);
  if (!column) return false;
  setCurrentIndex(model_->index(row, *column));
  return model_->editCell(row, *column, text);
}

void RecordsetGrid::keyPressEvent(QKeyEvent* event) {
  const QModelIndex current = currentIndex();
  const bool toggleKey =
      event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (toggleKey && current.isValid() && state() != QAbstractItemView::EditingState &&
      model_->columns()[static_cast<std::size_t>(current.column())].isMark()) {
    if (const auto position = model_->positionOf(current.row())) model_->toggleMark(*position);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

PrintedTable RecordsetGrid::printedTable() const { return printedTableOf(*model_); }

}  // namespace quill::ui

#pragma once

#include <QAbstractTableModel>
#include <optional>

#include "host/DocumentObserver.h"
#include "host/SalesLineEditor.h"

namespace quill::host {

class SalesDocumentEditor;

// The lines of the document an editor holds, as a table for the editor's
// grid: article, description, unit, quantity, unit price, discount %,
// discount value, total. Editing a cell is an edit of the line's field
// through the editor (so through the extension's hooks); a refused edit
// leaves the cell as it was; a document that may not be changed has no
// editable cell. Numbers show and are typed with the user's regional
// separators, right-aligned (the discount too) under right-aligned titles.
class SalesLinesModel : public QAbstractTableModel, private DocumentObserver {
  Q_OBJECT

 public:
  enum Column { Article, Description, Unit, Quantity, UnitPrice, Discount, DiscountValue, Total, ColumnCount };

  explicit SalesLinesModel(SalesDocumentEditor& editor, QObject* parent = nullptr);
  ~SalesLinesModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

  // The line field a column edits; nothing for description and total.
  static std::optional<LineField> fieldOf(int column);

 signals:
  void documentHeaderChanged();
  // The extension refused an edit (bCancel): the cell kept its old value.
  void editRefusedByExtension(int row, int column);
  // The editor's status line changed.
  void editorStatusChanged();

 private:
  void documentAboutToBeReplaced() override;
  void documentReplaced() override;
  void headerChanged() override;
  void lineAboutToBeInserted(int row) override;
  void lineInserted(int row) override;
  void lineAboutToBeRemoved(int row) override;
  void lineRemoved(int row) override;
  void lineChanged(int row) override;
  void statusChanged() override;

  static bool isNumeric(int column);

  SalesDocumentEditor& editor_;
};

}  // namespace quill::host

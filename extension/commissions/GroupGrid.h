#pragma once

#include <functional>
#include <memory>
#include <string>

namespace quill {

class DataAccess;
namespace sql {
class Recordset;
}
namespace ui {
class GridControl;
}

// The grid of the two group editors: every product group (GRUPOS), with one
// value per group of one key, a client's discount or a seller's rate, read
// through a left join and typed into the value column.
struct GroupColumns {
  const char* codeCaption;         // COD
  int codeWidth;                   // twips
  const char* descriptionCaption;  // DESCR
  int descriptionWidth;
  const char* valueField;  // the value column of the join
  const char* valueCaption;
  int valueWidth;
  const char* valueFormat;  // VB Format pattern
};

// Binds the grid to the groups with drawing off meanwhile: the code and the
// description shown and not editable, the value editable, right aligned in
// its format, any other column hidden. A typed value must be a number
// (empty text is none) that `accepts` takes; otherwise the edit is refused
// and the cell keeps what it held.
void bindGroupGrid(ui::GridControl& grid, std::shared_ptr<sql::Recordset> groups, const GroupColumns& columns,
                   std::function<bool(double)> accepts);

// The key the stored values of a group editor belong to: the column that
// holds it in the editor's table and its code.
struct GroupOwner {
  const char* field;  // CLIENTE, VENDEDOR
  std::string code;
};

// Writes the values of a group grid into the stored rows of their key, read
// by `storedSql`: a group with a value gets a row when it has none and has
// its row changed when it has one; a group whose cell is empty keeps what
// is stored, and no row is ever deleted. Every row goes in one
// SaveRecordset, so a failure writes nothing. Answers how many rows were
// added or changed.
int saveGroupValues(DataAccess& data, const sql::Recordset& groups, const std::string& storedSql,
                    const GroupOwner& owner, const char* valueField);

// Grid drawing off for the life of a scope, as the editors switch it off
// around a load or a save and back on however it ends.
class RedrawOff {
 public:
  explicit RedrawOff(ui::GridControl& grid);
  ~RedrawOff();
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  ui::GridControl& grid_;
};

}  // namespace quill

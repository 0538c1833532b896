#include "extension/commissions/GroupGrid.h"

#include "extension/components/DataAccess.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/FormView.h"
#include "platform/ui/RecordsetTableModel.h"
#include "platform/vb/Conversions.h"

namespace quill {

namespace {

using ui::GridColumn;

bool emptyCell(const Variant& v) { return v.isNull() || v.isEmpty() || (v.isString() && v.stringValue().empty()); }

}  // namespace

RedrawOff::RedrawOff(ui::GridControl& grid) : grid_(grid) { grid_.setRedraw(false); }

RedrawOff::~RedrawOff() { grid_.setRedraw(true); }

void bindGroupGrid(ui::GridControl& grid, std::shared_ptr<sql::Recordset> groups, const GroupColumns& columns,
                   std::function<bool(double)> accepts) {
  RedrawOff off(grid);
  auto& model = grid.model();
  model.setRecordset(groups);
  for (const auto& field : groups->fields()) model.column(field.name).hidden = true;
  auto show = [&](const char* field, const char* caption, int width, bool editable) -> GridColumn& {
    GridColumn& c = model.column(field);
    c.caption = caption;
    c.widthTwips = width;
    c.hidden = false;
    c.readOnly = !editable;
    c.align = editable ? GridColumn::Align::Right : GridColumn::Align::Left;
    return c;
  };
  show("COD", columns.codeCaption, columns.codeWidth, false);
  show("DESCR", columns.descriptionCaption, columns.descriptionWidth, false);
  show(columns.valueField, columns.valueCaption, columns.valueWidth, true).format = columns.valueFormat;
  model.setEditValidator([accepts = std::move(accepts)](ui::RecordsetTableModel::Edit& edit) {
    const Variant typed(edit.text);
    if (edit.text.empty() || !vb::IsNumeric(typed)) return false;
    const double value = vb::CDbl(typed);
    if (!accepts(value)) return false;
    edit.value = Variant(value);
    return true;
  });
  grid.applyColumns();
}

int saveGroupValues(DataAccess& data, const sql::Recordset& groups, const std::string& storedSql,
                    const GroupOwner& owner, const char* valueField) {
  auto stored = data.OpenRecordset(storedSql);
  const std::size_t code = groups.fieldIndex("COD");
  const std::size_t value = groups.fieldIndex(valueField);
  int written = 0;
  for (std::size_t position = 0; position < static_cast<std::size_t>(groups.recordCount()); ++position) {
    const Variant& typed = groups.valueAt(position, value);
    if (emptyCell(typed)) continue;
    const std::string group = vb::CStr(groups.valueAt(position, code));
    stored->setFilter("GRUPO='" + sql::sqlQuote(group) + "'");
    if (stored->recordCount() == 0) {
      stored->addNew();
      stored->setValue(owner.field, Variant(owner.code));
      stored->setValue("GRUPO", Variant(group));
    }
    stored->setValue(valueField, typed);
    stored->update();
    stored->setFilter("");
    ++written;
  }
  data.SaveRecordset(*stored);
  return written;
}

}  // namespace quill

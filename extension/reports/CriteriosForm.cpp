#include "extension/reports/CriteriosForm.h"

#include <limits>

#include "extension/components/DataAccess.h"
#include "extension/components/LookupList.h"
#include "extension/reports/CodeKinds.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlQuote.h"
#include "platform/ui/FormView.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

namespace quill {

std::string pickCode(ui::UiServices& ui, DataAccess& data, const std::string& title, const std::string& sql,
                     std::int32_t owner) {
  LookupList lookup(ui);
  lookup.setConnection(data.GetConnection());
  lookup.setTitle(title);
  lookup.setQuery(sql);
  lookup.load();
  lookup.setColumnWidth(1, 1000);
  lookup.setColumnWidth(2, 3000);
  return lookup.showModal(owner);
}

std::int32_t ownerOf(const Variant& lPai) {
  return lPai.isEmpty() || lPai.isNull() || lPai.isObject() ? 0 : vb::CLng(lPai);
}

std::string pickOfKind(ui::UiServices& ui, DataAccess& data, const CodeKind& kind, std::int32_t owner) {
  std::string picked = pickCode(ui, data, kind.lookupTitle, kind.lookupSql, owner);
  if (!kind.priceLine) return picked;
  const std::int16_t line = vb::IsNumeric(Variant(picked)) && !picked.empty() ? vb::CInt(Variant(picked)) : 0;
  return line == 0 ? std::string() : std::to_string(line);
}

std::string describeCode(DataAccess& data, const CodeKind& kind, const std::string& code) {
  auto rs = data.OpenRecordset(kind.findSql(sql::sqlQuote(code)));
  return sql::noRows(rs.get()) ? std::string() : sql::fieldText(*rs, kind.nameField);
}

CriteriosForm::CriteriosForm(ui::UiServices& ui) : Form(ui) {}

CriteriosForm::~CriteriosForm() = default;

DataAccess& CriteriosForm::data() const {
  if (!dataAccess_) throw vbError(vberr::ObjectNotSet, "DataAccess");
  return *dataAccess_;
}

void CriteriosForm::setButtons(std::string confirm, std::string cancel) {
  confirm_ = std::move(confirm);
  cancel_ = std::move(cancel);
}

void CriteriosForm::addRange(RangeField first, RangeField last) {
  first.first = true;
  last.first = false;
  ranges_.push_back(std::move(first));
  ranges_.push_back(std::move(last));
}

void CriteriosForm::addSellerAndPriceLineRanges() {
  addRange({"txtVndIni", "lblVndIniDescr", &kinds::vendedores()},
           {"txtVndFin", "lblVndFinDescr", &kinds::vendedores()});
  addRange({"txtPrcIni", "lblPrcIniDescr", &kinds::linhasPrecos()},
           {"txtPrcFin", "lblPrcFinDescr", &kinds::linhasPrecos()});
}

RangeField* CriteriosForm::rangeOf(std::string_view control) {
  for (auto& range : ranges_)
    if (equalsNoCase(range.field, control)) return &range;
  return nullptr;
}

void CriteriosForm::Editar(const Variant& lPai) {
  cancelled_ = true;
  owner_ = ownerOf(lPai);
  try {
    prepare();
    view().showModal(owner_);
  } catch (const std::exception& error) {
    cancelled_ = true;
    ui().showNumberedError(error, editarErrorTitle());
  }
}

void CriteriosForm::fillDefaults(const RangeField& first, const RangeField& last, bool trimAndValidate) {
  const CodeKind& kind = *first.kind;
  auto rs = data().OpenRecordset(kind.tableSql);
  if (sql::noRows(rs.get())) return;
  auto take = [&](const RangeField& end) {
    const std::string code = sql::fieldText(*rs, kind.tableCodeField);
    if (trimAndValidate) {
      view().setText(end.field, vb::Trim(code));
      validateRange(end);
    } else {
      view().setText(end.field, code);
      view().setText(end.description, sql::fieldText(*rs, kind.tableNameField));
    }
  };
  rs->moveFirst();
  take(first);
  rs->moveLast();
  take(last);
}

bool CriteriosForm::validateRange(const RangeField& range) {
  view().setText(range.description, "");
  if (range.kind == nullptr) return true;
  if (range.kind->priceLine) return validatePriceLine(range);
  const std::string code = view().text(range.field);
  if (code.empty()) return true;
  view().setText(range.description, describeCode(data(), *range.kind, code));
  return true;
}

bool CriteriosForm::validatePriceLine(const RangeField& range) {
  const std::string text = view().text(range.field);
  // An empty field is no line at all; it is accepted at either end.
  if (vb::Trim(text).empty()) return !strictPriceLines_;
  const Variant typed(text);
  if (!vb::IsNumeric(typed)) return !range.first && !strictPriceLines_;
  const double number = vb::CDbl(typed);
  if (number < std::numeric_limits<std::int16_t>::min() - 0.5 ||
      number >= std::numeric_limits<std::int16_t>::max() + 0.5) {
    // Out of the range of a line number: the first (last) line stands in.
    auto rs = data().OpenRecordset(range.kind->tableSql);
    if (sql::noRows(rs.get())) {
      if (!strictPriceLines_) view().setText(range.field, "");
      return true;
    }
    range.first ? rs->moveFirst() : rs->moveLast();
    view().setText(range.field, sql::fieldText(*rs, range.kind->tableCodeField));
    view().setText(range.description, sql::fieldText(*rs, range.kind->tableNameField));
    return true;
  }
  view().setText(range.description, describeCode(data(), *range.kind, std::to_string(vb::CInt(typed))));
  return true;
}

void CriteriosForm::lookupRange(const RangeField& range) {
  if (range.kind == nullptr) return;
  const std::string picked = pickOfKind(ui(), data(), *range.kind, owner_);
  if (picked.empty()) return;
  view().setText(range.field, picked);
  view().setText(range.description, "");
  if (validatesAfterLookup()) validateRange(range);
}

bool CriteriosForm::onValidate(std::string_view control) {
  if (RangeField* range = rangeOf(control)) return validateRange(*range);
  return true;
}

void CriteriosForm::onLookup(std::string_view control) {
  if (RangeField* range = rangeOf(control)) lookupRange(*range);
}

void CriteriosForm::onClick(std::string_view control) {
  if (equalsNoCase(control, confirm_)) {
    cancelled_ = false;
    view().hide();
  } else if (equalsNoCase(control, cancel_)) {
    cancelled_ = true;
    view().hide();
  }
}

}  // namespace quill

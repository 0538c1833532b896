#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "extension/components/DataAccess.h"
#include "platform/automation/MemberTable.h"
#include "platform/automation/Variant.h"
#include "platform/ui/Form.h"

namespace quill {

class DataAccess;

// What a range field of one kind looks up in the company: its lookup
// dialog, the statement that finds a typed code and the field shown as its
// description, and the whole table in code order for the defaults.
struct CodeKind {
  std::string lookupTitle;
  std::string lookupSql;
  // The statement that finds one code; the code comes with its quotes doubled.
  std::function<std::string(const std::string& code)> findSql;
  std::string nameField;
  // The whole table in code order; its first and last rows are the defaults.
  std::string tableSql;
  std::string tableCodeField;
  std::string tableNameField;
  // Price lines are numbers, with the price-line rule of validation.
  bool priceLine = false;
};

// One end of a range: the code field, its description (a label or a
// read-only field), what it looks up, and whether it is the first end.
struct RangeField {
  std::string field;
  std::string description;
  const CodeKind* kind = nullptr;
  bool first = true;
};

// The shared design of the report-criteria forms: ranges of codes, each end
// with a lookup (Ctrl+L) and a description filled when the field is left,
// the whole table as the default range, dates, a confirm and a cancel
// button, and the cancelled flag the caller reads.
//
// Validation when a field is left: text codes are looked up and their name
// shown; an unknown or empty code is accepted with an empty description, and
// nothing is ever said. Price lines: a first field refuses text that is not
// a number (the focus stays), a last field accepts it; a number out of the
// 16-bit range becomes the first (last) price line; a number is looked up.
// Confirm and cancel check nothing: the first end may be after the last.
class CriteriosForm : public ui::Form {
 public:
  explicit CriteriosForm(ui::UiServices& ui);
  ~CriteriosForm() override;

  void setDataAccess(std::shared_ptr<DataAccess> dataAccess) { dataAccess_ = std::move(dataAccess); }
  const std::shared_ptr<DataAccess>& dataAccess() const { return dataAccess_; }
  bool Cancelou() const { return cancelled_; }

  // Sets the cancelled flag, prepares the defaults and shows the form
  // modally over lPai; returns once the form is hidden. A failure while
  // preparing or showing is shown ("Erro " + number + " - " + description,
  // titled editarErrorTitle()) and leaves the flag set.
  void Editar(const Variant& lPai);

 protected:
  // The form's preparation before it is shown (defaults, mode).
  virtual void prepare() = 0;
  virtual std::string editarErrorTitle() const = 0;
  // A picked code is validated at once instead of only emptying the description.
  virtual bool validatesAfterLookup() const { return false; }

  void setButtons(std::string confirm, std::string cancel);
  void addRange(RangeField first, RangeField last);
  // The seller range (txtVndIni/txtVndFin) and the price-line range
  // (txtPrcIni/txtPrcFin) with their descriptions, as several forms have them.
  void addSellerAndPriceLineRanges();
  // The range end of a control, or nothing.
  RangeField* rangeOf(std::string_view control);
  std::vector<RangeField>& ranges() { return ranges_; }

  // First row of the kind's table into the first end, last row into the
  // last; nothing when the table is empty. With `trimAndValidate` the codes
  // are trimmed and validated instead of taking the table's names.
  void fillDefaults(const RangeField& first, const RangeField& last, bool trimAndValidate = false);
  bool validateRange(const RangeField& range);
  void lookupRange(const RangeField& range);

  bool onValidate(std::string_view control) override;
  void onLookup(std::string_view control) override;
  void onClick(std::string_view control) override;

  DataAccess& data() const;
  std::int32_t owner() const { return owner_; }
  void setOwner(std::int32_t owner) { owner_ = owner; }
  void setCancelled(bool cancelled) { cancelled_ = cancelled; }
  // Price lines must be numbers at both ends, an empty field refused too;
  // a number too large stays as typed when there are no price lines.
  void setPriceLinesMustBeNumbers(bool strict) { strictPriceLines_ = strict; }

 private:
  bool validatePriceLine(const RangeField& range);

  std::shared_ptr<DataAccess> dataAccess_;
  std::vector<RangeField> ranges_;
  std::string confirm_ = "CmdConf";
  std::string cancel_ = "CmdCancel";
  bool cancelled_ = true;
  bool strictPriceLines_ = false;
  std::int32_t owner_ = 0;
};

// The members every criteria form has, late-bound: DataAccess (set),
// Cancelou (get) and Editar([lPai]).
template <typename Form>
MemberTable<Form>& addCriteriosMembers(MemberTable<Form>& table) {
  using Args = typename MemberTable<Form>::Args;
  auto setData = [](Form& f, Args a) { f.setDataAccess(dataAccessOf(a.back())); };
  return table.property("DataAccess", {}, setData, setData)
      .property("Cancelou", [](Form& f, Args) { return Variant(f.Cancelou()); })
      .sub(
          "Editar", [](Form& f, Args a) { f.Editar(a.empty() ? Variant() : a[0]); }, Arity{0, 1});
}

// The owner window a form's Editar is given: lPai as a handle, 0 for none
// (Empty, Null or an empty object).
std::int32_t ownerOf(const Variant& lPai);

// The lookup dialog over a code kind's list; the picked code or empty text.
std::string pickCode(ui::UiServices& ui, DataAccess& data, const std::string& title, const std::string& sql,
                     std::int32_t owner);
// The lookup of a kind; a price line comes back as its number, and a pick
// that is no line (0) as nothing, empty text.
std::string pickOfKind(ui::UiServices& ui, DataAccess& data, const CodeKind& kind, std::int32_t owner);
// The name the kind's find statement gives a code (its quotes doubled), or
// empty text when it finds none.
std::string describeCode(DataAccess& data, const CodeKind& kind, const std::string& code);

}  // namespace quill

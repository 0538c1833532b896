#pragma once

#include <string>
#include <string_view>

#include "host/SalesDocument.h"

namespace quill::host {

class CompanyCatalog;
class ExtensionObject;
class ObservedUiServices;
struct DocumentContext;

// The fields of a line the user edits, in the order of the grid.
enum class LineField { Article, Unit, Quantity, UnitPrice, Discount, DiscountValue };

// What became of one edit.
struct EditOutcome {
  enum class Kind {
    Accepted,
    Refused,             // the host refused the input; `message` says why
    RefusedByExtension,  // a hook set bCancel: the field keeps its old value; `message`
                         // is what the extension's box said meanwhile, if it showed one
  };
  Kind kind = Kind::Accepted;
  std::string message;

  bool accepted() const { return kind == Kind::Accepted; }
  static EditOutcome refused(std::string why) { return {Kind::Refused, std::move(why)}; }
};

// One edit of one field of a sales line, as the ERP host makes it: the host
// checks the input (known codes, numbers), calls the extension's hook for
// the field with the document context and takes into the line what the hook
// answered:
// - Linha.PrecoUnitario and Linha.Desconto, when the hook wrote them;
// - the by-reference discount arguments (percentage and value);
// - bCancel: the edit is rejected and the line keeps every old value.
// Without an extension (none, or one that did not open the company) the
// input is taken as typed.
//
// A new line's unit may be typed before its article: the article is then
// priced in that unit when it sells in it, else in its sale unit. Once a
// line has an article only the extension decides whether its unit may
// change (ValidateUnidade).
class SalesLineEditor {
 public:
  // `boxes`, when given, sees the boxes the extension shows: the reason of a
  // refusal.
  SalesLineEditor(const CompanyCatalog& catalog, ExtensionObject* extension, const ObservedUiServices* boxes = nullptr);

  // Edits `line` of a document with `header`; the line is left unchanged
  // unless the edit is accepted. Never throws: an error raised by a hook
  // call comes back as a refusal whose message is "Erro " + its description.
  EditOutcome edit(const SalesHeader& header, SalesLine& line, LineField field, std::string_view typed);

 private:
  EditOutcome editField(const SalesHeader& header, SalesLine& line, LineField field, std::string_view typed);
  EditOutcome editArticle(const SalesHeader& header, SalesLine& line, std::string_view typed);
  EditOutcome editUnit(const SalesHeader& header, SalesLine& line, std::string_view typed);
  EditOutcome editQuantity(const SalesHeader& header, SalesLine& line, double quantity);
  EditOutcome editUnitPrice(const SalesHeader& header, SalesLine& line, double price);
  EditOutcome editDiscount(const SalesHeader& header, SalesLine& line, std::string_view typed);
  EditOutcome editDiscountValue(const SalesHeader& header, SalesLine& line, double value);

  const CompanyCatalog& catalog_;
  ExtensionObject* extension_;
  const ObservedUiServices* boxes_;
};

}  // namespace quill::host

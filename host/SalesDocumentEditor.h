#pragma once

#include <string>
#include <string_view>

#include "host/SalesDocument.h"
#include "host/SalesLineEditor.h"

namespace quill::erp {
class DocumentStore;
}
namespace quill::ui {
class UiServices;
}

namespace quill::host {

class CompanyCatalog;
class DocumentObserver;
class ExtensionObject;
class ObservedUiServices;

// What a sales-document editor works with. `extension` is empty when the
// company has no extension open: documents are then edited and saved
// without hooks and without the freight allowance. `boxes`, when there,
// sees every box the extension shows (the reason of a refusal);
// `allowanceArticle` is the article of the allowance line the extension
// writes (its configuration's DESCRTABONO).
struct EditorServices {
  const CompanyCatalog& catalog;
  const erp::DocumentStore& store;
  ExtensionObject* extension = nullptr;
  ui::UiServices& ui;
  const ObservedUiServices* boxes = nullptr;
  std::string allowanceArticle;
};

// The sales document being edited, with the ERP host's rules: codes typed in
// the header and the lines must exist in the company; the lines are priced
// by the extension's hooks (SalesLineEditor); saving writes the document
// through the ERP's store in one transaction (a discount text the ERP refuses
// is shown as refused and nothing is written), then has the freight allowance written when the
// extension says the document type concerns it, and reads the document back
// so that the allowance line shows.
//
// A document of a signed and certified series that is no longer in
// preparation is closed (erp::isClosedDocument): it opens to be read, and
// every change and every save of it is refused with the ERP's reason.
//
// Refusals and failures are shown in a message box titled kTitle; the
// extension shows its own. Nothing here ends the host: every error of a
// call to the extension or of the database becomes a box.
//
// The status line says what became of the last action the user should
// know of: a line edit the extension refused (with the reason its box
// gave) until the next edit that is taken, a save.
class SalesDocumentEditor {
 public:
  static constexpr const char* kTitle = "Documento de venda";
  static constexpr const char* kSaveQuestion = "Gravar as alterações?";

  explicit SalesDocumentEditor(EditorServices services);

  void setObserver(DocumentObserver* observer) { observer_ = observer; }

  // A new invoice (else a document of the first sales type) of its first
  // series, dated today.
  void newDocument();
  // A new document of a type and series on a date; false when refused.
  bool newDocument(std::string_view type, int series, Date date);
  // The stored document with this key; false (and a box) when there is none.
  bool open(const DocumentKey& key);

  const SalesDocument& document() const { return document_; }
  // The document's type is a credit note, as the extension tells (IsNotaCredito).
  bool isCreditNote() const { return creditNote_; }
  // The document may not be changed (see above); why, for the window.
  bool isReadOnly() const { return document_.closed; }
  std::string readOnlyReason() const;
  // Something was changed since the document was made, opened or saved.
  bool isModified() const { return modified_; }
  const std::string& status() const { return status_; }

  // Before the document is left (the window closed, the host ended): with
  // unsaved changes asks kSaveQuestion, Yes, No or Cancel. Yes saves; true
  // when the document may be left (nothing to save, saved, or the changes
  // let go), false when the user cancelled or the save was refused.
  bool confirmLeave();

  // The lookups of the client and of a line's article: the list of the
  // company's codes (CodeLookup) over `owner`, narrowed by what the field
  // held; the code picked is entered as if typed. False when nothing was
  // picked or it was refused.
  bool lookupClient(std::int32_t owner, std::string_view typed = {});
  bool lookupArticle(int row, std::int32_t owner, std::string_view typed = {});

  // ---- Header: each answers whether the value was taken.
  bool setType(std::string_view code);
  bool setSeries(int series);
  bool setDate(Date date);
  bool setDate(std::string_view typed);
  bool setClient(std::string_view code);
  bool setCurrency(std::string_view code);
  bool setDispatch(std::string_view code);

  // ---- Lines
  // Adds an empty article line at the end and answers its row; -1 when the
  // document may not be changed.
  int addLine();
  bool removeLine(int row);
  EditOutcome setLineField(int row, LineField field, std::string_view typed);

  struct SaveOutcome {
    bool saved = false;
    bool allowanceAsked = false;    // VendasAbonoFrete was called
    bool allowanceWritten = false;  // it answered true and the document now holds the allowance line
  };
  SaveOutcome save();

 private:
  bool refuse(const std::string& message);
  // Refuses, with the reason, a change of a document that may not be changed.
  bool refusedAsReadOnly();
  bool hasAllowanceLine() const;
  // The code picked in a lookup of the clients or of the articles, or empty.
  std::string choose(const char* title, bool clients, std::int32_t owner, std::string_view typed);
  void setStatus(std::string status);
  void replaceDocument(SalesDocument document);
  // An accepted change of the header: it is unsaved, and it is shown.
  void headerEdited();
  void headerChanged();
  void updateCreditNote();
  bool hasArticleLines() const;
  bool renumber();

  EditorServices services_;
  SalesLineEditor lines_;
  SalesDocument document_;
  DocumentObserver* observer_ = nullptr;
  bool creditNote_ = false;
  bool modified_ = false;
  std::string status_;
};

}  // namespace quill::host

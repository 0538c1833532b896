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

// What a sales-document editor works with. `extension` is empty when the
// company has no extension open: documents are then edited and saved
// without hooks and without the freight allowance.
struct EditorServices {
  const CompanyCatalog& catalog;
  const erp::DocumentStore& store;
  ExtensionObject* extension = nullptr;
  ui::UiServices& ui;
};

// The sales document being edited, with the ERP host's rules: codes typed in
// the header and the lines must exist in the company; the lines are priced
// by the extension's hooks (SalesLineEditor); saving writes the document
// through the ERP's store in one transaction (a discount text the ERP refuses
// is shown as refused and nothing is written), then has the freight allowance written when the
// extension says the document type concerns it, and reads the document back
// so that the allowance line shows.
//
// Refusals and failures are shown in a message box titled kTitle; the
// extension shows its own. Nothing here ends the host: every error of a
// call to the extension or of the database becomes a box.
class SalesDocumentEditor {
 public:
  static constexpr const char* kTitle = "Documento de venda";

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

  // ---- Header: each answers whether the value was taken.
  bool setType(std::string_view code);
  bool setSeries(int series);
  bool setDate(Date date);
  bool setDate(std::string_view typed);
  bool setClient(std::string_view code);
  bool setCurrency(std::string_view code);
  bool setDispatch(std::string_view code);

  // ---- Lines
  // Adds an empty article line at the end and answers its row.
  int addLine();
  bool removeLine(int row);
  EditOutcome setLineField(int row, LineField field, std::string_view typed);

  struct SaveOutcome {
    bool saved = false;
    bool allowanceAsked = false;    // VendasAbonoFrete was called
    bool allowanceWritten = false;  // and answered true
  };
  SaveOutcome save();

 private:
  bool refuse(const std::string& message);
  void replaceDocument(SalesDocument document);
  void headerChanged();
  void updateCreditNote();
  bool hasArticleLines() const;
  bool renumber();

  EditorServices services_;
  SalesLineEditor lines_;
  SalesDocument document_;
  DocumentObserver* observer_ = nullptr;
  bool creditNote_ = false;
};

}  // namespace quill::host

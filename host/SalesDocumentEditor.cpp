#include "host/SalesDocumentEditor.h"

#include <fmt/format.h>

#include "erp/DocumentStore.h"
#include "host/CodeLookup.h"
#include "host/CompanyCatalog.h"
#include "host/DocumentContextBuilder.h"
#include "host/DocumentMapping.h"
#include "host/DocumentObserver.h"
#include "host/ExtensionObject.h"
#include "platform/ui/UiServices.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::host {

namespace {

std::string keyText(const DocumentKey& key) {
  return fmt::format("{} {}/{} de {}", key.type, key.series, key.number, key.year);
}

bool isSalesType(const DocumentTypeRecord& type) {
  return type.classification.managementArea == 4 && type.classification.thirdPartyType == 2;
}

}  // namespace

SalesDocumentEditor::SalesDocumentEditor(EditorServices services)
    : services_(services), lines_(services.catalog, services.extension, services.boxes) {}

bool SalesDocumentEditor::refuse(const std::string& message) {
  services_.ui.msgBox(message, vb::vbExclamation, kTitle);
  return false;
}

std::string SalesDocumentEditor::readOnlyReason() const {
  return document_.closed ? erp::closedDocumentMessage(document_.header.key) : std::string();
}

bool SalesDocumentEditor::refusedAsReadOnly() {
  if (!document_.closed) return false;
  refuse(readOnlyReason());
  return true;
}

void SalesDocumentEditor::setStatus(std::string status) {
  if (status == status_) return;
  status_ = std::move(status);
  if (observer_) observer_->statusChanged();
}

void SalesDocumentEditor::replaceDocument(SalesDocument document) {
  if (observer_) observer_->documentAboutToBeReplaced();
  document_ = std::move(document);
  modified_ = false;
  if (observer_) observer_->documentReplaced();
  setStatus({});
  updateCreditNote();
  headerChanged();
}

void SalesDocumentEditor::headerEdited() {
  modified_ = true;
  setStatus({});
  headerChanged();
}

void SalesDocumentEditor::headerChanged() {
  if (observer_) observer_->headerChanged();
}

bool SalesDocumentEditor::hasAllowanceLine() const {
  const std::string article = vb::UCase(vb::Trim(services_.allowanceArticle));
  if (article.empty()) return false;
  for (const auto& line : document_.lines)
    if (vb::UCase(line.article) == article) return true;
  return false;
}

bool SalesDocumentEditor::confirmLeave() {
  if (!modified_ || document_.closed) return true;
  switch (services_.ui.msgBox(kSaveQuestion, vb::vbYesNoCancel | vb::vbQuestion, kTitle)) {
    case vb::vbYes:
      return save().saved;
    case vb::vbNo:
      return true;
    default:
      return false;
  }
}

std::string SalesDocumentEditor::choose(const char* title, bool clients, std::int32_t owner, std::string_view typed) {
  if (refusedAsReadOnly()) return {};
  try {
    CodeLookup lookup(services_.ui, title, clients ? services_.catalog.clientList() : services_.catalog.articleList());
    return lookup.pick(owner, typed);
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return {};
  }
}

bool SalesDocumentEditor::lookupClient(std::int32_t owner, std::string_view typed) {
  const std::string code = choose("Clientes", true, owner, typed);
  return !code.empty() && setClient(code);
}

bool SalesDocumentEditor::lookupArticle(int row, std::int32_t owner, std::string_view typed) {
  if (row < 0 || row >= static_cast<int>(document_.lines.size())) return false;
  const std::string code = choose("Artigos", false, owner, typed);
  return !code.empty() && setLineField(row, LineField::Article, code).accepted();
}

void SalesDocumentEditor::updateCreditNote() {
  creditNote_ = false;
  if (!services_.extension) return;
  try {
    creditNote_ = services_.extension->IsNotaCredito(DocumentContextBuilder::build(document_.header, nullptr).oApi);
  } catch (const std::exception& error) {
    services_.ui.showError(error, "IsNotaCredito");
  }
}

bool SalesDocumentEditor::hasArticleLines() const {
  for (const auto& line : document_.lines)
    if (!line.article.empty()) return true;
  return false;
}

bool SalesDocumentEditor::renumber() {
  auto& key = document_.header.key;
  try {
    key.number = services_.store.nextNumber(key.type, key.series, key.year);
    return true;
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
}

// ---------------------------------------------------------------- Documents

void SalesDocumentEditor::newDocument() {
  try {
    auto types = services_.catalog.salesDocumentTypes();
    if (types.empty()) {
      refuse("A empresa não tem tipos de documentos de venda.");
      return;
    }
    // Invoices are what is written most: goods leave stock and the client's
    // account is debited.
    const DocumentTypeRecord* type = &types.front();
    for (const auto& t : types) {
      const auto& c = t.classification;
      if (c.accountNature == 1 && c.stockType == 2 && c.accountSign == 1) {
        type = &t;
        break;
      }
    }
    auto series = services_.catalog.series(type->code);
    newDocument(type->code, series.empty() ? 0 : series.front(), vb::today());
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
  }
}

bool SalesDocumentEditor::newDocument(std::string_view type, int series, Date date) {
  try {
    auto record = services_.catalog.documentType(type);
    if (!record || !isSalesType(*record))
      return refuse(fmt::format("\"{}\" não é um tipo de documento de venda.", type));
    if (!services_.catalog.seriesExists(record->code, series))
      return refuse(fmt::format("O tipo {} não tem a série {}.", record->code, series));
    SalesDocument doc;
    doc.header.key = {record->code, series, 0, vb::Year(date)};
    doc.header.date = vb::dateOnly(date);
    doc.header.dueDate = doc.header.date;
    doc.header.classification = record->classification;
    doc.header.currency = services_.catalog.nationalCurrency();
    doc.header.key.number = services_.store.nextNumber(record->code, series, doc.header.key.year);
    replaceDocument(std::move(doc));
    return true;
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
}

bool SalesDocumentEditor::open(const DocumentKey& key) {
  try {
    auto doc = loadDocument(services_.store, key);
    if (!doc) return refuse(fmt::format("O documento {} não existe.", keyText(key)));
    replaceDocument(std::move(*doc));
    return true;
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
}

// ---------------------------------------------------------------- Header

bool SalesDocumentEditor::setType(std::string_view code) {
  if (refusedAsReadOnly()) return false;
  if (document_.stored) return refuse("O tipo de um documento gravado não se altera.");
  if (hasArticleLines()) return refuse("Apague as linhas antes de mudar o tipo do documento.");
  try {
    auto record = services_.catalog.documentType(code);
    if (!record || !isSalesType(*record))
      return refuse(fmt::format("\"{}\" não é um tipo de documento de venda.", vb::Trim(code)));
    auto& key = document_.header.key;
    auto series = services_.catalog.series(record->code);
    if (series.empty()) return refuse(fmt::format("O tipo {} não tem séries.", record->code));
    key.type = record->code;
    if (!services_.catalog.seriesExists(key.type, key.series)) key.series = series.front();
    document_.header.classification = record->classification;
    renumber();
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
  updateCreditNote();
  headerEdited();
  return true;
}

bool SalesDocumentEditor::setSeries(int series) {
  if (refusedAsReadOnly()) return false;
  if (document_.stored) return refuse("A série de um documento gravado não se altera.");
  try {
    if (!services_.catalog.seriesExists(document_.header.key.type, series))
      return refuse(fmt::format("O tipo {} não tem a série {}.", document_.header.key.type, series));
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
  document_.header.key.series = series;
  renumber();
  headerEdited();
  return true;
}

bool SalesDocumentEditor::setDate(Date date) {
  if (refusedAsReadOnly()) return false;
  date = vb::dateOnly(date);
  if (date == document_.header.date) return true;
  // The lines were priced for the date they were entered on (price lines
  // and scheduled prices start on dates).
  if (hasArticleLines()) return refuse("Os preços das linhas dependem da data: apague as linhas antes de a mudar.");
  if (document_.stored && vb::Year(date) != document_.header.key.year)
    return refuse(fmt::format("A data de um documento gravado fica no ano {}.", document_.header.key.year));
  auto& h = document_.header;
  double term = h.dueDate.serial - h.date.serial;
  h.date = date;
  h.dueDate = Date{date.serial + term};
  if (!document_.stored && vb::Year(date) != h.key.year) {
    h.key.year = vb::Year(date);
    renumber();
  }
  headerEdited();
  return true;
}

bool SalesDocumentEditor::setDate(std::string_view typed) {
  auto date = vb::parseDateText(typed);
  if (!date) return refuse(fmt::format("\"{}\" não é uma data (escreva dd-mm-aaaa).", vb::Trim(typed)));
  return setDate(*date);
}

bool SalesDocumentEditor::setClient(std::string_view code) {
  if (refusedAsReadOnly()) return false;
  std::string trimmed = vb::Trim(code);
  if (trimmed.empty()) return refuse("Escreva o código do cliente.");
  try {
    auto client = services_.catalog.client(trimmed);
    if (!client) return refuse(fmt::format("O cliente \"{}\" não existe.", trimmed));
    if (vb::UCase(client->code) == vb::UCase(document_.header.client)) return true;
    if (hasArticleLines())
      return refuse("As linhas têm os preços do cliente actual: apague-as antes de mudar o cliente.");
    auto& h = document_.header;
    h.client = client->code;
    h.clientName = client->name;
    auto currency = client->currency.empty() ? std::nullopt : services_.catalog.currency(client->currency);
    h.currency = currency ? *currency : services_.catalog.nationalCurrency();
    if (auto dispatch = client->dispatch.empty() ? std::nullopt : services_.catalog.dispatch(client->dispatch))
      h.dispatch = *dispatch;
    h.seller = client->seller;
    h.zone = client->zone;
    h.dueDate = Date{h.date.serial + client->paymentDays};
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
  headerEdited();
  return true;
}

bool SalesDocumentEditor::setCurrency(std::string_view code) {
  if (refusedAsReadOnly()) return false;
  try {
    auto currency = services_.catalog.currency(code);
    if (!currency) return refuse(fmt::format("A moeda \"{}\" não existe.", vb::Trim(code)));
    if (*currency == document_.header.currency) return true;
    if (hasArticleLines()) return refuse("Apague as linhas antes de mudar a moeda: os preços são da moeda actual.");
    document_.header.currency = *currency;
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
  headerEdited();
  return true;
}

bool SalesDocumentEditor::setDispatch(std::string_view code) {
  if (refusedAsReadOnly()) return false;
  std::string trimmed = vb::Trim(code);
  try {
    if (trimmed.empty()) {
      document_.header.dispatch.clear();
    } else {
      auto dispatch = services_.catalog.dispatch(trimmed);
      if (!dispatch) return refuse(fmt::format("O código de expedição \"{}\" não existe.", trimmed));
      document_.header.dispatch = *dispatch;
    }
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
    return false;
  }
  headerEdited();
  return true;
}

// ---------------------------------------------------------------- Lines

int SalesDocumentEditor::addLine() {
  if (refusedAsReadOnly()) return -1;
  int row = static_cast<int>(document_.lines.size());
  if (observer_) observer_->lineAboutToBeInserted(row);
  document_.lines.emplace_back();
  if (observer_) observer_->lineInserted(row);
  return row;
}

bool SalesDocumentEditor::removeLine(int row) {
  if (row < 0 || row >= static_cast<int>(document_.lines.size()) || refusedAsReadOnly()) return false;
  const SalesLine& line = document_.lines[static_cast<std::size_t>(row)];
  // A row the user added and never filled was nothing to save.
  if (!(line.isArticleLine() && line.article.empty())) modified_ = true;
  if (observer_) observer_->lineAboutToBeRemoved(row);
  document_.lines.erase(document_.lines.begin() + row);
  if (observer_) observer_->lineRemoved(row);
  setStatus({});
  return true;
}

EditOutcome SalesDocumentEditor::setLineField(int row, LineField field, std::string_view typed) {
  if (row < 0 || row >= static_cast<int>(document_.lines.size())) return EditOutcome::refused("Essa linha não existe.");
  if (refusedAsReadOnly()) return EditOutcome::refused(readOnlyReason());
  EditOutcome outcome = lines_.edit(document_.header, document_.lines[static_cast<std::size_t>(row)], field, typed);
  if (outcome.accepted()) {
    modified_ = true;
    if (observer_) observer_->lineChanged(row);
    setStatus({});
  } else if (outcome.kind == EditOutcome::Kind::RefusedByExtension) {
    // The extension has shown its own box; the status line keeps its reason.
    setStatus(fmt::format("A extensão recusou a alteração da linha {}{}", row + 1,
                          outcome.message.empty() ? std::string(".") : ": " + outcome.message));
  } else if (!outcome.message.empty()) {
    services_.ui.msgBox(outcome.message, vb::vbExclamation, kTitle);
  }
  return outcome;
}

// ---------------------------------------------------------------- Saving

SalesDocumentEditor::SaveOutcome SalesDocumentEditor::save() {
  SaveOutcome outcome;
  if (refusedAsReadOnly()) return outcome;
  const auto& h = document_.header;
  if (h.client.empty()) {
    refuse("Falta o cliente do documento.");
    return outcome;
  }
  if (!hasArticleLines()) {
    refuse("O documento não tem linhas de artigos.");
    return outcome;
  }
  SalesDocument saved = document_;
  try {
    saveDocument(services_.store, saved);
  } catch (const std::exception& error) {
    services_.ui.showError(error, "Gravar documento");
    return outcome;
  }
  outcome.saved = true;
  replaceDocument(saved);

  const DocumentKey key = document_.header.key;
  if (ExtensionObject* extension = services_.extension) {
    try {
      if (extension->VendasDocumentoInteressa(key.type)) {
        outcome.allowanceAsked = true;
        outcome.allowanceWritten = extension->VendasAbonoFrete(static_cast<std::int16_t>(key.year), key.type,
                                                               static_cast<std::int16_t>(key.series), key.number,
                                                               document_.header.dispatch, document_.header.client);
      }
    } catch (const std::exception& error) {
      services_.ui.showError(error, "Documentos de Venda");
    }
  }
  // The bridge may have added or corrected the allowance line: show the
  // document as the company now holds it.
  try {
    if (auto reloaded = loadDocument(services_.store, key)) replaceDocument(std::move(*reloaded));
  } catch (const std::exception& error) {
    services_.ui.showError(error, kTitle);
  }
  // Only the line in the document tells that the bridge wrote it: the
  // extension answers true also when the bridge had nothing to do.
  outcome.allowanceWritten = outcome.allowanceWritten && hasAllowanceLine();
  setStatus(fmt::format("Gravado {}.{}", keyText(key), outcome.allowanceWritten ? " Abono de frete escrito." : ""));
  return outcome;
}

}  // namespace quill::host

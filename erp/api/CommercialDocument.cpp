#include "erp/api/CommercialDocument.h"

#include <fmt/format.h>

#include "erp/DocumentStore.h"
#include "erp/api/ApiCompanySession.h"
#include "erp/api/DocumentHeader.h"
#include "erp/api/DocumentLine.h"
#include "erp/api/DocumentLines.h"
#include "erp/api/DocumentValidator.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"

namespace quill::erpapi {

CommercialDocument::CommercialDocument(std::shared_ptr<ApiCompanySession> session)
    : session_(std::move(session)),
      header_(std::make_shared<DocumentHeader>()),
      lines_(std::make_shared<DocumentLines>()) {}

CommercialDocument::~CommercialDocument() = default;

bool CommercialDocument::started() const { return session_ && session_->isOpen(); }

bool CommercialDocument::EmPreparacao() const { return read_ && header_->values().inPreparation; }

std::string CommercialDocument::describe() const {
  const erp::DocumentKey& k = storedKey_;
  return fmt::format("{} {}/{}/{}", k.type, k.series, k.number, k.year);
}

std::int32_t CommercialDocument::Ler(std::string_view type, std::int32_t number, std::int32_t series,
                                     std::int32_t year) {
  read_ = false;
  readRefusal_.reset();
  header_->values() = erp::HeaderValues{};
  lines_->items().clear();
  if (!started()) return refusal_.refuse(refuse::notStarted());
  auto document =
      erp::DocumentStore(session_->connection()).load(erp::DocumentKey{std::string(type), series, number, year});
  if (!document) {
    readRefusal_ = refuse::documentNotFound(type, series, number, year);
    return refusal_.refuse(*readRefusal_);
  }

  read_ = true;
  readRefusal_.reset();
  storedKey_ = document->header.key;
  seriesSigned_ = document->seriesSigned;
  seriesCertified_ = document->seriesCertified;
  header_->values() = std::move(document->header);
  for (auto& line : document->lines) lines_->items().push_back(std::make_shared<DocumentLine>(std::move(line)));
  return refusal_.succeed();
}

std::int32_t CommercialDocument::SugereValoresLin(DocumentLine& line, const SuggestFlags& flags) {
  if (!started()) return refusal_.refuse(refuse::notStarted());
  erp::LineValues& v = line.values();
  auto article = session_->query(
      "SELECT NOME, UNVND, IVA, PVPSIVA, PVALSIVA, PVP3_SEM_IVA FROM ARTIGOS WHERE CODIGO = ?", {Variant(v.article)});
  if (article->eof()) return refusal_.refuse(refuse::unknownArticle(v.article));

  const erp::HeaderValues& header = header_->values();
  int level = 0;
  std::string clientDiscount;
  if (!header.client.empty()) {
    auto client = session_->query("SELECT TPPRE, DESCCOMP FROM CLIENTES WHERE CODIGO = ?", {Variant(header.client)});
    if (!client->eof()) {
      level = sql::fieldLong(*client, "TPPRE");
      clientDiscount = sql::fieldText(*client, "DESCCOMP");
    }
  }
  static constexpr const char* kRetailColumns[] = {"PVPSIVA", "PVALSIVA", "PVP3_SEM_IVA"};
  if (level < 0 || level > 2) level = 0;

  if (flags[Description]) v.description = sql::fieldText(*article, "NOME");
  if (flags[Unit]) v.unit = sql::fieldText(*article, "UNVND");
  if (flags[Price]) {
    v.unitPrice = sql::doubleOrZero(article->value(kRetailColumns[level]));
    v.enteredUnitPrice = v.unitPrice;
  }
  if (flags[Vat]) {
    v.vatRate = session_->nationalVatRate(sql::fieldLong(*article, "IVA"));
  }
  if (flags[SellerAndDate]) {
    v.seller = header.seller;
    v.date = header.date;
  }
  if (flags[ClientDiscount]) v.discount = clientDiscount;
  if (flags[Quantity] && v.quantity == 0) {
    v.quantity = 1;
    v.originalQuantity = 1;
  }
  return refusal_.succeed();
}

std::int32_t CommercialDocument::AdicionaLinha(std::shared_ptr<DocumentLine> line) {
  if (!started()) return refusal_.refuse(refuse::notStarted());
  if (!read_) return refusal_.refuse(refuse::noDocumentRead());
  lines_->items().push_back(std::move(line));
  return refusal_.succeed();
}

std::optional<ApiRefusal> CommercialDocument::validate() const {
  if (!started()) return refuse::notStarted();
  if (!read_) return readRefusal_ ? *readRefusal_ : refuse::noDocumentRead();
  std::vector<const erp::LineValues*> lines;
  lines.reserve(lines_->items().size());
  for (const auto& line : lines_->items()) lines.push_back(&line->values());
  DocumentValidator::Document document{storedKey_, header_->values(), seriesSigned_, seriesCertified_, lines};
  return DocumentValidator(*session_).check(document);
}

std::int32_t CommercialDocument::Validar(std::optional<std::int32_t> mode) {
  auto refusal = validate();
  if (started())
    session_->log().write(fmt::format("Validar documento {} origem {} modo {}: {}", describe(), origem_,
                                      mode ? std::to_string(*mode) : std::string("omisso"),
                                      refusal ? fmt::format("{} {}", refusal->number, refusal->message) : "0"));
  return refusal ? refusal_.refuse(std::move(*refusal)) : refusal_.succeed();
}

std::int32_t CommercialDocument::Alterar() {
  auto refusal = validate();
  if (!refusal) {
    std::vector<erp::LineValues*> lines;
    lines.reserve(lines_->items().size());
    for (const auto& line : lines_->items()) lines.push_back(&line->values());
    try {
      erp::DocumentStore(session_->connection()).save(header_->values(), lines, erp::DocumentStore::Write::Existing);
    } catch (const AutomationError& error) {
      refusal = refuse::writeFailed(error.description());
    }
  }
  if (started())
    session_->log().write(fmt::format("Alterar documento {} origem {} linhas {}: {}", describe(), origem_,
                                      lines_->items().size(),
                                      refusal ? fmt::format("{} {}", refusal->number, refusal->message) : "0"));
  return refusal ? refusal_.refuse(std::move(*refusal)) : refusal_.succeed();
}

const MemberTable<CommercialDocument>& CommercialDocument::members() {
  using Args = MemberTable<CommercialDocument>::Args;
  auto lineArgument = [](const Variant& value) {
    auto line = std::dynamic_pointer_cast<DocumentLine>(requireObject(value));
    if (!line) throw vbError(vberr::TypeMismatch, "DocumentoComercial");
    return line;
  };
  static const auto table =
      MemberTable<CommercialDocument>()
          .method(
              "Ler",
              [](CommercialDocument& d, Args a) {
                return Variant(d.Ler(vb::CStr(a[0]), vb::CLng(a[1]), vb::CLng(a[2]), vb::CLng(a[3])));
              },
              Arity::exactly(4))
          .property("IsSerieAssinada", [](CommercialDocument& d, Args) { return Variant(d.IsSerieAssinada()); })
          .property("IsDocumentoCertificacao",
                    [](CommercialDocument& d, Args) { return Variant(d.IsDocumentoCertificacao()); })
          .property("EmPreparacao", [](CommercialDocument& d, Args) { return Variant(d.EmPreparacao()); })
          .property("Linhas",
                    [](CommercialDocument& d, Args a) {
                      if (a.empty()) return Variant(DispatchPtr(d.lines_));
                      return Variant(DispatchPtr(d.lines_->item(vb::CLng(a[0]))));
                    })
          .property("Cab", [](CommercialDocument& d, Args) { return Variant(DispatchPtr(d.header_)); })
          .method(
              "SugereValoresLin",
              [lineArgument](CommercialDocument& d, Args a) {
                auto line = lineArgument(a[0]);
                SuggestFlags flags;
                flags.fill(true);
                for (std::size_t i = 1; i < a.size(); ++i)
                  if (!a[i].isEmpty()) flags[i - 1] = vb::CBool(a[i]);
                return Variant(d.SugereValoresLin(*line, flags));
              },
              Arity{1, 1 + kSuggestFlags})
          .method(
              "AdicionaLinha",
              [lineArgument](CommercialDocument& d, Args a) { return Variant(d.AdicionaLinha(lineArgument(a[0]))); },
              Arity::exactly(1))
          .property(
              "Origem", [](CommercialDocument& d, Args) { return Variant(d.origem_); },
              [](CommercialDocument& d, Args a) { d.origem_ = vb::CLng(a.back()); })
          .method(
              "Validar",
              [](CommercialDocument& d, Args a) {
                std::optional<std::int32_t> mode;
                if (!a.empty() && !a[0].isEmpty()) mode = vb::CLng(a[0]);
                return Variant(d.Validar(mode));
              },
              Arity{0, 1})
          .method(
              "Alterar", [](CommercialDocument& d, Args) { return Variant(d.Alterar()); }, Arity::exactly(0))
          .property("UltimoErro", [](CommercialDocument& d, Args) { return Variant(d.refusal_.number()); })
          .property("UltimaMensagem", [](CommercialDocument& d, Args) { return Variant(d.refusal_.message()); });
  return table;
}

}  // namespace quill::erpapi

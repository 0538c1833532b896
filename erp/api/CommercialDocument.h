#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "erp/HeaderValues.h"
#include "erp/api/LastRefusal.h"
#include "platform/automation/MemberTable.h"

namespace quill::erpapi {

class ApiCompanySession;
class DocumentHeader;
class DocumentLine;
class DocumentLines;

// "SageApiNextPlus.DocumentoComercial": one commercial document, read,
// changed in memory and saved.
//
// Members:
//   Ler(tipo, numero, serie, ano) -> 0, or non-zero when it does not exist
//   IsSerieAssinada, IsDocumentoCertificacao   the series' flags (SERIES)
//   EmPreparacao                               still in preparation (EMPREP)
//   Linhas                                     the lines (Count, Item(i)); Linhas(i) is Item(i)
//   Cab                                        the header (DocumentHeader)
//   SugereValoresLin(linha, descricao, unidade, preco, iva, vendedor,
//                    descontos, quantidade)    fills a line from its article
//   AdicionaLinha(linha)                       appends a line object
//   Origem                                     who is changing the document (kept, logged)
//   Validar([modo]) -> 0 or non-zero           checks without writing
//   Alterar() -> 0 or non-zero                 checks, then saves header and lines at once
//   UltimoErro, UltimaMensagem                 the last refusal (0 and "" after a success)
//
// SugereValoresLin's flags (each optional, true when left out) choose what
// is filled: the description; the sale unit; the unit price (the retail
// price of the level of the document's client, TPPRE 0 to 2, any other
// counting as 0) and the entered price; the VAT rate of the national regime;
// the seller and date of the header; the client's compound discount; a
// quantity of 1 when the line has none.
//
// Nothing is written except by Alterar, and Alterar writes all or nothing:
// a refusal, or a failure of the database, leaves the stored document as it
// was.
class CommercialDocument : public DispatchObject<CommercialDocument> {
 public:
  enum SuggestFlag { Description, Unit, Price, Vat, SellerAndDate, ClientDiscount, Quantity, kSuggestFlags };
  using SuggestFlags = std::array<bool, kSuggestFlags>;

  explicit CommercialDocument(std::shared_ptr<ApiCompanySession> session);
  ~CommercialDocument() override;

  std::int32_t Ler(std::string_view type, std::int32_t number, std::int32_t series, std::int32_t year);
  bool IsSerieAssinada() const { return read_ && seriesSigned_; }
  bool IsDocumentoCertificacao() const { return read_ && seriesCertified_; }
  bool EmPreparacao() const;
  std::int32_t SugereValoresLin(DocumentLine& line, const SuggestFlags& flags);
  std::int32_t AdicionaLinha(std::shared_ptr<DocumentLine> line);
  std::int32_t Validar(std::optional<std::int32_t> mode = std::nullopt);
  std::int32_t Alterar();

  const std::shared_ptr<DocumentHeader>& Cab() const { return header_; }
  const std::shared_ptr<DocumentLines>& Linhas() const { return lines_; }
  std::int32_t origem() const { return origem_; }
  void setOrigem(std::int32_t origem) { origem_ = origem; }
  const LastRefusal& lastRefusal() const { return refusal_; }

  static const MemberTable<CommercialDocument>& members();
  std::string className() const override { return "DocumentoComercial"; }

 private:
  bool started() const;
  std::optional<ApiRefusal> validate() const;
  std::string describe() const;  // "FT 1/2/2026", for the API's log

  std::shared_ptr<ApiCompanySession> session_;
  std::shared_ptr<DocumentHeader> header_;
  std::shared_ptr<DocumentLines> lines_;
  bool read_ = false;
  // Why the last Ler found nothing: what validating answers until a
  // document is read.
  std::optional<ApiRefusal> readRefusal_;
  erp::DocumentKey storedKey_;
  bool seriesSigned_ = false;
  bool seriesCertified_ = false;
  std::int32_t origem_ = 0;
  LastRefusal refusal_;
};

}  // namespace quill::erpapi

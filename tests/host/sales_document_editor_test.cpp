// The sales-document editor's own rules: the header, the lines, saving and
// the freight allowance asked of the extension, on the demo company with an
// extension whose answers each test chooses.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "erp/DocumentStore.h"
#include "host/DocumentObserver.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/Connection.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

Date documentDate() { return *vb::parseIsoText(demo::kDocumentDate); }

class SalesDocumentEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    session = sessionWith(ui, fake, processFolder() / (name + "-extension"));
    ASSERT_TRUE(session->open(company));
    editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
    ASSERT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, documentDate()));
    ui.scripted->clearBoxes();
  }

  void addLine(std::string_view article, std::string_view quantity) {
    int row = editor->addLine();
    ASSERT_TRUE(editor->setLineField(row, LineField::Article, article).accepted());
    ASSERT_TRUE(editor->setLineField(row, LineField::Quantity, quantity).accepted());
  }

  // A document of the allowance client and its dispatch, saved.
  SalesDocumentEditor::SaveOutcome saveAllowanceDocument() {
    EXPECT_TRUE(editor->setClient(demo::kAllowanceClient));
    EXPECT_TRUE(editor->setDispatch(demo::kAllowanceDispatch));
    addLine(demo::kOrdinaryArticle, "200");
    return editor->save();
  }

  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
  std::unique_ptr<SalesDocumentEditor> editor;
};

TEST_F(SalesDocumentEditorTest, NewDocumentIsNumberedInItsSeriesAndYearAndCopiesItsTypesClassification) {
  const auto& h = editor->document().header;
  EXPECT_EQ(h.key.number, session->store().nextNumber(demo::kInvoiceType, demo::kUnsignedSeries, demo::kDocumentYear));
  EXPECT_EQ(h.key.year, demo::kDocumentYear);
  EXPECT_EQ(h.classification, (DocumentClassification{4, 2, 2, 1, 2, 1}));
  EXPECT_EQ(h.currency, demo::kNationalCurrency);
  // Another year numbers from that year's documents.
  ASSERT_TRUE(editor->setDate("05-01-2031"));
  EXPECT_EQ(editor->document().header.key.year, 2031);
  EXPECT_EQ(editor->document().header.key.number, 1);
  // Whether it is a credit note is the extension's answer on the header.
  fake->on("IsNotaCredito", [](std::span<Variant> a) {
    auto cab = late::get(a[0].objectValue(), "Cab").objectValue();
    return Variant(vb::CLng(late::get(cab, "TipificacaoStocks")) == 1);
  });
  EXPECT_FALSE(editor->isCreditNote());
  ASSERT_TRUE(editor->setType(demo::kCreditNoteType));
  EXPECT_EQ(editor->document().header.classification.stockType, 1);
  EXPECT_TRUE(editor->isCreditNote());
}

TEST_F(SalesDocumentEditorTest, PlainNewDocumentIsAnInvoiceOfToday) {
  editor->newDocument();
  EXPECT_EQ(editor->document().header.key.type, demo::kInvoiceType);
  EXPECT_EQ(editor->document().header.date, vb::today());
  EXPECT_FALSE(editor->document().stored);
}

TEST_F(SalesDocumentEditorTest, ClientBringsItsCurrencyDispatchAndTerm) {
  ASSERT_TRUE(editor->setClient("c00005"));
  const auto& h = editor->document().header;
  EXPECT_EQ(h.client, demo::kAllowanceClient);
  EXPECT_FALSE(h.clientName.empty());
  EXPECT_EQ(h.currency, demo::kNationalCurrency);
  EXPECT_FALSE(h.seller.empty());
  EXPECT_GE(h.dueDate.serial, h.date.serial);
}

TEST_F(SalesDocumentEditorTest, HeaderCodesThatDoNotExistAreRefusedAndTheHeaderKeepsItsValues) {
  ASSERT_TRUE(editor->setClient(demo::kRetailClient));
  ASSERT_TRUE(editor->setDispatch(demo::kAllowanceDispatch));
  SalesHeader before = editor->document().header;
  struct Case {
    const char* name;
    std::function<bool()> change;
    const char* reason;
  };
  const Case cases[] = {
      {"client", [&] { return editor->setClient(demo::kUnknownClient); }, "O cliente \"C99999\" não existe."},
      {"currency", [&] { return editor->setCurrency(demo::kUnknownCurrency); }, "A moeda \"XXX\" não existe."},
      {"dispatch", [&] { return editor->setDispatch("NENHUM"); }, "O código de expedição \"NENHUM\" não existe."},
      {"type", [&] { return editor->setType("ZZ"); }, "\"ZZ\" não é um tipo de documento de venda."},
      {"series", [&] { return editor->setSeries(42); }, "não tem a série 42"},
      {"date", [&] { return editor->setDate("31-02-2026"); }, "não é uma data"},
  };
  for (const auto& c : cases) {
    ui.scripted->clearBoxes();
    EXPECT_FALSE(c.change()) << c.name;
    ASSERT_EQ(ui.scripted->boxes().size(), 1u) << c.name;
    EXPECT_NE(ui.scripted->boxes()[0].prompt.find(c.reason), std::string::npos) << ui.scripted->boxes()[0].prompt;
    EXPECT_EQ(ui.scripted->boxes()[0].title, SalesDocumentEditor::kTitle);
  }
  const auto& after = editor->document().header;
  EXPECT_EQ(after.client, before.client);
  EXPECT_EQ(after.currency, before.currency);
  EXPECT_EQ(after.dispatch, before.dispatch);
  EXPECT_EQ(after.key, before.key);
  EXPECT_EQ(after.date, before.date);
}

TEST_F(SalesDocumentEditorTest, WhatTheLinesWerePricedOnCannotChangeUnderThem) {
  ASSERT_TRUE(editor->setClient(demo::kRetailClient));
  addLine(demo::kOrdinaryArticle, "5");
  EXPECT_FALSE(editor->setClient(demo::kAllowanceClient));
  EXPECT_FALSE(editor->setDate("17-03-2026"));
  EXPECT_FALSE(editor->setCurrency(demo::kOtherCurrency));
  EXPECT_FALSE(editor->setType(demo::kCreditNoteType));
  EXPECT_EQ(ui.scripted->boxes().size(), 4u);
  // The dispatch code only decides the allowance.
  EXPECT_TRUE(editor->setDispatch(demo::kNoAllowanceDispatch));
  // With the lines gone the client may change.
  ASSERT_TRUE(editor->removeLine(0));
  EXPECT_TRUE(editor->setClient(demo::kAllowanceClient));
}

TEST_F(SalesDocumentEditorTest, SavingAsksForTheAllowanceOfATypeThatConcernsItAndShowsTheStoredDocument) {
  fake->on("VendasDocumentoInteressa", [](std::span<Variant> a) { return Variant(vb::CStr(a[0]) == "FT"); });
  fake->on("VendasAbonoFrete", [this](std::span<Variant> a) {
    // The allowance is written by the bridge into the saved document.
    auto db = openDatabase(company);
    db->execute(
        "INSERT INTO DOCGCLIN (TPDOCUM, SERIE, NNUMDOC, ANO, NUMLIN, TIPOLIN, ARTIGO, QUANT, PRECUNIT) "
        "VALUES (?, ?, ?, ?, 99, 3, 'ABFRETE', 1, 1.5)",
        {a[1], a[2], a[3], a[0]});
    return Variant(true);
  });
  auto outcome = saveAllowanceDocument();
  ASSERT_TRUE(outcome.saved);
  EXPECT_TRUE(outcome.allowanceAsked);
  EXPECT_TRUE(outcome.allowanceWritten);
  const auto& key = editor->document().header.key;
  auto calls = fake->callsOf("VendasAbonoFrete");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].args,
            (std::vector<Variant>{std::int16_t(key.year), key.type, std::int16_t(key.series), std::int32_t{key.number},
                                  std::string(demo::kAllowanceDispatch), std::string(demo::kAllowanceClient)}));
  ASSERT_EQ(editor->document().lines.size(), 2u);
  EXPECT_EQ(editor->document().lines[1].type, LineType::Service);
  EXPECT_TRUE(editor->document().stored);
}

TEST_F(SalesDocumentEditorTest, TypeThatDoesNotConcernTheAllowanceIsSavedWithoutAskingForIt) {
  ASSERT_TRUE(editor->setClient(demo::kAllowanceClient));
  addLine(demo::kOrdinaryArticle, "200");
  auto outcome = editor->save();
  EXPECT_TRUE(outcome.saved);
  EXPECT_FALSE(outcome.allowanceAsked);
  EXPECT_TRUE(fake->callsOf("VendasAbonoFrete").empty());
}

TEST_F(SalesDocumentEditorTest, AllowanceErrorIsShownAndTheDocumentStaysSaved) {
  fake->on("VendasDocumentoInteressa", [](std::span<Variant>) { return Variant(true); });
  fake->on("VendasAbonoFrete", [](std::span<Variant>) -> Variant {
    throw AutomationError(462, "Quillbridge", "The remote server machine does not exist or is unavailable");
  });
  ASSERT_TRUE(editor->setClient(demo::kAllowanceClient));
  addLine(demo::kOrdinaryArticle, "200");
  auto outcome = editor->save();
  EXPECT_TRUE(outcome.saved);
  EXPECT_FALSE(outcome.allowanceWritten);
  ASSERT_EQ(ui.boxesWith("Erro The remote server machine").size(), 1u);
  EXPECT_TRUE(session->store().exists(editor->document().header.key));
}

TEST_F(SalesDocumentEditorTest, DocumentThatCannotBeStoredStaysInTheEditorUnsaved) {
  ASSERT_TRUE(editor->setClient(demo::kAllowanceClient));
  addLine(demo::kOrdinaryArticle, "200");
  // The company's database is taken by another writer for longer than the host waits.
  auto other = openDatabase(company);
  other->setBusyTimeout(std::chrono::milliseconds(0));
  other->execute("BEGIN IMMEDIATE");
  auto outcome = editor->save();
  other->execute("ROLLBACK");
  EXPECT_FALSE(outcome.saved);
  EXPECT_FALSE(editor->document().stored);
  EXPECT_EQ(editor->document().lines.size(), 1u);
  ASSERT_EQ(ui.scripted->boxes().size(), 1u);
  EXPECT_EQ(ui.scripted->boxes()[0].title, "Gravar documento");
  EXPECT_TRUE(fake->callsOf("VendasDocumentoInteressa").empty());
}

TEST_F(SalesDocumentEditorTest, ADiscountTheErpRefusesIsShownAsRefusedAndNothingIsWritten) {
  // A hook hands the line a discount text the ERP does not read.
  fake->on("ValidateArtigo", [](std::span<Variant> a) {
    late::let(late::get(a[0].objectValue(), "Linha").objectValue(), "Desconto", Variant("10+abc"));
    return Variant();
  });
  ASSERT_TRUE(editor->setClient(demo::kAllowanceClient));
  addLine(demo::kOrdinaryArticle, "200");
  ASSERT_EQ(editor->document().lines[0].discount, "10+abc");
  EXPECT_FALSE(editor->document().lines[0].total()) << "no silently different total";
  const int before = editor->document().header.key.number;
  auto outcome = editor->save();
  EXPECT_FALSE(outcome.saved);
  EXPECT_FALSE(editor->document().stored);
  ASSERT_EQ(ui.scripted->boxes().size(), 1u);
  EXPECT_EQ(ui.scripted->boxes()[0].prompt, "Erro Linha 1: o desconto '10+abc' não é válido.");
  EXPECT_EQ(ui.scripted->boxes()[0].title, "Gravar documento");
  EXPECT_FALSE(session->store().exists(editor->document().header.key));
  EXPECT_EQ(editor->document().header.key.number, before);
  EXPECT_TRUE(fake->callsOf("VendasDocumentoInteressa").empty());
}

TEST_F(SalesDocumentEditorTest, OpeningADocumentThatDoesNotExistSaysSoAndKeepsTheCurrentOne) {
  DocumentKey before = editor->document().header.key;
  EXPECT_FALSE(editor->open(DocumentKey{"FT", 2, 999999, 2026}));
  EXPECT_EQ(ui.boxesWith("O documento FT 2/999999 de 2026 não existe.").size(), 1u);
  EXPECT_EQ(editor->document().header.key, before);
}

// A signed, certified document no longer in preparation is the ERP's to
// keep: it opens to be read, and each change says why it is refused.
TEST_F(SalesDocumentEditorTest, AClosedDocumentOpensReadOnlyAndEveryChangeIsRefusedWithTheErpsReason) {
  ASSERT_TRUE(editor->open(demo::kSignedInvoice.key()));
  EXPECT_TRUE(editor->isReadOnly());
  const std::string reason = erp::closedDocumentMessage(demo::kSignedInvoice.key());
  EXPECT_EQ(editor->readOnlyReason(), reason);
  auto db = openDatabase(company);
  auto quantities = [&] {
    auto rs = db->query(
        "SELECT group_concat(QUANT) AS Q FROM DOCGCLIN WHERE TPDOCUM = ? AND SERIE = ? AND NNUMDOC = ? AND ANO = ?",
        {Variant(demo::kSignedInvoice.type), Variant(demo::kSignedInvoice.series), Variant(demo::kSignedInvoice.number),
         Variant(demo::kSignedInvoice.year)});
    return sql::fieldText(*rs, "Q");
  };
  const std::string stored = quantities();
  const auto linesBefore = editor->document().lines.size();
  ui.scripted->clearBoxes();
  struct Case {
    const char* name;
    std::function<bool()> change;
  };
  const Case cases[] = {
      {"quantity", [&] { return editor->setLineField(0, LineField::Quantity, "9999").accepted(); }},
      {"article", [&] { return editor->setLineField(0, LineField::Article, demo::kOrdinaryArticle).accepted(); }},
      {"new line", [&] { return editor->addLine() >= 0; }},
      {"remove", [&] { return editor->removeLine(0); }},
      {"client", [&] { return editor->setClient(demo::kRetailClient); }},
      {"dispatch", [&] { return editor->setDispatch(demo::kNoAllowanceDispatch); }},
      {"date", [&] { return editor->setDate("01-02-2026"); }},
      {"currency", [&] { return editor->setCurrency(demo::kOtherCurrency); }},
      {"client lookup", [&] { return editor->lookupClient(0); }},
      {"save", [&] { return editor->save().saved; }},
  };
  for (const auto& c : cases) {
    ui.scripted->clearBoxes();
    EXPECT_FALSE(c.change()) << c.name;
    ASSERT_EQ(ui.scripted->boxes().size(), 1u) << c.name;
    EXPECT_EQ(ui.scripted->boxes()[0].prompt, reason) << c.name;
  }
  EXPECT_EQ(editor->document().lines.size(), linesBefore);
  EXPECT_FALSE(editor->isModified());
  EXPECT_TRUE(editor->confirmLeave()) << "nothing to save, nothing asked";
  EXPECT_EQ(quantities(), stored);
  EXPECT_TRUE(fake->callsOf("ValidateQuantidade").empty());

  // Still in preparation, a document of the same signed series is changed as any other.
  ASSERT_TRUE(editor->open(demo::kInvoiceInPreparation.key()));
  EXPECT_FALSE(editor->isReadOnly());
  EXPECT_TRUE(editor->setLineField(0, LineField::Quantity, "3").accepted());
  EXPECT_TRUE(editor->save().saved);
}

// Leaving a document with unsaved changes asks "Gravar as alterações?".
TEST_F(SalesDocumentEditorTest, LeavingWithUnsavedChangesAsksAndEachAnswerDoesWhatItSays) {
  struct Case {
    int answer;
    bool leaves;
    bool stored;
  };
  for (const auto& c : {Case{vb::vbYes, true, true}, Case{vb::vbNo, true, false}, Case{vb::vbCancel, false, false}}) {
    SCOPED_TRACE(c.answer);
    editor->newDocument();
    EXPECT_TRUE(editor->confirmLeave()) << "a new document nobody touched";
    ASSERT_TRUE(editor->setClient(demo::kRetailClient));
    editor->addLine();
    addLine(demo::kOrdinaryArticle, "2");
    EXPECT_TRUE(editor->isModified());
    ui.scripted->clearBoxes();
    ui.scripted->answerNext(c.answer);
    EXPECT_EQ(editor->confirmLeave(), c.leaves);
    ASSERT_EQ(ui.scripted->boxes().size(), 1u);
    EXPECT_EQ(ui.scripted->boxes()[0].prompt, "Gravar as alterações?");
    EXPECT_EQ(ui.scripted->boxes()[0].style, vb::vbYesNoCancel | vb::vbQuestion);
    EXPECT_EQ(editor->document().stored, c.stored);
    EXPECT_EQ(session->store().exists(editor->document().header.key), c.stored);
    EXPECT_EQ(editor->isModified(), !c.stored);
  }
  // Saved, opened or left alone: nothing to ask.
  ASSERT_TRUE(editor->open(demo::kInvoiceWithAllowanceLine.key()));
  EXPECT_FALSE(editor->isModified());
  editor->addLine();
  EXPECT_FALSE(editor->isModified()) << "an empty row is nothing to save";
  ui.scripted->clearBoxes();
  EXPECT_TRUE(editor->confirmLeave());
  EXPECT_TRUE(ui.scripted->boxes().empty());
  // Yes with a save that is refused keeps the user in the document.
  editor->newDocument();
  ASSERT_TRUE(editor->setDispatch(demo::kNoAllowanceDispatch));
  ui.scripted->answerNext(vb::vbYes);
  EXPECT_FALSE(editor->confirmLeave());
  EXPECT_EQ(ui.boxesWith("Falta o cliente do documento.").size(), 1u);
  EXPECT_TRUE(editor->isModified());
}

TEST_F(SalesDocumentEditorTest, ARefusalOfTheExtensionGivesItsReasonInTheStatusLineUntilAnEditIsTaken) {
  ASSERT_TRUE(editor->setClient(demo::kRetailClient));
  addLine(demo::kOrdinaryArticle, "2");
  fake->on("ValidateDesconto", [this](std::span<Variant> a) {
    ui.observed->msgBox("Artigo com Linha de preços não permite desconto.", vb::vbInformation, "Descontos");
    a[3] = Variant(true);
    return Variant();
  });
  ui.scripted->clearBoxes();
  EXPECT_EQ(editor->setLineField(0, LineField::Discount, "5").kind, EditOutcome::Kind::RefusedByExtension);
  EXPECT_EQ(editor->status(),
            "A extensão recusou a alteração da linha 1: Artigo com Linha de preços não permite desconto.");
  EXPECT_EQ(ui.scripted->boxes().size(), 1u) << "the extension's box only, not one more of the host";
  // A refusal of the host itself does not clear it.
  EXPECT_FALSE(editor->setLineField(0, LineField::Quantity, "x").accepted());
  EXPECT_FALSE(editor->status().empty());
  ASSERT_TRUE(editor->setLineField(0, LineField::Quantity, "3").accepted());
  EXPECT_EQ(editor->status(), "") << "the next edit taken clears it";
  // A hook that refuses without a word is still named.
  fake->on("ValidateQuantidade", [](std::span<Variant> a) {
    a[4] = Variant(true);
    return Variant();
  });
  EXPECT_FALSE(editor->setLineField(0, LineField::Quantity, "4").accepted());
  EXPECT_EQ(editor->status(), "A extensão recusou a alteração da linha 1.");
  ASSERT_TRUE(editor->setDispatch(demo::kNoAllowanceDispatch));
  EXPECT_EQ(editor->status(), "");
  auto saved = editor->save();
  ASSERT_TRUE(saved.saved);
  EXPECT_EQ(editor->status().rfind("Gravado FT 2/", 0), 0u) << editor->status();
}

// The allowance is reported written only when the document holds its line.
TEST_F(SalesDocumentEditorTest, AllowanceIsWrittenOnlyWhenTheDocumentHoldsItsLineAfterwards) {
  fake->on("VendasDocumentoInteressa", [](std::span<Variant>) { return Variant(true); });
  fake->on("VendasAbonoFrete", [](std::span<Variant>) { return Variant(true); });  // yet nothing written
  auto outcome = saveAllowanceDocument();
  ASSERT_TRUE(outcome.saved);
  EXPECT_TRUE(outcome.allowanceAsked);
  EXPECT_FALSE(outcome.allowanceWritten);
  EXPECT_EQ(editor->status().find("Abono"), std::string::npos);
}

// Every change reaches the observer bracketed, so that a view can follow it.
TEST_F(SalesDocumentEditorTest, ObserverHearsEveryChangeInOrder) {
  struct Recorder : DocumentObserver {
    std::vector<std::string> heard;
    void documentAboutToBeReplaced() override { heard.push_back("about-replace"); }
    void documentReplaced() override { heard.push_back("replaced"); }
    void headerChanged() override { heard.push_back("header"); }
    void lineAboutToBeInserted(int r) override { heard.push_back("about-insert " + std::to_string(r)); }
    void lineInserted(int r) override { heard.push_back("insert " + std::to_string(r)); }
    void lineAboutToBeRemoved(int r) override { heard.push_back("about-remove " + std::to_string(r)); }
    void lineRemoved(int r) override { heard.push_back("remove " + std::to_string(r)); }
    void lineChanged(int r) override { heard.push_back("changed " + std::to_string(r)); }
  } recorder;
  editor->setObserver(&recorder);
  ASSERT_TRUE(editor->setClient(demo::kRetailClient));
  int row = editor->addLine();
  ASSERT_TRUE(editor->setLineField(row, LineField::Article, demo::kOrdinaryArticle).accepted());
  EXPECT_FALSE(editor->setLineField(row, LineField::Quantity, "x").accepted());
  ASSERT_TRUE(editor->removeLine(row));
  EXPECT_FALSE(editor->removeLine(5));
  EXPECT_EQ(recorder.heard, (std::vector<std::string>{"header", "about-insert 0", "insert 0", "changed 0",
                                                      "about-remove 0", "remove 0"}));
  editor->setObserver(nullptr);
}

}  // namespace
}  // namespace quill::host

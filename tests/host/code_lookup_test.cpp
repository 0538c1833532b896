// The lookups of the document editor: a list of the company's codes that
// narrows as the user types, and the code picked entered as if typed.

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "erp/DemoCodes.h"
#include "host/CodeLookup.h"
#include "host/CompanyCatalog.h"
#include "host/SalesDocumentEditor.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/FormDialog.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/vb/OleDate.h"
#include "platform/vb/Strings.h"

namespace quill::host {
namespace {

namespace demo = erp::demo;
using namespace test;

class CodeLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    company = demoCompany(name);
    session = sessionWith(ui, fake, processFolder() / (name + "-extension"));
    ASSERT_TRUE(session->open(company));
    editor = std::make_unique<SalesDocumentEditor>(session->editorServices());
    ASSERT_TRUE(editor->newDocument(demo::kInvoiceType, demo::kUnsignedSeries, *vb::parseIsoText(demo::kDocumentDate)));
    ui.scripted->clearBoxes();
  }

  // How many of the rows hold the text in their code or name.
  static std::size_t holding(const sql::Recordset& rows, const std::string& text) {
    std::size_t n = 0;
    for (std::size_t p = 0; p < static_cast<std::size_t>(rows.recordCount()); ++p) {
      const std::string code = vb::UCase(rows.valueAt(p, 0).stringValue());
      const std::string name = rows.valueAt(p, 1).isNull() ? "" : vb::UCase(rows.valueAt(p, 1).stringValue());
      if (code.find(vb::UCase(text)) != std::string::npos || name.find(vb::UCase(text)) != std::string::npos) ++n;
    }
    return n;
  }

  // Plays the next lookup list shown: checks what it shows, narrows it, picks.
  void playNextLookup(std::function<void(ui::FormView&)> play) {
    ui.scripted->onNextModal([play = std::move(play)](QWidget& window) {
      auto& dialog = dynamic_cast<ui::FormDialog&>(window);
      EXPECT_EQ(dialog.objectName(), "frmProcurar");
      play(*dialog.view());
    });
  }

  TestUi ui;
  std::shared_ptr<FakeExtension> fake = FakeExtension::create();
  CompanyChoice company;
  std::unique_ptr<HostCompanySession> session;
  std::unique_ptr<SalesDocumentEditor> editor;
};

TEST_F(CodeLookupTest, TheListNarrowsAsTheUserTypesPartOfACodeOrANameAndAnswersTheCodePicked) {
  auto clients = session->catalog().clientList();
  ASSERT_GT(clients->recordCount(), 10);
  auto memory = [](ui::Form& form) { return std::make_unique<ui::MemoryFormView>(form, CodeLookup::controls()); };
  CodeLookup lookup(ui.observed->inner(), "Clientes", clients, memory);
  auto& view = dynamic_cast<ui::MemoryFormView&>(lookup.view());
  std::vector<std::size_t> shown;
  view.whenShown([&](ui::MemoryFormView& v) {
    shown.push_back(lookup.shownRows());  // narrowed by what the field held
    for (const char* typed : {"", "c0001", "ouro", "zzzz", "C00005"}) {
      EXPECT_TRUE(v.userType("txtProcura", typed));
      shown.push_back(lookup.shownRows());
    }
    v.userClick("cmdOK");  // the current row: the first left
  });
  EXPECT_EQ(lookup.pick(0, "00"), std::string(demo::kAllowanceClient));
  EXPECT_EQ(shown, (std::vector<std::size_t>{holding(*clients, "00"), static_cast<std::size_t>(clients->recordCount()),
                                             holding(*clients, "c0001"), holding(*clients, "ouro"), 0u,
                                             holding(*clients, "C00005")}));
  EXPECT_GT(shown[2], 1u);
  EXPECT_LT(shown[2], shown[1]);
  EXPECT_GE(shown[3], 1u) << "D'OURO by its code and by its name";

  // Cancel, or OK on an empty list, picks nothing.
  view.whenShown([](ui::MemoryFormView& v) { v.userClick("cmdCancelar"); });
  EXPECT_EQ(lookup.pick(0), "");
  view.whenShown([](ui::MemoryFormView& v) {
    v.userType("txtProcura", "zzzz");
    v.userClick("cmdOK");
    v.userClick("cmdCancelar");
  });
  EXPECT_EQ(lookup.pick(0), "");
}

TEST_F(CodeLookupTest, ThePickedClientAndArticleAreEnteredAsIfTyped) {
  playNextLookup([](ui::FormView& list) {
    EXPECT_EQ(list.caption(), "Clientes");
    EXPECT_EQ(list.text("txtProcura"), "c0000");
    EXPECT_TRUE(list.userChoose("grdLista", std::string(demo::kAllowanceClient)));
    list.userClick("cmdOK");
  });
  ASSERT_TRUE(editor->lookupClient(0, "c0000"));
  EXPECT_EQ(editor->document().header.client, demo::kAllowanceClient);
  EXPECT_FALSE(editor->document().header.clientName.empty());

  const int row = editor->addLine();
  playNextLookup([](ui::FormView& list) {
    EXPECT_EQ(list.caption(), "Artigos");
    EXPECT_TRUE(list.userType("txtProcura", "arr"));
    EXPECT_TRUE(list.userChoose("grdLista", std::string(demo::kOrdinaryArticle)));
    list.userClick("cmdOK");
  });
  ASSERT_TRUE(editor->lookupArticle(row, 0));
  EXPECT_EQ(editor->document().lines[0].article, demo::kOrdinaryArticle);
  EXPECT_EQ(fake->callsOf("ValidateArtigo").size(), 1u) << "the hook of a typed article ran";

  // Nothing picked: nothing changes, no box.
  playNextLookup([](ui::FormView& list) { list.userClick("cmdCancelar"); });
  EXPECT_FALSE(editor->lookupClient(0));
  EXPECT_EQ(editor->document().header.client, demo::kAllowanceClient);
  EXPECT_TRUE(ui.scripted->boxes().empty());
  EXPECT_FALSE(editor->lookupArticle(7, 0)) << "no such line";
}

}  // namespace
}  // namespace quill::host

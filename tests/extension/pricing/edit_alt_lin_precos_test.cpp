// The price-line changes editor with a real bridge process on a copy of the
// demo company, through memory views: the grouped grid, saving through
// AlteraPreco (prices, date-only moves, Yes/No/Cancel), refusals and a
// dead bridge in the middle of a save, and printing.

#include <gtest/gtest.h>

#include <chrono>

#include "erp/DemoCodes.h"
#include "erp/api/ApiRefusal.h"
#include "extension/components/DataAccess.h"
#include "extension/pricing/CriteriosAltLinPrc.h"
#include "extension/pricing/EditAltLinPrecos.h"
#include "platform/sql/Recordset.h"
#include "platform/ui/MemoryFormView.h"
#include "platform/ui/ReportOutput.h"
#include "platform/ui/ScriptedUiServices.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Dates.h"
#include "platform/vb/MsgBox.h"
#include "platform/vb/OleDate.h"
#include "tests/extension/pricing/PricingTestSupport.h"
#include "tests/extension/support/FormTestSupport.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestApplication.h"

namespace quill {
namespace {

namespace demo = erp::demo;
using pricingtest::Rows;
using ui::MemoryFormView;

const std::string kSeller(demo::kSeller);                  // V01: two clients on line 1
const std::string kMil1(demo::kFixedPriceArticle);         // MIL001, 6 % VAT
const std::string kMil2(demo::kFuturePriceArticle);        // MIL002
constexpr int kLine = demo::kPriceLine;                    // 1, "Revenda"
constexpr int kUndefinedLine = demo::kUndefinedPriceLine;  // 9, no LINPRC row

std::string today() { return vb::FormatDate(vb::today(), "dd-mm-yyyy"); }

// A price as the bridge test rows give it: DATINIC, PVP, PVPIVA, BUTHIST, BASECIVA, DATACT.
struct Price {
  std::string start;
  double pvp, pvpIva, history, historyIva;
  std::string changed;
};
Price priceOf(const Rows& rows) {
  if (rows.size() != 1) {
    ADD_FAILURE() << rows.size() << " rows";
    return {};
  }
  const auto& r = rows[0];
  return {r[0], std::stod(r[1]), std::stod(r[2]), std::stod(r[3]), std::stod(r[4]), r[5]};
}

class EditAltLinPrecosTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::testApplication();
    bridge = std::make_unique<pricingtest::RealBridge>();
  }

  // The editor; its report's criteria form is played by `criteria`.
  std::unique_ptr<EditAltLinPrecos> make(pricingtest::MemoryComponents::User criteria = {}) {
    components.playNextCriteria(std::move(criteria));
    auto form =
        std::make_unique<EditAltLinPrecos>(ui, testing::memoryView(EditAltLinPrecos::controls()), components.make());
    form->setDataAccess(bridge->dataAccess());
    form->setNextApi(bridge->object());
    return form;
  }

  void open(EditAltLinPrecos& form, std::function<void(MemoryFormView&)> user) {
    testing::memoryOf(form).whenShown([user = std::move(user)](MemoryFormView& v) {
      user(v);
      EXPECT_TRUE(v.userClick("cmdSair"));
    });
    form.Editar(Variant(std::int32_t{0}));
  }

  static void narrow(MemoryFormView& v, const std::string& seller, int fromLine, int toLine, const std::string& artFrom,
                     const std::string& artTo) {
    EXPECT_TRUE(v.userType("txtVendIni", seller));
    EXPECT_TRUE(v.userType("txtVendFin", seller));
    EXPECT_TRUE(v.userType("txtLinIni", std::to_string(fromLine)));
    EXPECT_TRUE(v.userType("txtLinFin", std::to_string(toLine)));
    EXPECT_TRUE(v.userType("txtArtIni", artFrom));
    EXPECT_TRUE(v.userType("txtArtFin", artTo));
  }

  static ui::RecordsetTableModel& model(MemoryFormView& v) { return v.grid("grdLinPrecos").model(); }
  // The data rows of the grid as "article/line".
  static std::vector<std::string> rowsShown(MemoryFormView& v) {
    std::vector<std::string> out;
    auto& m = model(v);
    for (int row = 0; row < m.rowCount(); ++row) {
      if (m.isHeading(row)) {
        out.push_back("# " + m.headingText(row).toStdString());
        continue;
      }
      const auto& rs = *m.recordset();
      const auto p = *m.positionOf(row);
      out.push_back(vb::CStr(rs.valueAt(p, rs.fieldIndex("CODIGO"))) + "/" +
                    vb::CStr(rs.valueAt(p, rs.fieldIndex("LINPRC"))));
    }
    return out;
  }
  // The model row of the n-th data row.
  static int dataRow(MemoryFormView& v, int n) { return model(v).rowOf(static_cast<std::size_t>(n)); }
  static Variant cell(MemoryFormView& v, int n, const std::string& field) {
    const auto& rs = *model(v).recordset();
    return rs.valueAt(static_cast<std::size_t>(n), rs.fieldIndex(field));
  }

  Price price(const std::string& article, int line) const { return priceOf(bridge->price(article, line)); }

  ui::ScriptedUiServices ui;
  pricingtest::MemoryComponents components{ui};
  std::unique_ptr<pricingtest::RealBridge> bridge;
};

TEST_F(EditAltLinPrecosTest, PricesAreListedOnceForEveryClientOfTheSellerUnderSellerAndLineHeadings) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    // Defaults: every seller, every defined line, the fixed-price articles.
    EXPECT_EQ(v.text("txtVendIni"),
              vb::CStr(bridge->company().value("SELECT CODIGO FROM VENDEDOR ORDER BY CODIGO LIMIT 1")));
    EXPECT_EQ(v.text("txtLinIni"), "1");
    EXPECT_EQ(v.text("txtLinIniDesc"), "Revenda");
    EXPECT_EQ(v.text("txtLinFin"), "4");
    EXPECT_FALSE(v.text("txtArtIni").empty());
    EXPECT_GT(model(v).dataRowCount(), 0u);

    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    const std::string seller = kSeller + "-" + v.text("txtVendIniDesc");
    EXPECT_EQ(rowsShown(v),
              (std::vector<std::string>{"# " + seller, "# 1-Revenda", "MIL001/1", "MIL001/1", "MIL002/1", "MIL002/1"}));
    // A line with prices and no LINPRC row is headed by its number alone.
    EXPECT_TRUE(v.userType("txtLinIni", std::to_string(kUndefinedLine)));
    EXPECT_TRUE(v.userType("txtLinFin", std::to_string(kUndefinedLine)));
    EXPECT_EQ(v.text("txtLinFinDesc"), "");
    EXPECT_EQ(rowsShown(v), (std::vector<std::string>{"# " + seller, "# 9", "MIL001/9"}));
    // Letters are line 0.
    EXPECT_TRUE(v.userType("txtLinIni", "abc"));
    EXPECT_TRUE(v.userType("txtLinFin", "x"));
    EXPECT_EQ(rowsShown(v), (std::vector<std::string>{"# " + seller, "# 0", "MIL001/0", "MIL001/0", "MIL001/0"}));
    // Select all and none mark data rows; headings carry no mark.
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    for (std::size_t p = 0; p < 3; ++p) EXPECT_TRUE(model(v).isMarked(p));
    EXPECT_FALSE(v.userToggleMark("grdLinPrecos", 0));
    EXPECT_TRUE(v.userClick("cmdUnselAll"));
    for (std::size_t p = 0; p < 3; ++p) EXPECT_FALSE(model(v).isMarked(p));
    // Codes with quotes are codes like any other.
    EXPECT_TRUE(v.userType("txtVendIni", "V'01"));
    EXPECT_TRUE(v.userType("txtArtFin", "MIL'"));
    EXPECT_EQ(v.text("txtVendIniDesc"), "");
  });
  EXPECT_TRUE(ui.boxes().empty()) << ui.boxes()[0].prompt;
}

TEST_F(EditAltLinPrecosTest, AMarkedPriceIsChangedThroughTheBridgeKeepingThePreviousOneAsHistory) {
  const Price mil1 = price(kMil1, kLine), mil2 = price(kMil2, kLine);
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVPNEW")), mil1.pvp * 1.1);
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVPIVANEW")), mil1.pvp * 1.1 * 1.06);
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 0)));
    EXPECT_TRUE(v.userClick("CmdConf"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].prompt, "Alterações gravadas com êxito.");
    // Reloaded from the database, the change applied again on top.
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVP")), mil1.pvp * 1.1);
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 1, "PVP")), mil1.pvp * 1.1);
    EXPECT_FALSE(model(v).isMarked(0));
  });
  const Price after = price(kMil1, kLine);
  EXPECT_DOUBLE_EQ(after.pvp, mil1.pvp * 1.1);
  EXPECT_DOUBLE_EQ(after.pvpIva, mil1.pvp * 1.1 * 1.06);
  EXPECT_DOUBLE_EQ(after.history, mil1.pvp);
  EXPECT_DOUBLE_EQ(after.historyIva, mil1.pvpIva);
  EXPECT_EQ(after.start, mil1.start);
  EXPECT_EQ(after.changed, today());
  const Price untouched = price(kMil2, kLine);
  EXPECT_EQ(untouched.pvp, mil2.pvp);
  EXPECT_EQ(untouched.changed, mil2.changed);
}

TEST_F(EditAltLinPrecosTest, APriceMarkedForTwoClientsIsSentTwiceAndItsHistoryBecomesTheNewPrice) {
  const Price mil1 = price(kMil1, kLine);
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil1);
    EXPECT_TRUE(v.userType("txtValor", "0,02"));
    EXPECT_TRUE(v.userChoose("cbxTipo", "Valor"));
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  const Price after = price(kMil1, kLine);
  EXPECT_DOUBLE_EQ(after.pvp, mil1.pvp + 0.02);
  EXPECT_DOUBLE_EQ(after.history, mil1.pvp + 0.02);
}

TEST_F(EditAltLinPrecosTest, HandTypedPricesGetTheirVatAndAnEmptiedOneIsSentAsZero) {
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", dataRow(v, 0), "PVPNEW", "0,5"));
    EXPECT_DOUBLE_EQ(vb::CDbl(cell(v, 0, "PVPIVANEW")), 0.5 * 1.06);
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", dataRow(v, 0), "PVPNEW", "meio"));
    EXPECT_FALSE(v.userEditCell("grdLinPrecos", dataRow(v, 0), "PVP", "0,6"));
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", dataRow(v, 2), "PVPNEW", ""));
    EXPECT_TRUE(cell(v, 2, "PVPNEW").isNull());
    EXPECT_TRUE(cell(v, 2, "PVPIVANEW").isNull());
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 0)));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 2)));
    EXPECT_TRUE(v.userClick("CmdConf"));
  });
  EXPECT_DOUBLE_EQ(price(kMil1, kLine).pvp, 0.5);
  EXPECT_DOUBLE_EQ(price(kMil1, kLine).pvpIva, 0.53);
  EXPECT_EQ(price(kMil2, kLine).pvp, 0.0);
  EXPECT_EQ(price(kMil2, kLine).pvpIva, 0.0);
}

// The activation date: every listed price moves on Yes, the marked ones on
// No, none on Cancel; a marked price is first changed at its own start date.
TEST_F(EditAltLinPrecosTest, TheStartDateMovesOnlyAsTheAnswerSaysAndTheAmountsOfMovedPricesStay) {
  struct {
    int answer;
    bool mil1Moved, mil2Moved;
  } cases[] = {{vb::vbYes, true, true}, {vb::vbNo, true, false}, {vb::vbCancel, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    bridge = std::make_unique<pricingtest::RealBridge>();
    ui.clearBoxes();
    const Price mil1 = price(kMil1, kLine), mil2 = price(kMil2, kLine);
    auto form = make();
    open(*form, [&](MemoryFormView& v) {
      narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
      EXPECT_TRUE(v.userType("txtValor", "10"));
      EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 0)));
      EXPECT_TRUE(v.userPickDate("dtpActivacao", "01-09-2030"));
      EXPECT_TRUE(v.isChecked("chkBxData"));
      ui.answerNext(c.answer);
      EXPECT_TRUE(v.userClick("CmdConf"));
      EXPECT_FALSE(v.isChecked("chkBxData"));
    });
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].title, "Data de activação");
    EXPECT_EQ(ui.boxes()[1].prompt, "Alterações gravadas com êxito.");
    const Price a = price(kMil1, kLine), b = price(kMil2, kLine);
    EXPECT_DOUBLE_EQ(a.pvp, mil1.pvp * 1.1);  // whatever the answer
    EXPECT_DOUBLE_EQ(a.history, mil1.pvp);    // sent twice, the second time only its date
    EXPECT_EQ(a.start, c.mil1Moved ? "01-09-2030" : mil1.start);
    EXPECT_EQ(b.start, c.mil2Moved ? "01-09-2030" : mil2.start);
    EXPECT_EQ(b.pvp, mil2.pvp);
    EXPECT_EQ(b.history, mil2.history);
    EXPECT_EQ(b.changed, c.mil2Moved ? today() : mil2.changed);
  }
}

TEST_F(EditAltLinPrecosTest, ARefusalStopsTheSaveAtItsRowAndTheRowsSentStaySent) {
  const Price mil1 = price(kMil1, kLine), mil2 = price(kMil2, kLine);
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    // MIL001 for the first client, then for the second with a negative price, then MIL002.
    EXPECT_TRUE(v.userEditCell("grdLinPrecos", dataRow(v, 1), "PVPNEW", "-1"));
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    EXPECT_TRUE(v.userClick("CmdConf"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].prompt,
              "Erro " + std::to_string(erpapi::apierr::NegativePrice) + " - O preço de venda não pode ser negativo.");
    EXPECT_EQ(ui.boxes()[0].title, "Alteração de Linhas de preços");
    EXPECT_EQ(ui.boxes()[0].icon(), vb::vbExclamation);
    // Still usable: the marks and values are as they were; the rest saves.
    EXPECT_TRUE(model(v).isMarked(2));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 0)));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 1)));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 3)));
    EXPECT_EQ(price(kMil2, kLine).pvp, mil2.pvp);  // never sent
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_EQ(ui.boxes().back().prompt, "Alterações gravadas com êxito.");
  });
  EXPECT_DOUBLE_EQ(price(kMil1, kLine).pvp, mil1.pvp * 1.1);
  EXPECT_DOUBLE_EQ(price(kMil1, kLine).history, mil1.pvp);
  EXPECT_DOUBLE_EQ(price(kMil2, kLine).pvp, mil2.pvp * 1.1);
}

TEST_F(EditAltLinPrecosTest, ADeadBridgeIsError462WithoutAHangAndTheWindowStaysOpen) {
  const Rows before = bridge->company().prices();
  auto form = make();
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_TRUE(v.userClick("cmdSelAll"));
    bridge->kill();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(v.userClick("CmdConf"));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].prompt.rfind("Erro 462 - ", 0), 0u) << ui.boxes()[0].prompt;
    EXPECT_TRUE(v.isShown());
    EXPECT_TRUE(v.userType("txtValor", "5"));  // the window still answers
  });
  EXPECT_EQ(bridge->company().prices(), before);
}

TEST_F(EditAltLinPrecosTest, PrintingSavesFirstThenPrintsThePricesStartingInThePeriodBySellerAndLine) {
  ui::ReportOutput::forgetLastPrinted();
  const Price mil1 = price(kMil1, kLine);
  bool asked = false;
  auto form = make([&](MemoryFormView& c) {
    asked = true;
    EXPECT_EQ(c.text("txtVndIni"), kSeller);
    EXPECT_FALSE(c.text("lblVndIniDescr").empty());
    EXPECT_EQ(c.text("txtPrcIni"), "1");
    EXPECT_EQ(c.text("lblPrcFinDescr"), "Revenda");
    EXPECT_EQ(c.text("txtArtFin"), kMil2);
    EXPECT_EQ(c.text("dtpDataIni"), "01-01-" + std::to_string(vb::Year(vb::today())));
    EXPECT_EQ(c.text("dtpDataFin"), today());
    c.userClick("CmdCancel");
  });
  open(*form, [&](MemoryFormView& v) {
    narrow(v, kSeller, kLine, kLine, kMil1, kMil2);
    EXPECT_TRUE(v.userType("txtValor", "10"));
    EXPECT_TRUE(v.userToggleMark("grdLinPrecos", dataRow(v, 0)));
    EXPECT_TRUE(v.userPickDate("dtpActivacao", "01-09-2030"));
    ui.answerNext(vb::vbNo);
    EXPECT_TRUE(v.userClick("cmdImprimir"));
  });
  EXPECT_TRUE(asked);
  EXPECT_DOUBLE_EQ(price(kMil1, kLine).pvp, mil1.pvp * 1.1);
  EXPECT_FALSE(ui::ReportOutput::lastPrinted());

  auto printing = make([](MemoryFormView& c) {
    c.userType("txtVndIni", kSeller);
    c.userType("txtVndFin", kSeller);
    c.userType("txtPrcIni", "0");
    c.userType("txtPrcFin", "99");
    c.userType("txtArtIni", "A");
    c.userType("txtArtFin", "Z");
    c.userPickDate("dtpDataIni", "01-09-2030");
    c.userPickDate("dtpDataFin", "30-09-2030");
    c.userClick("CmdConf");
  });
  open(*printing, [&](MemoryFormView& v) { EXPECT_TRUE(v.userClick("cmdImprimir")); });
  const auto printed = ui::ReportOutput::lastPrinted();
  ASSERT_TRUE(printed);
  EXPECT_EQ(printed->name, "qor_VT_AltLinPrecos");
  const std::string text = printed->text;
  EXPECT_NE(text.find("Alteração de Linhas de Preços"), std::string::npos) << text;
  EXPECT_NE(text.find("Vendedor " + kSeller), std::string::npos) << text;
  EXPECT_NE(text.find("Linha de preços 1 Revenda"), std::string::npos) << text;
  EXPECT_EQ(testing::occurrences(text, kMil1), 2) << text;  // once for each client of V01 on the line
  EXPECT_EQ(text.find(kMil2), std::string::npos) << text;
}

}  // namespace
}  // namespace quill

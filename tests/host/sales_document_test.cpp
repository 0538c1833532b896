// Discount texts and document totals as the host keeps and shows them.

#include <gtest/gtest.h>

#include "host/DiscountText.h"
#include "host/SalesDocument.h"
#include "platform/automation/AutomationError.h"

namespace quill::host {
namespace {

const vb::RegionalSettings kPortuguese{',', '.', "dd-mm-yyyy"};
const vb::RegionalSettings kEnglish{'.', ',', "mm/dd/yyyy"};

TEST(DiscountText, TypedDiscountsAreStoredWithAPointWhateverTheUsersSeparator) {
  struct Case {
    const char* typed;
    const vb::RegionalSettings* settings;
    const char* stored;
  };
  const Case cases[] = {
      {"", &kPortuguese, ""},          {"  ", &kPortuguese, ""},
      {"10", &kPortuguese, "10"},      {"2,5", &kPortuguese, "2.5"},
      {"2.5", &kEnglish, "2.5"},       {" 10 + 5 ", &kPortuguese, "10+5"},
      {"10++5", &kPortuguese, "10+5"}, {"0", &kPortuguese, "0"},
      {"100", &kPortuguese, "100"},    {"2,73456", &kPortuguese, "2.7346"},
  };
  for (const auto& c : cases) {
    std::string error;
    auto stored = parseTypedDiscount(c.typed, error, *c.settings);
    ASSERT_TRUE(stored) << c.typed << ": " << error;
    EXPECT_EQ(*stored, c.stored) << c.typed;
  }
}

TEST(DiscountText, PiecesThatAreNotPercentagesAreRefusedWithTheirText) {
  for (const char* typed : {"abc", "10+x", "-5", "101", "10+200", "5%"}) {
    std::string error;
    EXPECT_FALSE(parseTypedDiscount(typed, error, kPortuguese)) << typed;
    EXPECT_FALSE(error.empty()) << typed;
  }
}

TEST(DiscountText, ChainedDiscountsCompound) {
  EXPECT_DOUBLE_EQ(compoundDiscountRate(""), 0);
  EXPECT_DOUBLE_EQ(compoundDiscountRate("10"), 10);
  EXPECT_NEAR(compoundDiscountRate("10+5"), 14.5, 1e-12);
  EXPECT_NEAR(compoundDiscountRate("10++5"), 14.5, 1e-12);
  EXPECT_DOUBLE_EQ(compoundDiscountRate("100+5"), 100);
  // Text the ERP refuses (stored by someone else) discounts nothing here.
  EXPECT_DOUBLE_EQ(compoundDiscountRate("10+abc"), 0);
}

TEST(DiscountText, StoredDiscountShowsWithTheUsersSeparator) {
  EXPECT_EQ(displayDiscount("2.5+10", kPortuguese), "2,5+10");
  EXPECT_EQ(displayDiscount("2.5+10", kEnglish), "2.5+10");
}

TEST(DiscountText, WhatAHookWroteIsStoredAsText) {
  EXPECT_EQ(discountFromVariant(Variant(2.58)), "2.58");
  EXPECT_EQ(discountFromVariant(Variant(0.68 * 1.0000000001)), "0.68");
  EXPECT_EQ(discountFromVariant(Variant(std::int16_t{0})), "0");
  EXPECT_EQ(discountFromVariant(Variant("0")), "0");
  EXPECT_EQ(discountFromVariant(Variant("")), "");
  EXPECT_EQ(discountFromVariant(Variant()), "");
  EXPECT_EQ(discountFromVariant(Variant::null()), "");
}

TEST(SalesDocumentTotals, LineTotalsAreToTheCentAndTheDocumentSumsThem) {
  SalesDocument doc;
  SalesLine a;
  a.quantity = 2;
  a.unitPrice = 465;
  a.discount = "2.58";
  a.vatRate = 6;
  SalesLine b;
  b.quantity = 500;
  b.unitPrice = 1.18;
  b.discount = "0.68";
  b.vatRate = 6;
  SalesLine comment;
  comment.type = LineType::Comment;
  doc.lines = {a, b, comment};
  EXPECT_EQ(a.total(), 906.01);  // 930 less 2.58 %
  EXPECT_EQ(b.total(), 585.99);
  auto t = doc.totals();
  EXPECT_DOUBLE_EQ(t.goods, 1520);
  EXPECT_DOUBLE_EQ(t.discounts, 28);
  EXPECT_DOUBLE_EQ(t.vat, 89.52);
  EXPECT_DOUBLE_EQ(t.total, 1581.52);
}

TEST(SalesDocumentTotals, TheErpsRuleDecidesBetweenTheDiscountTextAndTheDiscountValue) {
  SalesLine line;
  line.quantity = 10;
  line.unitPrice = 2;
  line.discountValue = 0.5;  // per unit
  struct Case {
    const char* discount;
    std::optional<double> total;
  };
  for (const auto& c : {Case{"", 15.0}, Case{"  ", 15.0}, Case{"10", 18.0}, Case{"0", 20.0},
                        Case{"10+abc", std::nullopt}, Case{"abc", std::nullopt}}) {
    line.discount = c.discount;
    EXPECT_EQ(line.total(), c.total) << c.discount;
  }
}

TEST(SalesDocumentTotals, ADocumentWithADiscountTheErpRefusesHasNoTotals) {
  SalesDocument doc;
  doc.lines.resize(2);
  doc.lines[1].quantity = 1;
  doc.lines[1].unitPrice = 10;
  doc.lines[1].discount = "10+abc";
  try {
    doc.totals();
    ADD_FAILURE() << "totals of a refused discount";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.description(), "Linha 2: o desconto '10+abc' não é válido.");
  }
}

}  // namespace
}  // namespace quill::host

#include "platform/vb/Strings.h"

#include <gtest/gtest.h>

#include "platform/automation/AutomationError.h"

namespace quill::vb {
namespace {

TEST(Strings, AccentedLettersAreOneCharacter) {
  EXPECT_EQ(Len("Ligação"), 7);
  EXPECT_EQ(Left("Ligação", 6), "Ligaçã");
  EXPECT_EQ(Right("Ligação", 3), "ção");
  EXPECT_EQ(Mid("Ligação", 5, 2), "çã");
  EXPECT_EQ(Mid("Ligação", 5), "ção");
  EXPECT_EQ(Mid("Ligação", 20), "");
  EXPECT_EQ(Left("ab", 10), "ab");
  EXPECT_EQ(Right("ab", 10), "ab");
  EXPECT_EQ(InStr("Inicialização Sage", "Sage"), 15);
  EXPECT_EQ(InStr(15, "ação ação", "ç"), 0);
  EXPECT_EQ(InStr(4, "ação ação", "ç"), 7);
}

TEST(Strings, StrayBytesCountAsCharactersAndSurvive) {
  std::string bytes = "a\xE7\xE3o";  // Windows-1252 "ação" read as if it were UTF-8
  EXPECT_EQ(Len(bytes), 4);
  EXPECT_EQ(UCase(bytes), "A\xE7\xE3O");
  EXPECT_EQ(Mid(bytes, 2, 2), "\xE7\xE3");
}

TEST(Strings, CaseIncludesPortugueseLetters) {
  EXPECT_EQ(UCase("ação à crédito ñ ü"), "AÇÃO À CRÉDITO Ñ Ü");
  EXPECT_EQ(LCase("LIGAÇÃO ÉÊÍÓÔÕÚ"), "ligação éêíóôõú");
  EXPECT_EQ(UCase("straße ÿ"), "STRAßE Ÿ");
  EXPECT_TRUE(equalsText("Ligação", "LIGAÇÃO"));
  EXPECT_FALSE(equalsText("Ligacao", "LIGAÇÃO"));
  EXPECT_TRUE(equalsText("api next", "API NEXT"));
  EXPECT_FALSE(equalsText("a", "ab"));
  EXPECT_TRUE(equalsText("Liga\xE7\xE3o", "Liga\xE7\xE3o"));  // stray bytes equal only to themselves
  EXPECT_FALSE(equalsText("Liga\xE7\xE3o", "Liga\xC7\xC3o"));
}

TEST(Strings, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Strings, SplitAsVb) {
  EXPECT_TRUE(Split("").empty());  // upper bound -1
  EXPECT_EQ(Split("FA,FR,,NC", ","), (std::vector<std::string>{"FA", "FR", "", "NC"}));
  EXPECT_EQ(Split("a b"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(Split("abc", ""), (std::vector<std::string>{"abc"}));
  EXPECT_EQ(Split("a,b,c", ",", 2), (std::vector<std::string>{"a", "b,c"}));
  EXPECT_EQ(Split("10+5+", "+"), (std::vector<std::string>{"10", "5", ""}));
  EXPECT_EQ(Split("xAyaz", "a", -1, CompareMethod::Text), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(Join({"a", "b"}, ","), "a,b");
}

TEST(Strings, ReplaceAsVb) {
  EXPECT_EQ(Replace("O'Neil's", "'", "''"), "O''Neil''s");
  EXPECT_EQ(Replace("aaa", "a", "b", 1, 2), "bba");
  EXPECT_EQ(Replace("abcabc", "a", "x", 3), "cxbc");  // VB drops what precedes start
  EXPECT_EQ(Replace("Ação AÇÃO", "ção", "cao", 1, -1, CompareMethod::Text), "Acao Acao");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
}

TEST(Strings, PaddingCountsCharacters) {
  EXPECT_EQ(padRight("Ligação", 9), "Ligação  ");
  EXPECT_EQ(padRight("Ligação", 4), "Liga");
  EXPECT_EQ(padLeft("7", 3), "  7");
  EXPECT_EQ(Space(3), "   ");
  EXPECT_EQ(StringOf(3, "ção"), "ççç");
}

TEST(Strings, InvalidArgumentsAreAnInvalidProcedureCall) {
  auto number = [](auto&& call) {
    try {
      call();
    } catch (const AutomationError& e) {
      return e.number();
    }
    return 0;
  };
  EXPECT_EQ(number([] { Left("a", -1); }), vberr::InvalidCall);
  EXPECT_EQ(number([] { Mid("a", 0); }), vberr::InvalidCall);
  EXPECT_EQ(number([] { Mid("a", 1, -1); }), vberr::InvalidCall);
  EXPECT_EQ(number([] { InStr(0, "a", "a"); }), vberr::InvalidCall);
  EXPECT_EQ(number([] { Space(-1); }), vberr::InvalidCall);
}

}  // namespace
}  // namespace quill::vb

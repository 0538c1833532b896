#include "extension/components/ReportFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "extension/components/ReportQuery.h"
#include "platform/vb/OleDate.h"

namespace quill {
namespace {

namespace fs = std::filesystem;

fs::path binFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

const char* kGood = R"(# Vendas de um vendedor
title "Vendas ""do mês"""
orientation Landscape
parameter 1 "Vendedor"
parameter 2 "Data inicial" date

criteria "Vendedor {1}, desde {2}"
QUERY
SELECT V.CODIGO, V.NOME, D.DATA, D.TOTDOC
FROM   VENDEDOR V JOIN DOCGCCAB D ON D.VENDEDOR = V.CODIGO
WHERE  V.CODIGO = ?1 AND D.DATA >= ?2 AND D.VENDEDOR = ?1 AND V.NOME <> '?3'
End
group CODIGO heading "Vendedor {CODIGO} - {NOME}" total "Total de {{{CODIGO}}}"
column NOME "Nome"
column DATA "Data" width 1100 align CENTER format "dd-mm-yyyy"
column TOTDOC "Total" width 1500 align right format "#,##0.00" sum
column DOC "Documento" text "{CODIGO}/{1}"
total "Total geral"
empty "Nada."
)";

TEST(ReportFile, ReadsEveryStatementOfAGoodFile) {
  const ReportFile r = ReportFile::parse(kGood, "vendas.rpt");
  EXPECT_EQ(r.title(), "Vendas \"do mês\"");
  EXPECT_TRUE(r.landscape());
  ASSERT_EQ(r.parameters().size(), 2u);
  EXPECT_EQ(r.parameter(2)->caption, "Data inicial");
  EXPECT_EQ(r.parameter(2)->kind, ReportParameter::Kind::Date);
  EXPECT_EQ(r.parameter(1)->kind, ReportParameter::Kind::Text);
  EXPECT_EQ(r.parameter(3), nullptr);
  EXPECT_EQ(r.criteria(), std::vector<std::string>{"Vendedor {1}, desde {2}"});
  EXPECT_EQ(r.queryLine(), 8);
  EXPECT_EQ(r.query().substr(0, 32), "SELECT V.CODIGO, V.NOME, D.DATA,");
  ASSERT_EQ(r.groups().size(), 1u);
  EXPECT_EQ(r.groups()[0].field, "CODIGO");
  EXPECT_EQ(r.groups()[0].total, "Total de {{{CODIGO}}}");
  ASSERT_EQ(r.columns().size(), 4u);
  const ReportColumn& nome = r.columns()[0];
  EXPECT_EQ(nome.widthTwips, 1440) << "the default width";
  EXPECT_EQ(nome.align, ReportColumn::Align::Left);
  const ReportColumn& data = r.columns()[1];
  EXPECT_EQ(data.align, ReportColumn::Align::Center);
  EXPECT_EQ(data.format, "dd-mm-yyyy");
  EXPECT_EQ(data.line, 15);
  const ReportColumn& total = r.columns()[2];
  EXPECT_TRUE(total.sum);
  EXPECT_EQ(total.widthTwips, 1500);
  EXPECT_EQ(r.columns()[3].text, "{CODIGO}/{1}");
  EXPECT_EQ(r.totalCaption(), "Total geral");
  EXPECT_EQ(r.emptyText(), "Nada.");
}

TEST(ReportFile, ParametersAreBoundInOrderAndNeverEnterTheQueryText) {
  const ReportFile r = ReportFile::parse(kGood, "vendas.rpt");
  const std::string quoted = "V01' OR '1'='1";
  const BoundQuery q = bindReportQuery(r, {"", quoted, "15-03-2026"});
  EXPECT_EQ(q.sql.find(quoted), std::string::npos);
  EXPECT_NE(q.sql.find("V.CODIGO = ? AND D.DATA >= ? AND D.VENDEDOR = ? AND V.NOME <> '?3'"), std::string::npos)
      << "a ?n inside a literal is text, not a parameter: " << q.sql;
  ASSERT_EQ(q.values.size(), 3u);
  EXPECT_EQ(q.values[0], Variant(quoted));
  EXPECT_EQ(q.values[1], Variant(vb::makeDate(2026, 3, 15)));
  EXPECT_EQ(q.values[2], Variant(quoted));
}

TEST(ReportFile, DateParametersReadTheShortDateAndEmptyIsNull) {
  const ReportFile r = ReportFile::parse(kGood, "vendas.rpt");
  EXPECT_TRUE(reportParameterValue(r, 2, {"", "V01", "  "}).isNull());
  EXPECT_TRUE(reportParameterValue(r, 2, {"", "V01"}).isNull()) << "beyond the array";
  EXPECT_EQ(reportParameterValue(r, 1, {}), Variant("")) << "a text parameter beyond the array is empty";
  for (const char* bad : {"31-02-2026", "amanhã", "2026-13-01"}) {
    try {
      reportParameterValue(r, 2, {"", "V01", bad});
      ADD_FAILURE() << bad;
    } catch (const ReportError& e) {
      EXPECT_NE(std::string(e.what()).find("parâmetro 2 (Data inicial)"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
    }
  }
}

TEST(ReportFile, AMalformedFileIsRefusedNamingTheFileAndTheLine) {
  const std::string head = "title \"T\"\nparameter 1 \"P\"\n";  // lines 1 and 2
  const std::string column = "column A \"A\"\n";
  struct Case {
    std::string text;
    int line;
    std::string reason;
  } cases[] = {
      {head + "colunm A \"A\"\n", 3, "a instrução \"colunm\" não existe"},
      {head + "column A \"A\" width 12x\n", 3, "a largura \"12x\""},
      {head + "column A \"A\" width -5\n", 3, "a largura \"-5\""},
      {head + "column A \"A\" align middle\n", 3, "o alinhamento \"middle\""},
      {head + "column A \"A\" colour red\n", 3, "o atributo \"colour\""},
      {head + "column A \"A\" width\n", 3, "falta o valor de width"},
      {head + "column A\n", 3, "falta o título da coluna"},
      {head + "column A \"A\n", 3, "as aspas abertas não fecham"},
      {head + column + "criteria \"de {2}\"\n", 4, "o parâmetro 2 não foi declarado"},
      {head + column + "criteria \"de {1\"\n", 4, "a chaveta \"{\" não fecha"},
      {head + column + "criteria \"de 1}\"\n", 4, "a chaveta \"}\" não foi aberta"},
      {head + column + "query\nSELECT 1\n", 4, "a consulta não termina"},
      {head + column + "query\nend\n", 4, "a consulta está vazia"},
      {head + column + "query\nSELECT *\nFROM T\nWHERE A = ?2\nend\n", 7, "o parâmetro ?2 não foi declarado"},
      {head + column + "query\nSELECT *\nFROM T WHERE A = ?\nend\n", 6, "\"?\" não é um parâmetro da forma ?n"},
      {head + column + "query\nSELECT * FROM T WHERE A = @cliente\nend\n", 5, "\"@cliente\" não é um parâmetro"},
      {head + column + "query\nSELECT 'x\nend\n", 5, "a consulta não se lê"},
      {head + column + "title \"Outro\"\n", 4, "o título já foi dado na linha 1"},
      {head + column + "parameter 1 \"Outra vez\"\n", 4, "o parâmetro 1 já foi declarado"},
      {head + column + "parameter 100 \"P\"\n", 4, "não está entre 1 e 99"},
      {head + column + "parameter 3 \"P\" number\n", 4, "o tipo de parâmetro \"number\""},
      {head + column + "group A\ngroup B\ngroup C\n", 6, "no máximo dois níveis"},
      {head + column + "group A caption \"x\"\n", 4, "o atributo \"caption\" não existe num grupo"},
      {head + column + "orientation sideways\n", 4, "a orientação \"sideways\""},
      {head + column + "total \"a\" \"b\"\n", 4, "\"b\" está a mais"},
      {"parameter 1 \"P\"\ncolumn A \"A\"\n", 2, "sem o título do relatório"},
      {head + "\n", 3, "sem nenhuma coluna"},
  };
  for (const auto& c : cases) {
    try {
      ReportFile::parse(c.text, "/rel/qor_VT_Teste.rpt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ReportError& e) {
      const std::string message = e.what();
      EXPECT_EQ(e.line(), c.line) << message;
      EXPECT_NE(message.find("\"/rel/qor_VT_Teste.rpt\""), std::string::npos) << message;
      EXPECT_NE(message.find("linha " + std::to_string(c.line) + ":"), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
  }
}

TEST(ReportFile, AMissingFileIsNamedAndAWindowsFileReadsAsItsCodePage) {
  const fs::path folder = fs::temp_directory_path() / ("quill-reportfile-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  try {
    ReportFile::load(folder / "qor_VT_Nenhum.rpt");
    ADD_FAILURE();
  } catch (const ReportError& e) {
    EXPECT_EQ(std::string(e.what()),
              "O ficheiro de relatório \"" + (folder / "qor_VT_Nenhum.rpt").string() + "\" não existe.");
  }
  // "Média" in Windows-1252, with CR LF line ends.
  std::ofstream(folder / "qor_VT_Antigo.rpt", std::ios::binary) << "title \"M\xE9"
                                                                   "dia\"\r\ncolumn A \"A\"\r\n";
  EXPECT_EQ(ReportFile::load(folder / "qor_VT_Antigo.rpt").title(), "Média");
  fs::remove_all(folder);
}

TEST(ReportFile, TheShippedReportFilesLieBesideTheLibraryAndRead) {
  for (const char* name :
       {"qor_VT_Pendentes.rpt", "qor_VT_PendentesToleranciaVencidos.rpt", "Qor_VT_MediaVendas.rpt"}) {
    SCOPED_TRACE(name);
    const ReportFile r = ReportFile::load(binFolder() / name);
    EXPECT_FALSE(r.title().empty());
    EXPECT_TRUE(r.hasQuery());
    EXPECT_FALSE(r.emptyText().empty());
  }
  EXPECT_EQ(ReportFile::load(binFolder() / "qor_VT_Pendentes.rpt").parameters().size(), 9u);
  EXPECT_EQ(ReportFile::load(binFolder() / "qor_VT_PendentesToleranciaVencidos.rpt").parameters().size(), 4u);
  EXPECT_EQ(ReportFile::load(binFolder() / "Qor_VT_MediaVendas.rpt").parameter(1)->kind, ReportParameter::Kind::Date);
}

TEST(ReportText, SplitsLiteralsParametersAndFields) {
  std::string why;
  auto parts = splitReportText("Cliente {CLIENTE} - {{{ 2 }}}", why);
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 5u);
  EXPECT_EQ((*parts)[0].text, "Cliente ");
  EXPECT_EQ((*parts)[1].kind, ReportTextPart::Kind::Field);
  EXPECT_EQ((*parts)[1].text, "CLIENTE");
  EXPECT_EQ((*parts)[2].text, " - {");
  EXPECT_EQ((*parts)[3].kind, ReportTextPart::Kind::Parameter);
  EXPECT_EQ((*parts)[3].parameter, 2);
  EXPECT_EQ((*parts)[4].text, "}");
  EXPECT_FALSE(splitReportText("{}", why));
}

}  // namespace
}  // namespace quill

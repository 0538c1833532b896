#include "extension/commissions/ComissoesMensais.h"

#include "extension/components/DataAccess.h"
#include "platform/automation/AutomationError.h"
#include "platform/sql/FieldValues.h"
#include "platform/sql/Recordset.h"
#include "platform/sql/SqlError.h"

namespace quill {

namespace {

const char* kExiste = "select Vendedor from  U_qor_ComMensais";

std::string doMes(const std::string& ano, int mes) {
  return "Select * from U_qor_ComMensais where Ano=" + ano + " and Mes=" + std::to_string(mes);
}

std::string limparMes(const std::string& ano, int mes) {
  return "Delete U_qor_ComMensais where Ano=" + ano + "  AND Mes=" + std::to_string(mes);
}

// An empty row set bound to the table: a row added to it is written by its
// own Update.
const char* kNovaLinha = "Select * from U_qor_ComMensais where Id=-10";

std::string criarTabelaSql() {
  return std::string(" CREATE TABLE [dbo].[U_qor_ComMensais](") +
         "[Vendedor] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," + "[Mes] [smallint] NULL," +
         "[Ano] [smallint] NULL," + "[Grupo] [nvarchar](6) COLLATE Latin1_General_CI_AS NULL," +
         "[Comissao] [money] NULL," + "[ValorBase] [money] NULL," + "[Id] [int] IDENTITY(1,1) NOT NULL," +
         "CONSTRAINT [PK_U_qor_ComMensais] PRIMARY KEY CLUSTERED" + " (" + " [ID] Asc" + " )" + " ) ON [PRIMARY]";
}

}  // namespace

// The month's statement as the system writes it, piece by piece.
// clang-format off
std::string ComissoesMensais::sqlBases(const std::string& ano, int mes) {
  return std::string("Select Sum((Abs(DOCGCCAB.TpTerc - DOCGCCAB.SINALCT) * 2 - 1) * 1 * DOCGCLIN.Quant) as Peso, DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao") +
         " FROM         DOCGCCAB INNER JOIN" +
         " DOCGCLIN ON DOCGCCAB.NNUMDOC = DOCGCLIN.NNUMDOC AND DOCGCCAB.TPDOC = DOCGCLIN.TPDOCUM AND DOCGCCAB.SERIE = DOCGCLIN.SERIE AND" +
         " DOCGCCAB.ANO = DOCGCLIN.ANO INNER JOIN" +
         " ARTIGOS ON DOCGCLIN.ARTIGO = ARTIGOS.CODIGO INNER JOIN" +
         " U_qor_ComGrupos ON DOCGCLIN.VENDEDOR = U_qor_ComGrupos.Vendedor AND ARTIGOS.GRUPO = U_qor_ComGrupos.Grupo" +
         " WHERE     (DOCGCCAB.ANO = " + ano + ")  AND month(DocGcCab.Data)=" + std::to_string(mes) +
         " and (DOCGCLIN.ARTIGO > '') and " +
         " NVIAS<>-1 and (TPTERC = 2) AND (AREAG = 4) AND (DocGcCab.TPOPER = 2) AND (NATCONTA = 1) " +
         " GROUP BY DOCGCLIN.VENDEDOR, U_qor_ComGrupos.Grupo, U_qor_ComGrupos.Comissao";
}
// clang-format on

void ComissoesMensais::criarTabela() {
  try {
    data_.OpenRecordset(kExiste)->close();
  } catch (const AutomationError& error) {
    if (error.number() == sql::sqlerr::NoTable || error.number() == sql::sqlerr::ErrorsInCommand)
      data_.Execute(criarTabelaSql());
  } catch (const std::exception&) {
    // Anything else is not the table missing: left as it is.
  }
}

bool ComissoesMensais::calculado(const std::string& ano, int mes) {
  return !sql::noRows(data_.OpenRecordset(doMes(ano, mes)).get());
}

std::shared_ptr<sql::Recordset> ComissoesMensais::bases(const std::string& ano, int mes) {
  return data_.OpenRecordset(sqlBases(ano, mes));
}

void ComissoesMensais::gravar(const std::string& ano, int mes, sql::Recordset& bases, const Progress& progress) {
  auto transaction = data_.BeginTransaction();
  data_.Execute(limparMes(ano, mes));
  std::size_t done = 0;
  const Variant mesValue(static_cast<std::int16_t>(mes));
  for (bases.moveFirst(); !bases.eof(); bases.moveNext()) {
    auto linha = data_.OpenUpdatable(kNovaLinha);
    linha->addNew();
    linha->setValue("Vendedor", bases.value("VENDEDOR"));
    linha->setValue("Ano", Variant(ano));
    linha->setValue("Mes", mesValue);
    linha->setValue("Grupo", bases.value("Grupo"));
    linha->setValue("Comissao", bases.value("Comissao"));
    linha->setValue("ValorBase", bases.value("Peso"));
    linha->update();
    if (progress) progress(++done);
  }
  transaction.commit();
}

}  // namespace quill

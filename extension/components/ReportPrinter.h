#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/automation/MemberTable.h"

namespace quill {

class ReportFile;
namespace sql {
class Recordset;
}
namespace ui {
class UiServices;
struct TableDocument;
}  // namespace ui

// The report printer: prints a report file (ReportFile) against the company
// database, to a print preview on screen or to a PDF file when there is no
// display (ui::ReportOutput decides). Callers set, in this order:
//
//   TipoRelatorio = 2                      the kind of report: our report files
//   Servidor, BaseDados, Utilizador, PassWord
//                                          the company database, opened with the
//                                          connection string the extension uses
//   FicheiroRelatorio = folder + "\qor_VT_Pendentes.rpt"
//   Destino = 1                            the screen (a PDF without a display)
//   [ConsultaBaseDados = 0]                the data come from a recordset instead
//                                          of the file's query (default 1)
//   Pai = lPai                             the owner window of the preview
//   Imprimir(vParametros, True)            element n of the text array is
//                                          parameter n of the report
//   Imprimir(oRecordset, True)             with ConsultaBaseDados = 0
//
// Imprimir answers True when the report was printed. A report that cannot
// be printed (a missing or malformed file, a criterion that is no date, a
// database that cannot be opened, a failing query) is reported in a message
// box titled with the report's title, and nothing is printed; the error goes
// no further. The flag asks for a modal preview; the preview is always
// modal, so False is taken as True.
//
// A file named with "\" separators or in another case than on disk is found
// as the original system's file system would find it.
class ReportPrinter : public DispatchObject<ReportPrinter> {
 public:
  static constexpr std::int32_t kReportFile = 2;  // TipoRelatorio
  static constexpr std::int32_t kToScreen = 1;    // Destino

  explicit ReportPrinter(ui::UiServices& ui);
  ReportPrinter();  // with the user-interface services of the process
  ~ReportPrinter() override;

  // Settings; values outside those above fail with Invalid procedure call (5).
  void setTipoRelatorio(std::int32_t kind);
  std::int32_t TipoRelatorio() const { return tipoRelatorio_; }
  void setServidor(std::string value) { servidor_ = std::move(value); }
  const std::string& Servidor() const { return servidor_; }
  void setBaseDados(std::string value) { baseDados_ = std::move(value); }
  const std::string& BaseDados() const { return baseDados_; }
  void setUtilizador(std::string value) { utilizador_ = std::move(value); }
  const std::string& Utilizador() const { return utilizador_; }
  void setPassWord(std::string value) { passWord_ = std::move(value); }
  const std::string& PassWord() const { return passWord_; }
  void setFicheiroRelatorio(std::string value) { ficheiroRelatorio_ = std::move(value); }
  const std::string& FicheiroRelatorio() const { return ficheiroRelatorio_; }
  void setDestino(std::int32_t destination);
  std::int32_t Destino() const { return destino_; }
  void setConsultaBaseDados(std::int32_t fromDatabase);
  std::int32_t ConsultaBaseDados() const { return consultaBaseDados_; }
  void setPai(std::int32_t owner) { pai_ = owner; }
  std::int32_t Pai() const { return pai_; }

  // Prints with the report's query and these parameters (element n is
  // parameter n; element 0 is not used).
  bool Imprimir(const std::vector<std::string>& vParametros, bool bModal = true);
  // Prints the rows of a recordset (ConsultaBaseDados = 0).
  bool Imprimir(sql::Recordset& oDados, bool bModal = true);

  // The PDF file the last Imprimir wrote; empty when it showed a preview or
  // printed nothing.
  const std::filesystem::path& FicheiroImpresso() const { return ficheiroImpresso_; }

  // ---- Late-bound object ----
  // Every setting above as a property; Imprimir(vDados [, bModal]) takes a
  // text array or a recordset; FicheiroImpresso is read-only.
  static const MemberTable<ReportPrinter>& members();
  std::string className() const override { return "ReportPrinter"; }

 private:
  template <class MakeTable>
  bool print(bool fromDatabase, MakeTable makeTable);
  std::filesystem::path reportPath() const;

  ui::UiServices& ui_;
  std::int32_t tipoRelatorio_ = kReportFile;
  std::string servidor_, baseDados_, utilizador_, passWord_, ficheiroRelatorio_;
  std::int32_t destino_ = kToScreen;
  std::int32_t consultaBaseDados_ = 1;
  std::int32_t pai_ = 0;
  std::filesystem::path ficheiroImpresso_;
};

}  // namespace quill

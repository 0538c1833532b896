#include "extension/commissions/ReportConnection.h"

#include "extension/components/LibraryFolder.h"
#include "extension/components/ReportPrinter.h"

namespace quill {

void printLibraryReport(ui::UiServices& ui, const ReportConnection& connection, std::string_view file,
                        const std::vector<std::string>& parameters, std::int32_t owner) {
  ReportPrinter printer(ui);
  printer.setTipoRelatorio(ReportPrinter::kReportFile);
  printer.setServidor(connection.servidor);
  printer.setBaseDados(connection.baseDados);
  printer.setUtilizador(connection.utilizador);
  printer.setPassWord(connection.passWord);
  printer.setFicheiroRelatorio(libraryFolder().string() + std::string(file));
  printer.setDestino(ReportPrinter::kToScreen);
  printer.setPai(owner);
  printer.Imprimir(parameters, true);
}

}  // namespace quill

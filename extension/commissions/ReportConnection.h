#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

namespace ui {
class UiServices;
}

// The database settings an editor is given for the reports it prints
// (Servidor, BaseDados, Utilizador, PassWord), as its caller sets them.
struct ReportConnection {
  std::string servidor;
  std::string baseDados;
  std::string utilizador;
  std::string passWord;
};

// Prints a report file of the library's folder, named as the system names
// it ("\qor_VT_Comissoes.rpt"), with a text parameter array (element n is
// parameter n): report kind 2, the connection, output 1, the owner window.
// The printer shows its own failures.
void printLibraryReport(ui::UiServices& ui, const ReportConnection& connection, std::string_view file,
                        const std::vector<std::string>& parameters, std::int32_t owner);

}  // namespace quill

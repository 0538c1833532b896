#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/automation/Dispatch.h"

namespace quill {

// The company database as the report printer is told of it: the settings of
// the configuration's "Ligação" section, or the properties a form was given.
struct ReportDatabase {
  std::string servidor;
  std::string baseDados;
  std::string utilizador;
  std::string passWord;
};

// Prints a report file with a text parameter array (element n is parameter
// n) on a report printer made by name ("ReportPrinter"), set as the system's
// callers set it: report kind 2, the database, the file, output 1, the
// owner window, then Imprimir(array, True).
void imprimirRelatorio(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro,
                       const std::vector<std::string>& parametros, std::int32_t pai);
// The same from the rows of a recordset instead of the file's query: after
// the output setting, ConsultaBaseDados = 0, and Imprimir(recordset, True).
void imprimirRelatorio(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro,
                       const DispatchPtr& dados, std::int32_t pai);

}  // namespace quill

#include "extension/components/ReportPrinting.h"

#include "platform/automation/AutomationError.h"

namespace quill {

void imprimirRelatorio(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro,
                       const std::vector<std::string>& parametros, std::int32_t pai) {
  if (!printer) throw vbError(vberr::CannotCreateObject, "ReportPrinter");
  late::let(printer, "TipoRelatorio", Variant(std::int32_t{2}));
  late::let(printer, "Servidor", Variant(database.servidor));
  late::let(printer, "BaseDados", Variant(database.baseDados));
  late::let(printer, "Utilizador", Variant(database.utilizador));
  late::let(printer, "PassWord", Variant(database.passWord));
  late::let(printer, "FicheiroRelatorio", Variant(ficheiro));
  late::let(printer, "Destino", Variant(std::int32_t{1}));
  late::let(printer, "Pai", Variant(pai));
  std::vector<Variant> items(parametros.begin(), parametros.end());
  late::call(printer, "Imprimir", {Variant(makeArray(std::move(items))), Variant(true)});
}

}  // namespace quill

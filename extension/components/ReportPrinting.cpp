#include "extension/components/ReportPrinting.h"

#include "platform/automation/AutomationError.h"

namespace quill {

namespace {

// Report kind, database, file and output, in the callers' order.
void prepara(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro) {
  if (!printer) throw vbError(vberr::CannotCreateObject, "ReportPrinter");
  late::let(printer, "TipoRelatorio", Variant(std::int32_t{2}));
  late::let(printer, "Servidor", Variant(database.servidor));
  late::let(printer, "BaseDados", Variant(database.baseDados));
  late::let(printer, "Utilizador", Variant(database.utilizador));
  late::let(printer, "PassWord", Variant(database.passWord));
  late::let(printer, "FicheiroRelatorio", Variant(ficheiro));
  late::let(printer, "Destino", Variant(std::int32_t{1}));
}

}  // namespace

void imprimirRelatorio(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro,
                       const std::vector<std::string>& parametros, std::int32_t pai) {
  prepara(printer, database, ficheiro);
  late::let(printer, "Pai", Variant(pai));
  std::vector<Variant> items(parametros.begin(), parametros.end());
  late::call(printer, "Imprimir", {Variant(makeArray(std::move(items))), Variant(true)});
}

void imprimirRelatorio(const DispatchPtr& printer, const ReportDatabase& database, const std::string& ficheiro,
                       const DispatchPtr& dados, std::int32_t pai) {
  prepara(printer, database, ficheiro);
  late::let(printer, "ConsultaBaseDados", Variant(std::int32_t{0}));
  late::let(printer, "Pai", Variant(pai));
  late::call(printer, "Imprimir", {Variant(dados), Variant(true)});
}

}  // namespace quill

// The command of the client/group discounts report: its form shows,
// prints and exports the report itself, so nothing is printed here.

#include "extension/core/DescComissoes.h"

namespace quill {

void DescComissoes::MapaDescontosClienteGrupo(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Descontos Cliente Grupo", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    abrirFormulario("frmCriteriosDescCliGrupo", {Propriedade::DataAccess}, Variant(lPai));
  });
}

}  // namespace quill

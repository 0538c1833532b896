// The price commands of the extension object: they write prices through the
// ERP's API, so each warns first when the API link is off and opens nothing.

#include "extension/core/DescComissoes.h"

namespace quill {

void DescComissoes::EditLinhasPrecos(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Linhas de preços", [&] {
    if (!apiLigadaOuAviso()) return;
    if (!comandoInteressa(sEmpresa)) return;
    abrirFormulario("frmEditLinPrecos",
                    {Propriedade::DataAccess, Propriedade::NextApi, Propriedade::Utilizador, Propriedade::BaseDados,
                     Propriedade::PassWord, Propriedade::Servidor},
                    Variant(lPai));
  });
}

}  // namespace quill

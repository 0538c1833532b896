// The commands of the discount and commission editors: each opens its
// editor with what it needs, in the order the system gives it.

#include "extension/core/DescComissoes.h"

namespace quill {

void DescComissoes::EditGruposDescontos(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Grupos/Descontos", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    abrirFormulario("frmEditGrpDescontos",
                    {Propriedade::DataAccess, Propriedade::Utilizador, Propriedade::BaseDados, Propriedade::PassWord,
                     Propriedade::Servidor},
                    Variant(lPai));
  });
}

void DescComissoes::EditComissoes(std::int32_t lPai, std::string_view sEmpresa) {
  comando("Comissões", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    abrirFormulario("frmEditComissoes",
                    {Propriedade::DataAccess, Propriedade::Utilizador, Propriedade::BaseDados, Propriedade::PassWord,
                     Propriedade::Servidor},
                    Variant(lPai));
  });
}

void DescComissoes::EditComPorGrupo(std::string_view sEmpresa) {
  comando("Comissões por Grupo", [&] {
    if (!comandoInteressa(sEmpresa)) return;
    // Shown without an owner.
    abrirFormulario("frmEditComGrp", {Propriedade::DataAccess}, Variant(std::int32_t{0}));
  });
}

}  // namespace quill

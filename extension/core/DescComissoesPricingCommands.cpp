// The price commands of the extension object: they write prices through the
// ERP's API, so each warns first when the API link is off and opens nothing.

#include "extension/core/DescComissoes.h"

namespace quill {

void DescComissoes::editorPrecos(std::string_view titulo, std::string_view formulario, std::int32_t lPai,
                                 std::string_view sEmpresa) {
  comando(titulo, [&] {
    if (!apiLigadaOuAviso()) return;
    if (!comandoInteressa(sEmpresa)) return;
    abrirFormulario(formulario,
                    {Propriedade::DataAccess, Propriedade::NextApi, Propriedade::Utilizador, Propriedade::BaseDados,
                     Propriedade::PassWord, Propriedade::Servidor},
                    Variant(lPai));
  });
}

void DescComissoes::EditLinhasPrecos(std::int32_t lPai, std::string_view sEmpresa) {
  editorPrecos("Linhas de preços", "frmEditLinPrecos", lPai, sEmpresa);
}

void DescComissoes::EditAltLinhasPrecos(std::int32_t lPai, std::string_view sEmpresa) {
  editorPrecos("Alteração de Linhas de preços", "frmEditAltLinPrecos", lPai, sEmpresa);
}

void DescComissoes::EditAltPrecos(std::int32_t lPai, std::string_view sEmpresa) {
  editorPrecos("Alteração de Preços", "frmEditAltPrecos", lPai, sEmpresa);
}

}  // namespace quill

#include "extension/pricing/PricingKinds.h"

#include "extension/reports/CodeKinds.h"

namespace quill::kinds {

const CodeKind& artigosComCampos() {
  static const CodeKind kind = [] {
    CodeKind k = artigos();
    k.findSql = [](const std::string& code) {
      return "SELECT       * "
             "FROM         ARTIGOS LEFT OUTER JOIN"
             "                 U_ARTIGOS ON ARTIGOS.CODIGO = U_ARTIGOS.CODIGO "
             "WHERE        (ARTIGOS.CODIGO = '" +
             code + "') ";
    };
    return k;
  }();
  return kind;
}

const CodeKind& grupos() {
  static const CodeKind kind{"Grupos",
                             "SELECT       COD as Código, DESCR as Nome "
                             "FROM         GRUPOS "
                             "ORDER BY     GRUPOS.COD ",
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         GRUPOS "
                                      "WHERE        (GRUPOS.COD = '" +
                                      code + "') ";
                             },
                             "DESCR",
                             "SELECT       * "
                             "FROM         GRUPOS "
                             "ORDER BY     COD ",
                             "COD",
                             "DESCR"};
  return kind;
}

}  // namespace quill::kinds

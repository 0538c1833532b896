#include "extension/reports/CodeKinds.h"

#include <string>

namespace quill::kinds {

namespace {

const char* kVendedoresLookup =
    "SELECT       CODIGO as Código, NOME as Nome "
    "FROM         VENDEDOR "
    "ORDER BY     VENDEDOR.CODIGO ";
const char* kVendedoresTabela =
    "SELECT       * "
    "FROM         VENDEDOR "
    "ORDER BY     CODIGO ";

}  // namespace

const CodeKind& vendedores() {
  static const CodeKind kind{"Vendedores",
                             kVendedoresLookup,
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         VENDEDOR "
                                      "WHERE        CODIGO ='" +
                                      code + "'";
                             },
                             "NOME",
                             kVendedoresTabela,
                             "CODIGO",
                             "NOME"};
  return kind;
}

const CodeKind& vendedoresPorCodigo() {
  static const CodeKind kind{"Vendedores",
                             kVendedoresLookup,
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         VENDEDOR "
                                      "WHERE        (VENDEDOR.CODIGO = '" +
                                      code + "') ";
                             },
                             "NOME",
                             kVendedoresTabela,
                             "CODIGO",
                             "NOME"};
  return kind;
}

const CodeKind& clientesActivos() {
  static const CodeKind kind{"Clientes",
                             "SELECT       CODIGO as Código, NOME as Nome "
                             "FROM         CLIENTES "
                             "WHERE        INACTIVO=0 "
                             "ORDER BY     CLIENTES.CODIGO ",
                             [](const std::string& code) {
                               return "SELECT       CODIGO, NOME "
                                      "FROM         CLIENTES "
                                      "WHERE        CLIENTES.CODIGO='" +
                                      code + "'";
                             },
                             "NOME",
                             "SELECT       CODIGO, NOME "
                             "FROM         CLIENTES "
                             "ORDER BY     CODIGO ",
                             "CODIGO",
                             "NOME"};
  return kind;
}

const CodeKind& clientes() {
  static const CodeKind kind{"Clientes",
                             "SELECT       CODIGO as Código, NOME as Nome "
                             "FROM         CLIENTES "
                             "ORDER BY     CLIENTES.CODIGO ",
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         CLIENTES "
                                      "WHERE        (CLIENTES.CODIGO = '" +
                                      code + "') ";
                             },
                             "NOME",
                             "SELECT       * "
                             "FROM         CLIENTES "
                             "ORDER BY     CODIGO ",
                             "CODIGO",
                             "NOME"};
  return kind;
}

const CodeKind& zonas() {
  static const CodeKind kind{"Zonas",
                             "SELECT       Zona as Código, DESCR as Nome "
                             "FROM         ZONAGEO "
                             "ORDER BY     ZONA ",
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         ZONAGEO "
                                      "WHERE        ZONA ='" +
                                      code + "'";
                             },
                             "DESCR",
                             "SELECT       * "
                             "FROM         ZONAGEO "
                             "ORDER BY     ZONA ",
                             "ZONA",
                             "DESCR"};
  return kind;
}

const CodeKind& carteiras() {
  static const CodeKind kind{"Carteiras",
                             "SELECT       CODIGO as Código, DESCRI as Nome "
                             "FROM         CARTEIRA "
                             "WHERE        ACTIVO = -1 "
                             "ORDER BY     CARTEIRA.CODIGO ",
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         CARTEIRA "
                                      "WHERE        CODIGO = '" +
                                      code + "'";
                             },
                             "DESCRI",
                             "SELECT       * "
                             "FROM         CARTEIRA "
                             "WHERE        ACTIVO = -1 "
                             "ORDER BY     CODIGO ",
                             "CODIGO",
                             "DESCRI"};
  return kind;
}

const CodeKind& linhasPrecos() {
  static const CodeKind kind{"Linhas de Preços",
                             "SELECT       LINHA as Linha, DESCR as Descrição "
                             "FROM         LINPRC "
                             "ORDER BY     LINPRC.LINHA",
                             [](const std::string& number) {
                               return "SELECT       * "
                                      "FROM         LINPRC "
                                      "WHERE        (LINHA=" +
                                      number + " )";
                             },
                             "DESCR",
                             "SELECT       * "
                             "FROM         LINPRC "
                             "ORDER BY     LINHA ",
                             "LINHA",
                             "DESCR",
                             true};
  return kind;
}

const CodeKind& artigos() {
  static const CodeKind kind{"Artigos",
                             "SELECT       CODIGO as Código, NOME as Nome "
                             "FROM         ARTIGOS "
                             "ORDER BY     ARTIGOS.CODIGO ",
                             [](const std::string& code) {
                               return "SELECT       * "
                                      "FROM         ARTIGOS "
                                      "WHERE        (ARTIGOS.CODIGO = '" +
                                      code +
                                      "') "
                                      "ORDER BY ARTIGOS.CODIGO";
                             },
                             "NOME",
                             "SELECT       * "
                             "FROM         ARTIGOS "
                             "ORDER BY ARTIGOS.CODIGO",
                             "CODIGO",
                             "NOME"};
  return kind;
}

}  // namespace quill::kinds

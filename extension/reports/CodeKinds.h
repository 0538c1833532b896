#pragma once

#include "extension/reports/CriteriosForm.h"

namespace quill::kinds {

// The code kinds of the criteria forms, each with the statements its forms
// use. Forms that read a kind differently have a kind of their own.

// Sellers: "Vendedores" lookup; found by "WHERE CODIGO ='…'".
const CodeKind& vendedores();
// Sellers as the tolerance and discounts reports find them ("(VENDEDOR.CODIGO = '…') ").
const CodeKind& vendedoresPorCodigo();
// Active clients in the lookup; found by "WHERE CLIENTES.CODIGO='…'".
const CodeKind& clientesActivos();
// Every client in the lookup; found by "(CLIENTES.CODIGO = '…') ".
const CodeKind& clientes();
const CodeKind& zonas();
const CodeKind& carteiras();
const CodeKind& linhasPrecos();
const CodeKind& artigos();

}  // namespace quill::kinds

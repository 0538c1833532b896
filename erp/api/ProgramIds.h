#pragma once

#include <string_view>

// The program ids of the ERP API: the root object, created by program id
// from this library, and the objects its factory (CriaObjecto) creates.
namespace quill::erpapi::progid {
inline constexpr std::string_view kApi = "SageApiNextPlus.Api";
inline constexpr std::string_view kParametrosAplicacao = "SageApiNextPlus.ParametrosAplicacao";
inline constexpr std::string_view kDocumentoComercial = "SageApiNextPlus.DocumentoComercial";
inline constexpr std::string_view kDocumentosGcLin = "SageApiNextPlus.DocumentosGcLin";
inline constexpr std::string_view kPrecos = "SageApiNextPlus.Precos";
inline constexpr std::string_view kArtigos = "SageApiNextPlus.Artigos";
inline constexpr std::string_view kClientes = "SageApiNextPlus.Clientes";
inline constexpr std::string_view kFornecedores = "SageApiNextPlus.Fornecedores";
inline constexpr std::string_view kLotesLinha = "SageApiNextPlus.LotesLinha";
inline constexpr std::string_view kDocumentoContabilistico = "SageApiNextPlus.DocumentoContabilistico";
}  // namespace quill::erpapi::progid

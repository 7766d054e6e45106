// The library's resources in its ten languages. German, Spanish, French
// and Italian are kept under their primary-language identifiers only, so a
// caller must pass 7, 10, 12 or 16 for them; any identifier without a
// template is "not found".
#include <array>

#include "verdisp_private.h"

namespace verdisp {
namespace {

constexpr std::array<LanguageResources, 10> kLanguages{{
    {7, "Info", "OK", "Bibliothek", "Version"},
    {10, "Acerca de", "Aceptar", "Biblioteca", "Versión"},
    {12, "À propos", "OK", "Bibliothèque", "Version"},
    {16, "Informazioni", "OK", "Libreria", "Versione"},
    {1028, "關於", "確定", "程式庫", "版本"},
    {1033, "About", "OK", "Library", "Version"},
    {1041, "バージョン情報", "OK", "ライブラリ", "バージョン"},
    {1046, "Sobre", "OK", "Biblioteca", "Versão"},
    {1049, "О программе", "ОК", "Библиотека", "Версия"},
    {2052, "关于", "确定", "库", "版本"},
}};

}  // namespace

const LanguageResources* FindLanguage(uint16_t langId) {
  for (const LanguageResources& lang : kLanguages)
    if (lang.langId == langId) return &lang;
  return nullptr;
}

}  // namespace verdisp

/* The format of a language resource library (Res_XXX.so): one exported entry
 * point returning its tables. The program's own English resources use the
 * same tables. Texts are UTF-8. */
#ifndef RES_LANG_ABI_H
#define RES_LANG_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VISTEL_RES_MAGIC 0x53455256u /* "VRES" */
#define VISTEL_RES_ABI_VERSION 1u
#define VISTEL_RES_ENTRY "VistelResourceTable"

typedef struct VistelResString {
  uint32_t id;
  const char* text;
} VistelResString;

/* controlId 0 is the dialog's caption. */
typedef struct VistelResDialogText {
  uint32_t dialogId;
  uint32_t controlId;
  const char* text;
} VistelResDialogText;

/* commandId is a command id, or 0x80000000 | index for a pop-up title at
 * that position of the menu's top level, or 0x80000000 | (position + 1) << 8
 * | index for a pop-up nested at that position inside it. */
typedef struct VistelResMenuText {
  uint32_t menuId;
  uint32_t commandId;
  const char* text;
} VistelResMenuText;

typedef struct VistelResTable {
  uint32_t magic;      /* VISTEL_RES_MAGIC */
  uint32_t abiVersion; /* VISTEL_RES_ABI_VERSION */
  uint32_t langId;     /* LANGID of the texts */
  const char* languageName;
  const VistelResString* strings;
  uint32_t stringCount;
  const VistelResDialogText* dialogTexts;
  uint32_t dialogTextCount;
  const VistelResMenuText* menuTexts;
  uint32_t menuTextCount;
} VistelResTable;

typedef const VistelResTable* (*VistelResTableFn)(void);

#ifdef __cplusplus
}

#include <cstddef>

// Builds a table over arrays, so each language lists only its texts.
template <std::size_t S, std::size_t D>
constexpr VistelResTable VistelMakeResTable(uint32_t langId, const char* languageName,
                                            const VistelResString (&strings)[S],
                                            const VistelResDialogText (&dialogTexts)[D]) {
  return VistelResTable{VISTEL_RES_MAGIC, VISTEL_RES_ABI_VERSION, langId,      languageName,
                        strings,          uint32_t(S),            dialogTexts, uint32_t(D),
                        nullptr,          0};
}
template <std::size_t S, std::size_t D, std::size_t M>
constexpr VistelResTable VistelMakeResTable(uint32_t langId, const char* languageName,
                                            const VistelResString (&strings)[S],
                                            const VistelResDialogText (&dialogTexts)[D],
                                            const VistelResMenuText (&menuTexts)[M]) {
  return VistelResTable{VISTEL_RES_MAGIC, VISTEL_RES_ABI_VERSION, langId,      languageName,
                        strings,          uint32_t(S),            dialogTexts, uint32_t(D),
                        menuTexts,        uint32_t(M)};
}
#endif

#endif

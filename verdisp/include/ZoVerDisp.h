/* ZoVerDisp: the list of the suite's related libraries with their file
 * versions (the "More..." part of the About box).
 *
 * Exports: DispRelationLibrary. */
#ifndef ZOVERDISP_H
#define ZOVERDISP_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One library to list. Pointer-free: the same 196 bytes on every build. */
typedef struct RELATION_LIB_INFO {
  int32_t folderKind;  /* 0 Windows folder, 1 system folder, 2 program folder */
  char subFolder[64];  /* below that folder, NUL-terminated; empty for none */
  char fileName[64];   /* NUL-terminated file name of the library */
  char version[64];    /* out: NUL-terminated version text, at most 63 characters */
} RELATION_LIB_INFO;

#define ZOVERDISP_FOLDER_WINDOWS 0
#define ZOVERDISP_FOLDER_SYSTEM 1
#define ZOVERDISP_FOLDER_PROGRAM 2

/* Result codes. */
#define ZOVERDISP_OK 0
#define ZOVERDISP_NULL_RECORDS (-1)
#define ZOVERDISP_NO_DIALOG (-2)

/* Version text of a library that is missing or has no version information. */
#define ZOVERDISP_NOT_EXIST " does not exist"

/* Fills the version field of each of the count records and, when show is 1,
 * shows the modal "About" list in the dialog language langId (low 16 bits;
 * the template must exist in exactly that language).
 *   [in]     show     1 = show the dialog; any other value only fills in
 *   [in,out] records  count records; version is written; may not be null
 *   [in]     count    number of records (≤ 0: nothing to fill)
 *   [in]     langId   LANGID of the dialog language
 * Returns 0 on success; -1 when records is null (nothing done); -2 when the
 * template is not found in that language or the dialog cannot be shown
 * (the versions are filled in already). Runs on the caller's GUI thread;
 * calls must not overlap. */
int32_t DispRelationLibrary(int32_t show, RELATION_LIB_INFO* records, int32_t count, int32_t langId);

typedef int32_t (*DispRelationLibraryFn)(int32_t, RELATION_LIB_INFO*, int32_t, int32_t);

#ifdef __cplusplus
#define ZOVERDISP_ASSERT(c, m) static_assert(c, m)
#else
#define ZOVERDISP_ASSERT(c, m) _Static_assert(c, m)
#endif
ZOVERDISP_ASSERT(sizeof(RELATION_LIB_INFO) == 196, "RELATION_LIB_INFO is 196 bytes");
ZOVERDISP_ASSERT(offsetof(RELATION_LIB_INFO, subFolder) == 4, "subFolder at 4");
ZOVERDISP_ASSERT(offsetof(RELATION_LIB_INFO, fileName) == 68, "fileName at 68");
ZOVERDISP_ASSERT(offsetof(RELATION_LIB_INFO, version) == 132, "version at 132");
#undef ZOVERDISP_ASSERT

#ifdef __cplusplus
}
#endif

#endif

/* verdisp_probe: lists library versions through ZoVerDisp.so, as a plain C
 * caller would. Usage: verdisp_probe <file name>... (folder kind 2: next to
 * this program). Prints "<name>\t<version>" per record; exit status is the
 * function's result (0), or 3 when the library or its entry is missing. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "ZoVerDisp.h"

/* The library is looked for next to this program, as the program folder is
 * searched first for every library the suite loads by name. */
static void* LoadVersionLibrary(void) {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 32);
  if (n > 0) {
    path[n] = '\0';
    char* slash = strrchr(path, '/');
    if (slash) {
      strcpy(slash + 1, "ZoVerDisp.so");
      void* lib = dlopen(path, RTLD_NOW);
      if (lib) return lib;
    }
  }
  return dlopen("ZoVerDisp.so", RTLD_NOW);
}

int main(int argc, char** argv) {
  void* lib = LoadVersionLibrary();
  if (!lib) {
    fprintf(stderr, "cannot load ZoVerDisp.so: %s\n", dlerror());
    return 3;
  }
  /* POSIX guarantees that a symbol address converts to a function pointer;
   * going through memcpy keeps ISO C quiet about it. */
  void* sym = dlsym(lib, "DispRelationLibrary");
  DispRelationLibraryFn fn;
  memcpy(&fn, &sym, sizeof fn);
  if (!fn) {
    fprintf(stderr, "DispRelationLibrary not found\n");
    dlclose(lib);
    return 3;
  }
  int count = argc - 1;
  RELATION_LIB_INFO* records = calloc(count > 0 ? (size_t)count : 1, sizeof(RELATION_LIB_INFO));
  if (!records) return 3;
  for (int i = 0; i < count; ++i) {
    records[i].folderKind = ZOVERDISP_FOLDER_PROGRAM;
    strncpy(records[i].fileName, argv[i + 1], sizeof records[i].fileName - 1);
  }
  int32_t result = fn(0, records, count, 1033);
  for (int i = 0; i < count; ++i) printf("%s\t%s\n", records[i].fileName, records[i].version);
  free(records);
  dlclose(lib);
  return (int)result;
}

/* Movable global memory with C linkage. Blocks handed across library
 * boundaries (the filter library's output buffers) come from here, so that a
 * caller frees what a library returns. Unknown handles are refused, never
 * dereferenced. Thread-safe. */
#ifndef PLATFORM_GLOBAL_MEMORY_H
#define PLATFORM_GLOBAL_MEMORY_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* HGLOBAL;

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

/* Allocates bytes (0 allowed). Returns null when memory is short. */
HGLOBAL GlobalAlloc(uint32_t flags, size_t bytes);
/* Resizes; contents kept up to the smaller size, new bytes zeroed with
 * GMEM_ZEROINIT. Null (old block intact) on failure or for a locked block. */
HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, uint32_t flags);
/* Locks and returns the data address (null for an unknown handle). */
void* GlobalLock(HGLOBAL mem);
/* Unlocks; returns nonzero while still locked. */
int GlobalUnlock(HGLOBAL mem);
/* Size in bytes; 0 for an unknown handle. */
size_t GlobalSize(HGLOBAL mem);
/* Frees; returns null on success, the handle for an unknown handle. */
HGLOBAL GlobalFree(HGLOBAL mem);

#ifdef __cplusplus
}
#endif

#endif

/* Vellumite plug-ins: the contract between the program and the shared
 * libraries it loads at run time (picture, archive and sound-press
 * plug-ins). Plain C, so a plug-in can be written in any language that can
 * export C functions. docs/PLUGINS.md explains it with an example.
 *
 * Every entry point returns 0 for success. Strings are zero-terminated
 * bytes; file names inside games are Shift-JIS, paths on the disk are the
 * system's own.
 *
 * This header is stable: fields and entry points are only ever added at the
 * end, never changed. VELLUMITE_PLUGIN_ABI names this version. */
#ifndef VELLUMITE_PLUGIN_H
#define VELLUMITE_PLUGIN_H

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VELLUMITE_PLUGIN_ABI 1

#if defined(__GNUC__)
#define VELLUMITE_EXPORT __attribute__((visibility("default")))
#else
#define VELLUMITE_EXPORT
#endif

/* A block of memory a plug-in hands to the program. The plug-in fills `size`
 * and `data`; the program reads at most `size` bytes at `data` and then calls
 * `release(block)` exactly once, which frees everything. A plug-in usually
 * makes blocks with vellumite_block_new below. */
typedef struct VellumiteBlock {
  uint64_t size;
  void* data;
  void (*release)(struct VellumiteBlock* block);
} VellumiteBlock;

static inline void vellumite_block_free_(VellumiteBlock* block) { free(block); }

/* A block of `size` zeroed bytes, released with free(); NULL when memory ran
 * out. The struct and the bytes are one allocation. */
static inline VellumiteBlock* vellumite_block_new(uint64_t size) {
  if (size > SIZE_MAX - sizeof(VellumiteBlock)) return NULL;
  VellumiteBlock* block = (VellumiteBlock*)calloc(1, sizeof(VellumiteBlock) + (size_t)size);
  if (block == NULL) return NULL;
  block->size = size;
  block->data = block + 1;
  block->release = vellumite_block_free_;
  return block;
}

/* Progress callbacks: the program passes none (NULL); plug-ins may ignore
 * the argument. */
typedef int (*VellumiteProgress)(int done, int total, intptr_t user_data);

/* --- picture plug-ins ----------------------------------------------------
 * int GetPicture(const char *buf, int32_t len, uint32_t flag,
 *                VellumiteBlock **info, VellumiteBlock **bits,
 *                VellumiteProgress progress, intptr_t user_data);
 *
 * The program calls it with `buf` the picture file's path, len 0 and flag 0
 * (buf is a file name). On success (0) `*info` holds the 40-byte bitmap info
 * header (little-endian: size, width, height, planes, bit count,
 * compression, image size, two resolutions, colours used, colours
 * important) followed by the colour table (4 bytes an entry: blue, green,
 * red, 0) for 1-, 4- and 8-bit pictures; `*bits` holds the pixel rows, bottom
 * row first (a negative height: top row first), each padded to a multiple
 * of 4 bytes, in the header's format. The program releases both blocks.
 * An answer whose blocks are too short for what the header says is a
 * failure to load. */
typedef int (*VellumiteGetPicture)(const char* buf, int32_t len, uint32_t flag,
                                   VellumiteBlock** info, VellumiteBlock** bits,
                                   VellumiteProgress progress, intptr_t user_data);

/* --- archive plug-ins ----------------------------------------------------
 * int GetFileInfo(const char *buf, int32_t len, const char *filename,
 *                 uint32_t flag, VellumiteFileInfo *info);
 *
 * `buf` is the archive's path, len 0, `filename` the member asked for with
 * folders separated by '\' (Shift-JIS), flag VELLUMITE_IGNORE_CASE: compare
 * member names without regard to case. On success the plug-in fills *info;
 * the program relies only on `position`: non-zero when the member exists,
 * and what the plug-in wants back in GetFile to find it.
 *
 * int GetFile(const char *src, int32_t len, char *dest, uint32_t flag,
 *             VellumiteProgress progress, intptr_t user_data);
 *
 * `src` is the archive's path, `len` the position from GetFileInfo, `dest`
 * a folder (ending in '/') and flag 0 (from a file into a folder). On
 * success the member has been written into that folder under its own base
 * name (the part after the last '\' or '/'); never anywhere else. */
#define VELLUMITE_IGNORE_CASE 0x80u

typedef struct VellumiteFileInfo {
  unsigned char method[8]; /* free for the plug-in ("ZIP", "LZH", ...) */
  uint32_t position;       /* byte offset 8: 0 = no such member */
  uint32_t packed_size;
  uint32_t size;
  uint32_t reserved;
  char path[200];     /* the member's folder, Shift-JIS */
  char filename[200]; /* the member's base name, Shift-JIS */
  uint32_t crc;
} VellumiteFileInfo; /* at most 512 bytes: the program passes that much */

typedef int (*VellumiteGetFileInfo)(const char* buf, int32_t len, const char* filename,
                                    uint32_t flag, VellumiteFileInfo* info);
typedef int (*VellumiteGetFile)(const char* src, int32_t len, char* dest, uint32_t flag,
                                VellumiteProgress progress, intptr_t user_data);

/* --- sound-press plug-ins ------------------------------------------------
 * int expand(const char *source, const char *destination);
 *
 * Writes the standard file (MIDI or WAVE) that the packed file at `source`
 * holds to the path `destination`. The result is not looked at: the program
 * plays whatever it finds at `destination`. */
typedef int (*VellumiteExpand)(const char* source, const char* destination);

#ifdef __cplusplus
}
#endif

#endif /* VELLUMITE_PLUGIN_H */

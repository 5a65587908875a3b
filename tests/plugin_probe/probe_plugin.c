/* A plug-in for the tests: one library that is a picture, an archive and a
 * sound-press plug-in at once, and that can be told to answer wrongly.
 *
 * Pictures are text files: "ok W H RRGGBB" answers a good 24-bit picture;
 * "short", "count", "nobits" answer the faults named in GetPicture below;
 * "fail" reports failure.
 * Archives are text files with one member a line: "name<TAB>content".
 * expand() copies the source file to the destination. */
#include <stdio.h>
#include <string.h>

#include <vellumite/plugin.h>

static char last_member[512];

/* The member name the last GetFileInfo call was given. */
VELLUMITE_EXPORT const char *probe_last_member(void) { return last_member; }

static void put32(unsigned char *p, uint32_t v) {
  p[0] = (unsigned char)v;
  p[1] = (unsigned char)(v >> 8);
  p[2] = (unsigned char)(v >> 16);
  p[3] = (unsigned char)(v >> 24);
}

static int answer(VellumiteBlock **info, VellumiteBlock **bits, int32_t width, int32_t height,
                  int bit_count, uint32_t colors_used, uint64_t table_bytes, uint64_t bits_bytes,
                  unsigned int rgb) {
  *info = vellumite_block_new(40 + table_bytes);
  *bits = bits_bytes == (uint64_t)-1 ? NULL : vellumite_block_new(bits_bytes);
  unsigned char *h = (unsigned char *)(*info)->data;
  put32(h, 40);
  put32(h + 4, (uint32_t)width);
  put32(h + 8, (uint32_t)height);
  h[12] = 1;
  h[14] = (unsigned char)bit_count;
  put32(h + 32, colors_used);
  if (*bits != NULL && bit_count == 24) {
    unsigned char *p = (unsigned char *)(*bits)->data;
    for (uint64_t i = 0; i + 2 < bits_bytes; i += 3) {
      p[i] = (unsigned char)rgb;
      p[i + 1] = (unsigned char)(rgb >> 8);
      p[i + 2] = (unsigned char)(rgb >> 16);
    }
  }
  return 0;
}

VELLUMITE_EXPORT int GetPicture(const char *buf, int32_t len, uint32_t flag, VellumiteBlock **info,
                                VellumiteBlock **bits, VellumiteProgress progress,
                                intptr_t user_data) {
  (void)len, (void)flag, (void)progress, (void)user_data;
  FILE *file = fopen(buf, "r");
  if (file == NULL) return 1;
  char word[32] = "";
  int width = 0, height = 0;
  unsigned int rgb = 0;
  int fields = fscanf(file, "%31s %d %d %x", word, &width, &height, &rgb);
  fclose(file);
  if (fields < 1) return 1;
  if (strcmp(word, "ok") == 0 && fields == 4) {
    uint64_t stride = ((uint64_t)width * 3 + 3) & ~(uint64_t)3;
    return answer(info, bits, width, height, 24, 0, 0, stride * (uint64_t)height, rgb);
  }
  /* 4x4 24-bit needs 48 bytes of rows. */
  if (strcmp(word, "short") == 0) return answer(info, bits, 4, 4, 24, 0, 0, 47, 0);
  /* 8-bit with more colours than 256. */
  if (strcmp(word, "count") == 0) return answer(info, bits, 4, 4, 8, 300, 1024, 16, 0);
  if (strcmp(word, "nobits") == 0) return answer(info, bits, 4, 4, 24, 0, 0, (uint64_t)-1, 0);
  return 1;
}

static int same_name(const char *a, const char *b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = (char)(x + 32);
    if (y >= 'A' && y <= 'Z') y = (char)(y + 32);
    if (x == '/') x = '\\';
    if (y == '/') y = '\\';
    if (x != y) return 0;
  }
  return *a == *b;
}

/* Line `position` (1 = the first) of the archive: its name and content. */
static int member_at(const char *archive, int position, const char *name, char *found_name,
                     char *content) {
  FILE *file = fopen(archive, "r");
  if (file == NULL) return 0;
  char line[1024];
  int n = 0, hit = 0;
  while (fgets(line, sizeof line, file) != NULL) {
    ++n;
    char *tab = strchr(line, '\t');
    if (tab == NULL) continue;
    *tab = '\0';
    char *end = strchr(tab + 1, '\n');
    if (end != NULL) *end = '\0';
    if ((name != NULL && same_name(line, name)) || (name == NULL && n == position)) {
      strcpy(found_name, line);
      strcpy(content, tab + 1);
      hit = n;
      break;
    }
  }
  fclose(file);
  return hit;
}

VELLUMITE_EXPORT int GetFileInfo(const char *buf, int32_t len, const char *filename, uint32_t flag,
                                 VellumiteFileInfo *info) {
  (void)len, (void)flag;
  snprintf(last_member, sizeof last_member, "%s", filename);
  char name[1024], content[1024];
  int position = member_at(buf, 0, filename, name, content);
  if (position == 0) return 1;
  memset(info, 0, sizeof *info);
  info->position = (uint32_t)position;
  return 0;
}

VELLUMITE_EXPORT int GetFile(const char *src, int32_t len, char *dest, uint32_t flag,
                             VellumiteProgress progress, intptr_t user_data) {
  (void)flag, (void)progress, (void)user_data;
  char name[1024], content[1024], path[2048];
  if (member_at(src, len, NULL, name, content) == 0) return 1;
  const char *base = name;
  for (const char *p = name; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  snprintf(path, sizeof path, "%s%s", dest, base);
  FILE *out = fopen(path, "w");
  if (out == NULL) return 1;
  fputs(content, out);
  fclose(out);
  return 0;
}

VELLUMITE_EXPORT int expand(const char *source, const char *destination) {
  FILE *in = fopen(source, "rb");
  if (in == NULL) return 1;
  FILE *out = fopen(destination, "wb");
  if (out == NULL) {
    fclose(in);
    return 1;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) fwrite(buffer, 1, n, out);
  fclose(in);
  fclose(out);
  return 0;
}

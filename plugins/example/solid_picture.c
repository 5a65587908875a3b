/* A complete picture plug-in: it "decodes" a text file holding a width, a
 * height and a colour ("64 32 ff8000") into a picture of that size in that
 * colour. Build it with
 *     cc -shared -fPIC -I<vellumite>/include -o solid-picture.so solid_picture.c
 * put it in the game folder and register it with  spi "solid-picture.so|sld". */
#include <stdio.h>

#include <vellumite/plugin.h>

static void put32(unsigned char *p, uint32_t v) {
  p[0] = (unsigned char)v;
  p[1] = (unsigned char)(v >> 8);
  p[2] = (unsigned char)(v >> 16);
  p[3] = (unsigned char)(v >> 24);
}

VELLUMITE_EXPORT int GetPicture(const char *buf, int32_t len, uint32_t flag,
                                VellumiteBlock **info, VellumiteBlock **bits,
                                VellumiteProgress progress, intptr_t user_data) {
  (void)len;
  (void)progress;
  (void)user_data;
  if ((flag & 7) != 0) return 1; /* only pictures named by a path */
  FILE *file = fopen(buf, "r");
  if (file == NULL) return 1;
  int width = 0, height = 0;
  unsigned int rgb = 0;
  int fields = fscanf(file, "%d %d %x", &width, &height, &rgb);
  fclose(file);
  if (fields != 3 || width < 1 || height < 1 || width > 4096 || height > 4096) return 1;

  uint32_t stride = ((uint32_t)width * 3 + 3) & ~3u;
  *info = vellumite_block_new(40);
  *bits = vellumite_block_new((uint64_t)stride * (uint32_t)height);
  if (*info == NULL || *bits == NULL) return 1; /* the program releases what was made */
  unsigned char *header = (unsigned char *)(*info)->data;
  put32(header, 40);               /* header size */
  put32(header + 4, (uint32_t)width);
  put32(header + 8, (uint32_t)height); /* positive: bottom row first */
  header[12] = 1;                  /* planes */
  header[14] = 24;                 /* bits per pixel: blue, green, red */
  unsigned char *rows = (unsigned char *)(*bits)->data;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char *p = rows + (size_t)y * stride + (size_t)x * 3;
      p[0] = (unsigned char)rgb;         /* blue */
      p[1] = (unsigned char)(rgb >> 8);  /* green */
      p[2] = (unsigned char)(rgb >> 16); /* red */
    }
  }
  return 0;
}

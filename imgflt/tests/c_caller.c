/* A plain C caller of Hux_ImgFlt.so: includes only the public header and
 * uses the exports as an outside program would.
 *   1. inverts a small generated grey image in place;
 *   2. turns it by 90 degrees and frees the result block it gets back;
 *   3. deskews and crops a generated scan: a light page with dark text
 *      lines, turned by 5 degrees on a dark backing, must come back
 *      straight, at the page's size.
 * Exit status 0 when every check holds; otherwise the failed check is
 * printed and the status is 1. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Hux_ImgFlt.h"

static int failures = 0;

#define CHECK(cond)                                              \
  do {                                                           \
    if (!(cond)) {                                               \
      fprintf(stderr, "c_caller: check failed: %s\n", #cond);    \
      ++failures;                                                \
    }                                                            \
  } while (0)

static uint32_t Stride8(uint32_t width) { return (8 * width + 31) / 32 * 4; }

static HUX_IMG_INF Describe(uint8_t* rows, uint32_t w, uint32_t h, uint32_t dpi) {
  HUX_IMG_INF inf;
  memset(&inf, 0, sizeof inf);
  inf.pOrgImg = rows;
  inf.dwWidth = w;
  inf.dwHeight = h;
  inf.bitsPixel = IMG_FLT_BITSPIXEL8;
  inf.dataDIB = IMG_FLT_OFF;
  inf.dataUpDown = IMG_FLT_UPDOWN_NORMAL;
  inf.orderRGB = IMG_FLT_COLOR_RGB;
  inf.inLineAlign = IMG_FLT_MEM_BNDRY32;
  inf.outLineAlign = IMG_FLT_MEM_BNDRY32;
  inf.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  inf.imgDpiX = dpi;
  inf.imgDpiY = dpi;
  return inf;
}

static void AskForNothing(HUX_IMG_FILTER_PARAM* prm) {
  int i;
  memset(prm, 0, sizeof *prm);
  prm->verNo = 9;
  prm->binaryMode = IMG_FLT_BINARY_OFF;
  prm->detectedAngle = 0xFFFF;
  for (i = 0; i < 256; ++i) prm->gamma_r[i] = prm->gamma_g[i] = prm->gamma_b[i] = (uint8_t)i;
}

static void InvertAndTurn(void) {
  enum { W = 6, H = 4 };
  uint8_t rows[H * 8];
  HUX_IMG_INF inf;
  HUX_IMG_FILTER_PARAM prm;
  uint32_t x, y;
  uint8_t* turned;
  for (y = 0; y < H; ++y)
    for (x = 0; x < 8; ++x) rows[y * 8 + x] = (uint8_t)(y * 10 + x);
  inf = Describe(rows, W, H, 200);

  AskForNothing(&prm);
  prm.invert = IMG_FLT_ON;
  CHECK(HUX_ImgFlt_Execute(&inf, &prm) == IMG_FLT_SUCCESS);
  CHECK(inf.outBuffKind == IMG_FLT_MEMAREA_ORGN);
  CHECK(rows[1 * 8 + 2] == (uint8_t)~12);

  AskForNothing(&prm);
  prm.rotAngle = 9000;
  CHECK(HUX_ImgFlt_Execute(&inf, &prm) == IMG_FLT_SUCCESS);
  CHECK(inf.outBuffKind == IMG_FLT_MEMAREA_NEW);
  CHECK(inf.dwWidth == H && inf.dwHeight == W);
  turned = (uint8_t*)GlobalLock(inf.hOutBuff);
  CHECK(turned != NULL);
  /* Output row j is input column W-1-j, top to bottom. */
  if (turned != NULL) CHECK(turned[0 * Stride8(H) + 1] == (uint8_t)~(1 * 10 + (W - 1)));
  GlobalUnlock(inf.hOutBuff);
  CHECK(GlobalFree(inf.hOutBuff) == NULL);
}

/* The scan: a canvas of the backing with the page turned by `degrees`
 * about the canvas centre. */
static void DrawScan(uint8_t* rows, uint32_t w, uint32_t h, uint32_t pageW, uint32_t pageH, double degrees) {
  const double a = degrees * 3.14159265358979323846 / 180.0;
  const double c = cos(a), s = sin(a);
  const double cx = w / 2.0, cy = h / 2.0;
  uint32_t x, y;
  for (y = 0; y < h; ++y) {
    for (x = 0; x < w; ++x) {
      /* Page coordinates of this pixel (turned back). */
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      double px = c * dx - s * dy + pageW / 2.0;
      double py = s * dx + c * dy + pageH / 2.0;
      uint8_t v = 24; /* backing */
      if (px >= 0 && py >= 0 && px < pageW && py < pageH) {
        v = 235;
        /* Text-like lines: 3 mm high every 8 mm, inside 15 mm margins. */
        if (px > 120 && px < pageW - 120 && py > 120 && py < pageH - 120) {
          int line = (int)(py - 120) % 64;
          int word = (int)(px - 120) % 90;
          if (line < 24 && word < 70) v = 40;
        }
      }
      rows[(size_t)y * Stride8(w) + x] = v;
    }
  }
}

static void DeskewAndCrop(void) {
  enum { W = 1300, H = 1600, PAGE_W = 1000, PAGE_H = 1300 };
  const double degrees = 5.0;
  uint8_t* rows = (uint8_t*)malloc((size_t)Stride8(W) * H);
  HUX_IMG_INF inf;
  HUX_IMG_FILTER_PARAM prm;
  double found;
  if (rows == NULL) {
    ++failures;
    return;
  }
  DrawScan(rows, W, H, PAGE_W, PAGE_H, degrees);
  inf = Describe(rows, W, H, 200);
  AskForNothing(&prm);
  prm.deskew = IMG_FLT_ON;
  prm.crop = IMG_FLT_ON;
  prm.smoothing = IMG_FLT_ON;
  prm.blackLevel = 80; /* the backing (24) is dark, the page (235) is not */
  CHECK(HUX_ImgFlt_Execute(&inf, &prm) == IMG_FLT_SUCCESS);
  found = fabs(prm.deskewAngle) * 180.0 / 3.14159265358979323846;
  printf("c_caller: deskew angle %.3f degrees (drawn %.1f), page %u x %u (drawn %u x %u)\n", found, degrees,
         inf.dwWidth, inf.dwHeight, (unsigned)PAGE_W, (unsigned)PAGE_H);
  CHECK(fabs(found - degrees) < 0.3);
  /* The crop keeps the page within 2 % of its size. */
  CHECK(inf.dwWidth > PAGE_W * 98 / 100 && inf.dwWidth < PAGE_W * 102 / 100);
  CHECK(inf.dwHeight > PAGE_H * 98 / 100 && inf.dwHeight < PAGE_H * 102 / 100);
  if (inf.outBuffKind == IMG_FLT_MEMAREA_NEW) GlobalFree(inf.hOutBuff);
  free(rows);
}

int main(void) {
  InvertAndTurn();
  DeskewAndCrop();
  CHECK(ImgFltIsSupportDskwCrpEnhMode() == 0);
  if (failures != 0) {
    fprintf(stderr, "c_caller: %d check(s) failed\n", failures);
    return 1;
  }
  printf("c_caller: all checks passed\n");
  return 0;
}

/* Hux_ImgFlt: the image-processing filter library (QelImgPro).
 *
 * The records that cross the library boundary, their enumerators, the error
 * codes and step-mask bits, and the exported functions:
 *   pipeline      HUX_ImgFlt_Execute, HUX_ImgFlt_Execute_Multi,
 *                 ExportCheckParam
 *   files         ExportWriteFilterParam, ExportMyWriteImage
 *   geometry      ImgFltReversUpBottom, ImgFltChangeResolutionVerticalScan,
 *                 ImgFltChangeFilterResolution, ImgFltGetLcmScanDpi,
 *                 ImgFltSmoothFilter3x3, ImgFltIsSupportDskwCrpEnhMode
 *
 * Records are laid out in their 32-bit form (pointers and handles 4 bytes):
 * the offsets asserted below hold whenever pointers are 4 bytes; here
 * pointers are native, so on a 64-bit build only the pointer-free records
 * keep their sizes. Results that no longer fit the caller's buffer are
 * movable global memory blocks (platform/global_memory.h) that the caller
 * frees with GlobalFree.
 *
 * Calls must not overlap: the library keeps module-wide state (the working
 * image slot of deskew and crop, the parameter dump's file name). */
#ifndef HUX_IMGFLT_H
#define HUX_IMGFLT_H

#include <stddef.h>
#include <stdint.h>

#if defined(__has_include)
#if __has_include(<platform/global_memory.h>)
#include <platform/global_memory.h>
#define HUX_IMGFLT_HAVE_GLOBAL_MEMORY 1
#endif
#endif
#ifndef HUX_IMGFLT_HAVE_GLOBAL_MEMORY
typedef void* HGLOBAL; /* same type as platform/global_memory.h declares */
#endif

#ifdef __cplusplus
#define HUX_IMGFLT_EXPORT extern "C" __attribute__((visibility("default")))
extern "C" {
#else
#define HUX_IMGFLT_EXPORT __attribute__((visibility("default")))
#endif

/* ---- Enumerators (stored in BYTE fields unless noted; values frozen) ---- */

enum {
  IMG_FLT_OFF = 0,
  IMG_FLT_ON = 1,
  IMG_FLT_SPECIFIED = 2 /* deskew, crop: the caller supplies the value */
};

enum { /* bitsPixel; 4 and 8 are also the colortoGray values */
  IMG_FLT_BITSPIXEL1 = 1,
  IMG_FLT_BITSPIXEL4 = 4,
  IMG_FLT_BITSPIXEL8 = 8,
  IMG_FLT_BITSPIXEL24 = 24
};

enum { IMG_FLT_UPDOWN_NORMAL = 0, IMG_FLT_UPDOWN_TURNOVER = 1 };

enum { IMG_FLT_COLOR_RGB = 0, IMG_FLT_COLOR_BGR = 1, IMG_FLT_COLOR_YCC = 2 };

enum { IMG_FLT_MEM_BNDRY16 = 16 /* not supported */, IMG_FLT_MEM_BNDRY32 = 32 };

enum {
  IMG_FLT_MEMAREA_ORGN = 0, /* the result is in pOrgImg */
  IMG_FLT_MEMAREA_NEW = 1   /* the result is in hOutBuff */
};

enum { IMG_FLT_FIXED_CENTER = 0, IMG_FLT_FIXED_LEFT = 1, IMG_FLT_FIXED_RIGHT = 2 };

enum {
  IMG_FLT_GAMMA_OFF = 0,
  IMG_FLT_GAMMA_CSTM = 1,
  IMG_FLT_GAMMA_STD = 2,
  IMG_FLT_GAMMA_CRT = 3
};

enum { IMG_FLT_COMP_BLACK = 0, IMG_FLT_COMP_WHITE = 1 };

enum { IMG_FLT_DETECT_NORMAL = 0, IMG_FLT_DETECT_ENHANCED = 1 };

enum {
  IMG_FLT_THRESHOLD = 0,
  IMG_FLT_HALFTONE = 1,
  IMG_FLT_DTH = 2,
  IMG_FLT_ASEPARATION = 3,
  IMG_FLT_BINARY_OFF = 99
};

enum {
  IMG_FLT_ERRDFSN = 0,
  IMG_FLT_BDITHER64 = 1,
  IMG_FLT_BDITHER16 = 2,
  IMG_FLT_DOT45 = 3,
  IMG_FLT_DOT0 = 4,
  IMG_FLT_CUSTOM_DITHER = 5
};

enum { IMG_FLT_RMVNS_WHITE = 0, IMG_FLT_RMVNS_BLACK = 1 };

enum { /* scannerID; 7 and 8 are not defined, model 9 has two values */
  SCANNER_MODEL_1 = 0,
  SCANNER_MODEL_2 = 1,
  SCANNER_MODEL_3 = 2,
  SCANNER_MODEL_4 = 3,
  SCANNER_MODEL_5 = 4,
  SCANNER_MODEL_6 = 5,
  SCANNER_MODEL_7 = 6,
  SCANNER_MODEL_8 = 9,
  SCANNER_MODEL_9 = 10,
  SCANNER_MODEL_9_ALT = 12,
  SCANNER_MODEL_10 = 11
};

enum { IMG_FLT_WLINE_NONE = 0, IMG_FLT_WLINE_LEFT = 1 };

enum {
  IMG_FLT_MTF_OFF = 0,
  IMG_FLT_MTF_NONE = 1,
  IMG_FLT_MTF_LOW = 2,
  IMG_FLT_MTF_MEDIUM = 3,
  IMG_FLT_MTF_HIGH = 4,
  IMG_FLT_MTF_SMOOTH = 5
};

enum {
  IMG_FLT_DROPOUT_WHITE = 0,
  IMG_FLT_DROPOUT_RED = 1,
  IMG_FLT_DROPOUT_GREEN = 2,
  IMG_FLT_DROPOUT_BLUE = 3
};

enum {
  IMG_FLT_BKGD_WHITE = 0,
  IMG_FLT_BKGD_BLACK = 1,
  IMG_FLT_BKGD_UNKNOWN = 2 /* not used by any filter */
};

enum { IMG_FLT_ANGLE_0 = 0, IMG_FLT_ANGLE_90 = 1, IMG_FLT_ANGLE_180 = 2, IMG_FLT_ANGLE_270 = 3 };

enum { IMG_FLT_SI_HUM = 0, IMG_FLT_SI_OR = 1, IMG_FLT_SI_XOR = 2 };

enum {
  STR_DIR_TOP_TO_BOTTOM = 0,
  STR_DIR_BOTTOM_TO_TOP = 1,
  STR_DIR_LEFT_TO_RIGHT = 2,
  STR_DIR_RIGHT_TO_LEFT = 3
};

enum {
  IMG_FLT_COMP_L1R2 = 0,
  IMG_FLT_COMP_L2R1 = 1,
  IMG_FLT_COMP_T1B2 = 2,
  IMG_FLT_COMP_T2B1 = 3
};

enum { IMG_FLT_DISTIN_TOBIN_FTH = 0, IMG_FLT_DISTIN_TOBIN_DTH = 1 };

/* CIM_INFO.mngKind: bits 0-3 select the colour operation, bit 4 the
 * judgement that HUX_ImgFlt_Execute_Multi runs before an output. */
enum {
  COLOR_NONE = 0,
  COLOR_CONVERT = 1,
  COLOR_EXTRACT = 2,
  COLOR_MASK = 4,
  COLOR_CUTOUT = 8,
  COLOR_JUDGE = 16,
  COLOR_JUDGE_CONVERT = 17
};

/* ---- Result codes (0 is success) ---- */

enum {
  IMG_FLT_SUCCESS = 0,
  IMG_FLT_ERR_GAMMA = 1,          /* gamma kind invalid, or gamma on 1 bit */
  IMG_FLT_ERR_WHITELEVEL = 2,     /* white level on a 1- or 24-bit image */
  IMG_FLT_ERR_THRESHOLD = 3,      /* fixed threshold not on 4/8/24 bit */
  IMG_FLT_ERR_HALFTONE = 4,       /* halftone not on 8/24 bit, or kind > 5 */
  IMG_FLT_ERR_SUBAREA = 5,        /* sub-area record or use invalid */
  IMG_FLT_ERR_DTH = 6,            /* dynamic threshold not allowed here */
  IMG_FLT_ERR_ASEPARATION = 7,    /* automatic separation not allowed here */
  IMG_FLT_ERR_NOISE = 8,          /* noise removal on a non-binary image */
  IMG_FLT_ERR_INVERT = 9,         /* invert of an unbinarized 24-bit image */
  IMG_FLT_ERR_MEMORY = 10,        /* global memory could not be allocated */
  IMG_FLT_ERR_UNSUPPORTED = 12,   /* unsupported image or parameter */
  IMG_FLT_ERR_DISTIN = 13,        /* distinction parameters missing or bad */
  IMG_FLT_ERR_SATURATION = 14,    /* saturation on a non-24-bit image */
  IMG_FLT_ERR_COLORTOGRAY = 16,   /* colour to grey not allowed here */
  IMG_FLT_ERR_ICM = 17,           /* a colour management function failed */
  IMG_FLT_ERR_PROFILE = 18,       /* colour profile file cannot be read */
  IMG_FLT_ERR_ROTATION = 19,      /* rotation of an unsupported depth */
  IMG_FLT_ERR_CHGRESOLUTION = 20, /* chgResolution above imgDpiX/imgDpiY */
  IMG_FLT_ERR_REGION = 22,        /* multi-crop region not created */
  IMG_FLT_ERR_DIVIDE = 23,        /* division of an unsupported depth */
  IMG_FLT_ERR_MULTICROP_INDEX = 24,
  IMG_FLT_ERR_DROPOUT = 25,       /* dropout grey not possible here */
  IMG_FLT_ERR_BACKUNIFORM = 26,   /* background uniforming not on 24 bit */
  IMG_FLT_ERR_IDR_LOAD = 27,      /* recognition engine not loaded */
  IMG_FLT_ERR_IDR_PAGE = 28,      /* recognition engine failed the page */
  IMG_FLT_ERR_IDR_UNLISTED = 29   /* unlisted engine error, logged */
};

/* ---- Step mask: bit n enables pipeline step n and its checks ---- */

#define IMG_FLT_STEP_DESKEW 0x000001u
#define IMG_FLT_STEP_CROP 0x000002u
#define IMG_FLT_STEP_CHGRESOLUTION 0x000004u
#define IMG_FLT_STEP_BACKUNIFORM 0x000008u
#define IMG_FLT_STEP_BORDER 0x000010u
#define IMG_FLT_STEP_WHITELEVEL 0x000020u
#define IMG_FLT_STEP_SATURATION 0x000040u
#define IMG_FLT_STEP_COLORTOGRAY 0x000080u
#define IMG_FLT_STEP_MTF 0x000100u
#define IMG_FLT_STEP_SRGB 0x000200u
#define IMG_FLT_STEP_GAMMA 0x000400u
#define IMG_FLT_STEP_BRIGHT 0x000800u
#define IMG_FLT_STEP_CONTRAST 0x001000u
#define IMG_FLT_STEP_BINARIZE 0x002000u
#define IMG_FLT_STEP_NOISE 0x004000u
#define IMG_FLT_STEP_MARGINFILL 0x008000u
#define IMG_FLT_STEP_INVERT 0x010000u
#define IMG_FLT_STEP_MIRROR 0x020000u
#define IMG_FLT_STEP_ROTATION 0x040000u
#define IMG_FLT_STEP_OVERLAY 0x080000u
#define IMG_FLT_STEP_DISTIN_CLBW 0x100000u
#define IMG_FLT_STEP_COLORMNG 0x200000u
#define IMG_FLT_STEP_HOLEREMOVAL 0x400000u
#define IMG_FLT_STEP_ORIENTATION 0x800000u

#define IMG_FLT_MASK_EXECUTE 0xCFFFFFu
#define IMG_FLT_MASK_EXECUTE_CLBW 0xDFFFFFu
#define IMG_FLT_MASK_MULTI_SOURCE 0x800007u
#define IMG_FLT_MASK_MULTI_OUTPUT 0x6FFFF8u

/* ---- Records ---- */

/* Image descriptor (96 bytes in the 32-bit layout). Rows are padded to
 * 4 bytes: stride = ((bitsPixel * dwWidth + 31) / 32) * 4; row 0 is the top
 * of the page unless dataUpDown says the rows are turned over. */
typedef struct HUX_IMG_INF {
  void* pOrgImg;        /* in/out: the caller's buffer */
  uint32_t dwWidth;     /* in/out: pixels */
  uint32_t dwHeight;    /* in/out: rows */
  uint8_t bitsPixel;    /* in/out: 1, 4, 8, 24 */
  uint8_t dataDIB;      /* ON: 40-byte header and palette before the rows */
  uint8_t dataUpDown;   /* IMG_FLT_UPDOWN_* */
  uint8_t orderRGB;     /* IMG_FLT_COLOR_* */
  uint8_t inLineAlign;  /* must be IMG_FLT_MEM_BNDRY32 */
  uint8_t outLineAlign; /* must be IMG_FLT_MEM_BNDRY32 */
  uint8_t outBuffKind;  /* out: IMG_FLT_MEMAREA_* */
  uint8_t reserved19;
  HGLOBAL hOutBuff;     /* out: the result when outBuffKind is NEW */
  uint32_t imgDpiX;     /* dots per inch */
  uint32_t imgDpiY;
  uint8_t reserved32[64]; /* copied with the record, never read */
} HUX_IMG_INF;

typedef struct HUX_SIZE {
  uint32_t cx;
  uint32_t cy;
} HUX_SIZE;

typedef struct HUX_POINT {
  uint32_t x;
  uint32_t y;
} HUX_POINT;

/* The page quadrilateral: topmost, bottommost, leftmost, rightmost point.
 * A rectangle is stored as t = l = (left, top), b = r = (right-1, bottom-1). */
typedef struct HUX_CROP_SQUARE {
  HUX_POINT t;
  HUX_POINT b;
  HUX_POINT l;
  HUX_POINT r;
} HUX_CROP_SQUARE;

/* Dynamic-threshold tuning values, one per dth_level (3 bytes). */
typedef struct DTH_PARAM {
  uint8_t clamp;
  uint8_t m;
  uint8_t n;
} DTH_PARAM;

/* A rectangle binarized with its own settings (348 bytes). */
typedef struct SUBAREA_PARAM {
  uint8_t enable; /* off / on */
  uint8_t reserved1[3];
  uint32_t dwLeft;
  uint32_t dwTop;
  uint32_t dwWidth;
  uint32_t dwHeight;
  uint8_t gamma; /* not used; must be off or on when enabled */
  uint8_t reserved21[3];
  uint8_t gamma_s[256]; /* not used */
  uint8_t binaryMode;   /* IMG_FLT_THRESHOLD or IMG_FLT_HALFTONE */
  uint8_t halftoneKind;
  uint8_t brightness; /* 0 = unset */
  uint8_t threshold;  /* 0 = unset */
  const uint8_t* pCustomDither; /* 64-byte matrix for IMG_FLT_CUSTOM_DITHER */
  uint8_t reserved288[60];
} SUBAREA_PARAM;

/* Text overlay (40 bytes). */
typedef struct SUPERIMPOSE_PARAM {
  const char* string;   /* NUL-terminated text; null = no overlay */
  uint32_t bndRectX;    /* tenths of a millimetre, low 16 bits used */
  uint32_t bndRectY;
  const char* fontName; /* NUL-terminated face name */
  uint8_t fontColor[3]; /* blue, green, red */
  uint8_t reserved19;
  uint16_t fontSize;    /* pixels = (fontSize * imgDpiY + 360) / 720; 0 = default */
  uint8_t drawMode;     /* IMG_FLT_SI_* */
  uint8_t strAngle;     /* IMG_FLT_ANGLE_* */
  uint8_t strDir;       /* STR_DIR_* */
  uint8_t bold;
  uint8_t reserved26[14];
} SUPERIMPOSE_PARAM;

/* Filter parameter record (2064 bytes). Fields of later record versions are
 * read only when verNo is at least the version noted ("v5"). */
typedef struct HUX_IMG_FILTER_PARAM {
  uint16_t verNo;         /* 0 ... 9 */
  uint8_t deskew;         /* off / on / specified */
  uint8_t smoothing;      /* bilinear deskew rotation */
  HUX_SIZE fixedSize;     /* output size when deskew runs and crop is off */
  uint8_t reserved12[4];
  double deskewAngle;     /* in/out: radians */
  uint8_t crop;           /* off / on / specified */
  uint8_t fixedPosition;  /* IMG_FLT_FIXED_*; v2 */
  uint16_t rotAngle;      /* hundredths of a degree, 0 ... 35999; v5 */
  HUX_CROP_SQUARE cropSquare; /* in/out */
  uint8_t gamma;          /* IMG_FLT_GAMMA_* */
  uint8_t rotCut;         /* cut a rotation back to the input frame */
  uint8_t rotCrvcColor;   /* IMG_FLT_COMP_*: corners uncovered by rotation */
  uint8_t detectionLevel; /* IMG_FLT_DETECT_* */
  uint8_t gamma_r[256];   /* custom tone curves (IMG_FLT_GAMMA_CSTM) */
  uint8_t gamma_g[256];
  uint8_t gamma_b[256];
  uint8_t whiteLevel;
  uint8_t binaryMode;     /* IMG_FLT_THRESHOLD ... IMG_FLT_BINARY_OFF */
  int8_t bright;          /* 0 and -128: nothing */
  uint8_t threshold;      /* 0: nothing */
  int8_t contrast;        /* 0 and -128: nothing; v2 */
  uint8_t halftoneKind;
  uint8_t dth_level;      /* 0 ... 4 */
  uint8_t dth_mode;       /* not used */
  SUBAREA_PARAM subArea1;
  SUBAREA_PARAM subArea2;
  SUBAREA_PARAM subArea3;
  uint16_t noise_matrix;  /* 0 ... 6, 0 = off */
  uint8_t noise_kind;     /* IMG_FLT_RMVNS_* */
  uint8_t flip_H;
  uint8_t flip_V;         /* not used */
  uint8_t autoBdrRmvl;    /* used while verNo < 9 */
  uint8_t invert;
  uint8_t blackLevel;     /* 0 ... 128 */
  int16_t borderInterval; /* pixels; used while verNo < 9 */
  int8_t saturation;      /* 0 and -128: nothing */
  uint8_t scannerID;      /* SCANNER_MODEL_* */
  uint8_t reserved1896[4];
  uint8_t wLineLoc;       /* IMG_FLT_WLINE_*; dump only */
  uint8_t reserved1901[3];
  uint16_t wLineWidth;    /* dump only */
  uint8_t reserved1906[2];
  uint8_t mtf;            /* IMG_FLT_MTF_* */
  uint8_t led;            /* IMG_FLT_DROPOUT_* */
  uint8_t colortoGray;    /* off / IMG_FLT_BITSPIXEL4 / IMG_FLT_BITSPIXEL8 */
  uint8_t sRGB;
  uint8_t backUniform;    /* v6; bit 2 (value 4) from v9: two-level */
  uint8_t bkgdColor;      /* not used */
  uint16_t chgResolution; /* dpi, 0 = unchanged; v6 */
  SUPERIMPOSE_PARAM superImpose; /* v7 */
  const DTH_PARAM* pDthPrmTbl;   /* null, or five entries */
  uint16_t abrFromBottom; /* tenths of a millimetre */
  uint8_t holeRemoval;    /* v7 */
  uint8_t reserved1963;
  int32_t cropMargin;     /* tenths of a millimetre; v8 */
  const uint8_t* pCustomDither;
  uint16_t fillLeft;      /* tenths of a millimetre; v9 */
  uint8_t reserved1974[2];
  uint16_t fillTop;
  uint8_t reserved1978[2];
  uint16_t fillRight;
  uint8_t reserved1982[2];
  uint16_t fillBottom;
  uint8_t reserved1986[2];
  uint32_t bdrRmvlArea[4]; /* left, top, right, bottom; tenths of mm; v9 */
  uint8_t reserved2004[32];
  uint8_t autoBdrRmvl2;    /* v9 */
  uint8_t marginFill;      /* v9 */
  uint8_t autoOrientation; /* v9 */
  uint8_t reserved2039;
  uint32_t orientationLcid; /* v9 */
  uint16_t detectedAngle;   /* out: hundredths of a degree, 0xFFFF none; v9 */
  uint8_t reserved2046[2];
  int32_t idrError;         /* out: first engine error, 0 none; v9 */
  uint8_t reserved2052[12];
} HUX_IMG_FILTER_PARAM;

/* Colour management (480 bytes). */
typedef struct HUX_RECT {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
} HUX_RECT;

typedef struct CIM_CLR_INDEX_INFO { /* 28 bytes */
  uint8_t srcClrIndexNum; /* 0 ... 8 */
  uint8_t dstClrIndexNo;  /* index into dstColor, 0 ... 2 */
  uint8_t reserved2[2];
  uint8_t srcClrIndexNo[8]; /* indexes into srcColor */
  uint8_t reserved12[16];
} CIM_CLR_INDEX_INFO;

typedef struct CIM_HSV_RANGE { /* 8 bytes */
  uint16_t Hlow;
  uint8_t Slow;
  uint8_t Vlow;
  uint16_t Hhigh;
  uint8_t Shigh;
  uint8_t Vhigh;
} CIM_HSV_RANGE;

typedef struct CIM_HSV_COLOR { /* 4 bytes */
  uint16_t H;
  uint8_t S;
  uint8_t V;
} CIM_HSV_COLOR;

typedef struct CIM_AREA_REC_INFO { /* 20 bytes, tenths of a millimetre */
  uint32_t minWidth;  /* low 16 bits used */
  uint32_t minHeight; /* low 16 bits used */
  uint32_t precision; /* low 16 bits used */
  int32_t offsetVer;
  int32_t offsetHor;
} CIM_AREA_REC_INFO;

typedef struct CIM_INFO {
  uint8_t mngKind;        /* COLOR_* */
  uint8_t reserved1;
  int16_t outJudgedClNo;  /* out: judged srcColor index, -1 none */
  uint8_t dstClrIndexInfoNum; /* 0 ... 8 */
  uint8_t reserved5[3];
  CIM_CLR_INDEX_INFO dstClrIndexInfo[8];
  uint8_t jdgClrIndexNo[8];
  uint8_t reserved240[16];
  CIM_HSV_RANGE srcColor[8];
  CIM_HSV_COLOR dstColor[3];
  HUX_RECT exceptRect; /* tenths of a millimetre */
  HUX_RECT judgeRect;  /* tenths of a millimetre; right/bottom 0 = edge */
  CIM_AREA_REC_INFO areaRecInfo;
  uint8_t reserved384[16];
  uint32_t jdgValidPixel;
  uint32_t jdgDiffPixel1st2nd;
  uint32_t outRectNum; /* out: at most 8 */
  HUX_RECT* pOutRect;  /* out: locked global block of outRectNum rectangles */
  uint8_t reserved416[64];
} CIM_INFO;

/* ---- Exports ----
 * Unless a comment says otherwise an export returns 0 or a result code, never
 * frees a record, and on an error leaves the image as the steps before the
 * failing one made it (the caller should discard it). */

/* Runs the pipeline (mask IMG_FLT_MASK_EXECUTE) on one image.
 *   [in,out] img  descriptor; the result is described here on return:
 *                 in pOrgImg (outBuffKind ORGN) or in hOutBuff (NEW, the
 *                 caller frees it with GlobalFree)
 *   [in,out] prm  filter record; OUT fields (deskewAngle, cropSquare,
 *                 detectedAngle, idrError) are written; fixedPosition and
 *                 contrast are cleared when verNo < 2
 * Returns 0, a result code of a failing check or step, 10 when memory is
 * short, 12 for a null pointer or an image the library cannot address. */
HUX_IMGFLT_EXPORT int32_t HUX_ImgFlt_Execute(HUX_IMG_INF* img, HUX_IMG_FILTER_PARAM* prm);

/* Produces count filtered copies of one source image.
 *   [in,out] src   source; the shared geometric steps (mask
 *                  IMG_FLT_MASK_MULTI_SOURCE, run with prms[0] when it is not
 *                  null) change it in place or move it into its hOutBuff
 *   [in,out] prms  count filter-record pointers; an entry may be null (the
 *                  copy is delivered unfiltered); may be null when count is 0
 *   [in,out] cims  count CIM_INFO pointers or null; entries may be null
 *   [out]    outs  count descriptors; on success each holds its result in
 *                  hOutBuff (outBuffKind NEW, pOrgImg null); the caller frees
 *                  every handle with GlobalFree
 *   [in]     count number of outputs
 * Returns 0 or a result code; on an error every output's block is freed and
 * its pOrgImg and hOutBuff are null. A CIM_INFO that asks for colour
 * judgement (mngKind bit 4) gives 12 in this build. */
HUX_IMGFLT_EXPORT int32_t HUX_ImgFlt_Execute_Multi(HUX_IMG_INF* src, HUX_IMG_FILTER_PARAM* const* prms,
                                                   CIM_INFO* const* cims, HUX_IMG_INF* outs,
                                                   uint16_t count);

/* Checks a record against an image for the steps in mask, changing nothing.
 *   [in] img   descriptor (its pixels are not read)
 *   [in] prm   filter record
 *   [in] mask  step mask (IMG_FLT_STEP_* bits)
 * Returns 0 or the first failing check's code; 12 for a null pointer. */
HUX_IMGFLT_EXPORT int32_t ExportCheckParam(const HUX_IMG_INF* img, const HUX_IMG_FILTER_PARAM* prm,
                                           uint32_t mask);

/* Writes a parameter file (created or truncated; conventionally ".par"):
 * the 2224-byte block ("HuxImgFlt_Data", descriptor, filter record in their
 * 32-bit little-endian layout), the overlay text, the overlay font name and
 * the colour management record.
 *   [in] path  UTF-8 file path
 *   [in] img   descriptor, or null (96 zero bytes are written)
 *   [in] prm   filter record
 *   [in] cim   colour management record, or null (480 zero bytes)
 * Returns 1 on success, 0 when a pointer is null or the file cannot be
 * written. */
HUX_IMGFLT_EXPORT int32_t ExportWriteFilterParam(const char* path, const HUX_IMG_INF* img,
                                                 const HUX_IMG_FILTER_PARAM* prm, const CIM_INFO* cim);

/* Writes a packed DIB as a BMP file.
 *   [in]     img      descriptor: size, depth and resolution of the image
 *   [in]     path     UTF-8 file path
 *   [in,out] dib      packed DIB (header, palette, rows), or null for the
 *                     image's own buffer, which must then hold a DIB; its
 *                     header's resolution fields get imgDpiX/imgDpiY in
 *                     pixels per metre
 *   [in]     reverse  1: rows are written last row first
 * Returns 1 on success, 0 on failure (the reason is reported through the
 * library's diagnostic channel). */
HUX_IMGFLT_EXPORT int32_t ExportMyWriteImage(const HUX_IMG_INF* img, const char* path, void* dib,
                                             uint32_t reverse);

/* Reverses the order of the rows of the current image in place.
 *   [in,out] img  descriptor (the buffer it names is changed)
 * Returns 0, 10 when the scratch row cannot be allocated, 12 for a null
 * pointer or an image the library cannot address. */
HUX_IMGFLT_EXPORT int32_t ImgFltReversUpBottom(HUX_IMG_INF* img);

/* Resolution and smoothing exports: see their contract comments in the
 * geometry family. Each returns 0 or a result code. */
HUX_IMGFLT_EXPORT int32_t ImgFltChangeResolutionVerticalScan(HUX_IMG_INF* img, uint16_t dpi,
                                                             uint16_t method);
HUX_IMGFLT_EXPORT int32_t ImgFltChangeFilterResolution(HUX_IMG_INF* img, uint16_t dpi);
HUX_IMGFLT_EXPORT int32_t ImgFltGetLcmScanDpi(uint8_t scannerModel, uint32_t dpi, uint32_t ratio);
HUX_IMGFLT_EXPORT int32_t ImgFltSmoothFilter3x3(HUX_IMG_INF* img, uint16_t strength);
/* Always 0: enhanced deskew/crop detection is not offered. */
HUX_IMGFLT_EXPORT int32_t ImgFltIsSupportDskwCrpEnhMode(void);

/* ---- Layout assertions ---- */

#ifdef __cplusplus
#define HUX_IMGFLT_ASSERT(c, m) static_assert(c, m)
#else
#define HUX_IMGFLT_ASSERT(c, m) _Static_assert(c, m)
#endif

/* Pointer-free records: the same bytes on every build. */
HUX_IMGFLT_ASSERT(sizeof(DTH_PARAM) == 3, "DTH_PARAM is 3 bytes");
HUX_IMGFLT_ASSERT(sizeof(HUX_SIZE) == 8, "HUX_SIZE is 8 bytes");
HUX_IMGFLT_ASSERT(sizeof(HUX_POINT) == 8, "HUX_POINT is 8 bytes");
HUX_IMGFLT_ASSERT(sizeof(HUX_CROP_SQUARE) == 32, "HUX_CROP_SQUARE is 32 bytes");
HUX_IMGFLT_ASSERT(sizeof(HUX_RECT) == 16, "HUX_RECT is 16 bytes");
HUX_IMGFLT_ASSERT(sizeof(CIM_CLR_INDEX_INFO) == 28, "CIM_CLR_INDEX_INFO is 28 bytes");
HUX_IMGFLT_ASSERT(offsetof(CIM_CLR_INDEX_INFO, srcClrIndexNo) == 4, "srcClrIndexNo at 4");
HUX_IMGFLT_ASSERT(sizeof(CIM_HSV_RANGE) == 8, "CIM_HSV_RANGE is 8 bytes");
HUX_IMGFLT_ASSERT(offsetof(CIM_HSV_RANGE, Hhigh) == 4, "Hhigh at 4");
HUX_IMGFLT_ASSERT(sizeof(CIM_HSV_COLOR) == 4, "CIM_HSV_COLOR is 4 bytes");
HUX_IMGFLT_ASSERT(sizeof(CIM_AREA_REC_INFO) == 20, "CIM_AREA_REC_INFO is 20 bytes");

#if UINTPTR_MAX == 0xFFFFFFFFu
/* The 32-bit layout the records are described with. */
HUX_IMGFLT_ASSERT(sizeof(HUX_IMG_INF) == 96, "HUX_IMG_INF is 96 bytes");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, dwWidth) == 4, "dwWidth at 4");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, dwHeight) == 8, "dwHeight at 8");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, bitsPixel) == 12, "bitsPixel at 12");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, outBuffKind) == 18, "outBuffKind at 18");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, hOutBuff) == 20, "hOutBuff at 20");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, imgDpiX) == 24, "imgDpiX at 24");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, imgDpiY) == 28, "imgDpiY at 28");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_INF, reserved32) == 32, "reserved at 32");

HUX_IMGFLT_ASSERT(sizeof(SUBAREA_PARAM) == 348, "SUBAREA_PARAM is 348 bytes");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, dwLeft) == 4, "dwLeft at 4");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, gamma) == 20, "gamma at 20");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, gamma_s) == 24, "gamma_s at 24");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, binaryMode) == 280, "binaryMode at 280");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, pCustomDither) == 284, "pCustomDither at 284");
HUX_IMGFLT_ASSERT(offsetof(SUBAREA_PARAM, reserved288) == 288, "reserved at 288");

HUX_IMGFLT_ASSERT(sizeof(SUPERIMPOSE_PARAM) == 40, "SUPERIMPOSE_PARAM is 40 bytes");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, bndRectX) == 4, "bndRectX at 4");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, fontName) == 12, "fontName at 12");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, fontColor) == 16, "fontColor at 16");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, fontSize) == 20, "fontSize at 20");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, drawMode) == 22, "drawMode at 22");
HUX_IMGFLT_ASSERT(offsetof(SUPERIMPOSE_PARAM, bold) == 25, "bold at 25");

HUX_IMGFLT_ASSERT(sizeof(HUX_IMG_FILTER_PARAM) == 2064, "HUX_IMG_FILTER_PARAM is 2064 bytes");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, fixedSize) == 4, "fixedSize at 4");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, deskewAngle) == 16, "deskewAngle at 16");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, crop) == 24, "crop at 24");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, rotAngle) == 26, "rotAngle at 26");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, cropSquare) == 28, "cropSquare at 28");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, gamma) == 60, "gamma at 60");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, detectionLevel) == 63, "detectionLevel at 63");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, gamma_r) == 64, "gamma_r at 64");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, gamma_b) == 576, "gamma_b at 576");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, whiteLevel) == 832, "whiteLevel at 832");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, dth_mode) == 839, "dth_mode at 839");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, subArea1) == 840, "subArea1 at 840");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, subArea2) == 1188, "subArea2 at 1188");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, subArea3) == 1536, "subArea3 at 1536");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, noise_matrix) == 1884, "noise_matrix at 1884");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, blackLevel) == 1891, "blackLevel at 1891");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, borderInterval) == 1892, "borderInterval at 1892");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, scannerID) == 1895, "scannerID at 1895");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, wLineLoc) == 1900, "wLineLoc at 1900");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, wLineWidth) == 1904, "wLineWidth at 1904");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, mtf) == 1908, "mtf at 1908");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, backUniform) == 1912, "backUniform at 1912");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, chgResolution) == 1914, "chgResolution at 1914");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, superImpose) == 1916, "superImpose at 1916");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, pDthPrmTbl) == 1956, "pDthPrmTbl at 1956");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, abrFromBottom) == 1960, "abrFromBottom at 1960");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, holeRemoval) == 1962, "holeRemoval at 1962");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, cropMargin) == 1964, "cropMargin at 1964");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, pCustomDither) == 1968, "pCustomDither at 1968");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, fillLeft) == 1972, "fillLeft at 1972");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, fillTop) == 1976, "fillTop at 1976");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, fillRight) == 1980, "fillRight at 1980");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, fillBottom) == 1984, "fillBottom at 1984");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, bdrRmvlArea) == 1988, "bdrRmvlArea at 1988");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, autoBdrRmvl2) == 2036, "autoBdrRmvl2 at 2036");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, autoOrientation) == 2038, "autoOrientation at 2038");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, orientationLcid) == 2040, "orientationLcid at 2040");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, detectedAngle) == 2044, "detectedAngle at 2044");
HUX_IMGFLT_ASSERT(offsetof(HUX_IMG_FILTER_PARAM, idrError) == 2048, "idrError at 2048");

HUX_IMGFLT_ASSERT(sizeof(CIM_INFO) == 480, "CIM_INFO is 480 bytes");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, outJudgedClNo) == 2, "outJudgedClNo at 2");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, dstClrIndexInfoNum) == 4, "dstClrIndexInfoNum at 4");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, dstClrIndexInfo) == 8, "dstClrIndexInfo at 8");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, jdgClrIndexNo) == 232, "jdgClrIndexNo at 232");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, srcColor) == 256, "srcColor at 256");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, dstColor) == 320, "dstColor at 320");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, exceptRect) == 332, "exceptRect at 332");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, judgeRect) == 348, "judgeRect at 348");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, areaRecInfo) == 364, "areaRecInfo at 364");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, jdgValidPixel) == 400, "jdgValidPixel at 400");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, outRectNum) == 408, "outRectNum at 408");
HUX_IMGFLT_ASSERT(offsetof(CIM_INFO, pOutRect) == 412, "pOutRect at 412");
#endif

#undef HUX_IMGFLT_ASSERT

#ifdef __cplusplus
}
#endif

#endif

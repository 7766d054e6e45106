// Export of the deskew and crop family (C linkage):
// ImgFltIsSupportDskwCrpEnhMode.
#include "Hux_ImgFlt.h"

/* Whether deskew and crop offer the enhanced edge detection
 * (detectionLevel IMG_FLT_DETECT_ENHANCED). Always 0: they do not, and
 * treat an enhanced request as normal detection. */
HUX_IMGFLT_EXPORT int32_t ImgFltIsSupportDskwCrpEnhMode(void) { return 0; }

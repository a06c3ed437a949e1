/*
 * DEC400 compressed-buffer sizing by fourcc: maps the fourcc to its frame
 * format number and uses the layout of zo_dec400_util.h.
 */
#ifndef VELT_DEC400UTIL_H
#define VELT_DEC400UTIL_H

#include "velt_export.h"

class ZO_EXPORT dec400util {
  public:
    dec400util() = delete;

    /*
     * Size in bytes of a compressed buffer (image planes, extraMem, tile-status
     * buffers); fills tsOffsets and tsSizes (three entries each, may be null).
     * An unknown fourcc is laid out as a tiled 8-bit semi-planar frame.
     * Returns 0 when the layout is impossible.
     */
    static unsigned calcBufferSize(unsigned fourcc, unsigned bitDepth, bool tnr, unsigned stride,
                                   unsigned height, unsigned extraMem, unsigned* tsOffsets,
                                   unsigned* tsSizes);

    /* Number of image planes of the fourcc's layout (1 for an unknown fourcc). */
    static unsigned numberOfPlanes(unsigned fourcc);
};

#endif /* VELT_DEC400UTIL_H */

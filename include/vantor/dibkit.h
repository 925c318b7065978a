/*
 * dibkit.h - the Vantor DIB toolkit (libvantordib.so).
 *
 * Device-independent bitmaps (DIBs) held in movable memory blocks: information, drawing,
 * conversion to and from device-dependent bitmaps (DDBs), bit-depth conversion, grey and copy.
 * Plain C calling convention, fixed-width integer types; callable from C, C++ and ctypes.
 *
 * A DIB handle is a memory block from vdk_GlobalAlloc holding, without gaps, a 40-byte
 * VDK_BITMAPINFOHEADER, a colour table of VDK_RGBQUAD entries and bottom-up pixel rows padded
 * to 4 bytes. The caller owns every handle it passes in and every handle a function returns.
 *
 * Errors are reported as one message text per failure through the message handler (see
 * vdk_SetMessageHandler); the default handler prints "DIBKIT16-32.DLL: <text>" on standard
 * error. The function then returns 0 or a null handle and leaves the caller's handles
 * unlocked and untouched.
 *
 * Block rule: a DIB whose block is shorter than its header, colour table and rows claim, or
 * whose width or height is not positive, is refused. Functions that have a header message
 * ("...: Invallid BITMAPINFOHEADER size!" and the like) report it with that message; the
 * others (information, drawing, DDB conversion) return 0 or null without a message. Nothing
 * is ever read or written past the end of a block.
 *
 * The platform layer (vdk_ prefix) stands in for the few Windows services the toolkit needs:
 * movable memory blocks, logical palettes, DDBs and device contexts. Handles are opaque,
 * pointer-sized numbers; 0 is the null handle. A handle that is not live (never issued, or
 * already freed or deleted) is detected and refused, never dereferenced. Every vdk_ function
 * is safe to call from any thread; the layer serialises its own state.
 */
#ifndef VANTOR_DIBKIT_H
#define VANTOR_DIBKIT_H

#include <stddef.h>
#include <stdint.h>

#if defined(VDK_BUILDING_LIBRARY)
#define VDK_API __attribute__((visibility("default")))
#else
#define VDK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Handles and structures ------------------------------------------------------------ */

typedef uintptr_t VDK_HANDLE;
typedef VDK_HANDLE VDK_HGLOBAL;  /* movable memory block */
typedef VDK_HANDLE VDK_HDIB;     /* a memory block holding a DIB */
typedef VDK_HANDLE VDK_HGDIOBJ;  /* bitmap or palette */
typedef VDK_HANDLE VDK_HBITMAP;  /* device-dependent bitmap */
typedef VDK_HANDLE VDK_HPALETTE; /* logical palette */
typedef VDK_HANDLE VDK_HDC;      /* device context */
typedef VDK_HANDLE VDK_HWND;     /* window; only 0 (the screen) exists here */

/* A colour as 0x00BBGGRR (red in the low byte). */
typedef uint32_t VDK_COLORREF;
#define VDK_RGB(r, g, b) ((VDK_COLORREF)(((uint32_t)(uint8_t)(r)) | ((uint32_t)(uint8_t)(g) << 8) | ((uint32_t)(uint8_t)(b) << 16)))
#define VDK_CLR_INVALID 0xFFFFFFFFu

typedef struct VDK_BITMAPINFOHEADER {
    uint32_t biSize; /* 40 */
    int32_t biWidth;
    int32_t biHeight; /* positive: bottom-up rows */
    uint16_t biPlanes;
    uint16_t biBitCount; /* 1, 4, 8 or 24 in the toolkit */
    uint32_t biCompression; /* 0: uncompressed */
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} VDK_BITMAPINFOHEADER;

typedef struct VDK_BITMAPCOREHEADER {
    uint32_t bcSize; /* 12 */
    uint16_t bcWidth;
    uint16_t bcHeight;
    uint16_t bcPlanes;
    uint16_t bcBitCount;
} VDK_BITMAPCOREHEADER;

typedef struct VDK_RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} VDK_RGBQUAD;

typedef struct VDK_BITMAPINFO {
    VDK_BITMAPINFOHEADER bmiHeader;
    VDK_RGBQUAD bmiColors[1]; /* as many as the colour count says */
} VDK_BITMAPINFO;

typedef struct VDK_PALETTEENTRY {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
} VDK_PALETTEENTRY;

typedef struct VDK_LOGPALETTE {
    uint16_t palVersion; /* 0x300 */
    uint16_t palNumEntries;
    VDK_PALETTEENTRY palPalEntry[1]; /* palNumEntries entries */
} VDK_LOGPALETTE;

/* What vdk_GetObject reports for a bitmap. bmBits is always null (the pixels live inside the
 * layer; read them with vdk_GetBitmapBits or vdk_GetDIBits). */
typedef struct VDK_BITMAP {
    int32_t bmType;
    int32_t bmWidth;
    int32_t bmHeight;
    int32_t bmWidthBytes; /* bytes per row in vdk_GetBitmapBits form */
    uint16_t bmPlanes;
    uint16_t bmBitsPixel;
    void *bmBits;
} VDK_BITMAP;

/* ---- Constants (the Win32 values) -------------------------------------------------------- */

#define VDK_GMEM_FIXED 0x0000u
#define VDK_GMEM_MOVEABLE 0x0002u
#define VDK_GMEM_ZEROINIT 0x0040u
#define VDK_GHND (VDK_GMEM_MOVEABLE | VDK_GMEM_ZEROINIT)
#define VDK_GMEM_LOCKCOUNT 0x00FFu
#define VDK_GMEM_INVALID_HANDLE 0x8000u

#define VDK_BI_RGB 0u
#define VDK_DIB_RGB_COLORS 0u
#define VDK_CBM_INIT 4u
#define VDK_SRCCOPY 0x00CC0020u

#define VDK_BLACKONWHITE 1
#define VDK_WHITEONBLACK 2
#define VDK_COLORONCOLOR 3
#define VDK_HALFTONE 4

#define VDK_DEFAULT_PALETTE 15 /* vdk_GetStockObject: the 16 system colours */
#define VDK_OBJ_PAL 5
#define VDK_OBJ_BITMAP 7

#define VDK_HORZRES 8
#define VDK_VERTRES 10
#define VDK_BITSPIXEL 12
#define VDK_PLANES 14

/* ---- Platform layer: movable memory blocks ------------------------------------------------ */

/* A new block of `bytes` bytes, or 0. Every block is movable and starts zero-filled whatever
 * the flags (VDK_GHND is what the toolkit passes). Blocks larger than 1 GiB are refused. */
VDK_API VDK_HGLOBAL vdk_GlobalAlloc(uint32_t flags, size_t bytes);
/* Pointer to the block's bytes and one more lock, or null for a handle that is not live. */
VDK_API void *vdk_GlobalLock(VDK_HGLOBAL block);
/* One lock less; returns non-zero while the block is still locked, 0 otherwise. */
VDK_API int32_t vdk_GlobalUnlock(VDK_HGLOBAL block);
/* Frees the block, locked or not (pointers into it become unreadable): returns 0 on success,
 * the handle itself when it is not live. */
VDK_API VDK_HGLOBAL vdk_GlobalFree(VDK_HGLOBAL block);
/* Size in bytes, 0 for a handle that is not live. */
VDK_API size_t vdk_GlobalSize(VDK_HGLOBAL block);
/* Resizes the block, keeping its bytes and zeroing a grown tail, and returns the same handle;
 * 0 with the block unchanged on failure. A locked block is not resized (its holder's pointer
 * would go stale). */
VDK_API VDK_HGLOBAL vdk_GlobalReAlloc(VDK_HGLOBAL block, size_t bytes, uint32_t flags);
/* Lock count in the low byte (VDK_GMEM_LOCKCOUNT); VDK_GMEM_INVALID_HANDLE when not live. */
VDK_API uint32_t vdk_GlobalFlags(VDK_HGLOBAL block);
/* Non-zero when the `bytes` bytes at `p` do not lie inside one live memory block. Memory
 * outside the layer's blocks counts as unreadable. */
VDK_API int32_t vdk_IsBadReadPtr(const void *p, size_t bytes);

/* ---- Platform layer: palettes ------------------------------------------------------------ */

/* A logical palette of palNumEntries (1..65535) entries, or 0. */
VDK_API VDK_HPALETTE vdk_CreatePalette(const VDK_LOGPALETTE *palette);
/* Copies up to `count` entries from `start`; returns the number copied. With `entries` null
 * returns the palette's entry count. */
VDK_API uint32_t vdk_GetPaletteEntries(VDK_HPALETTE palette, uint32_t start, uint32_t count,
                                       VDK_PALETTEENTRY *entries);
/* The system palette: the 16 VGA colours, in this order: black, maroon, green, olive, navy,
 * purple, teal, silver (192), grey (128), red, lime, yellow, blue, fuchsia, aqua, white.
 * Returns the number of entries copied; with `entries` null, 16. */
VDK_API uint32_t vdk_GetSystemPaletteEntries(VDK_HDC dc, uint32_t start, uint32_t count, VDK_PALETTEENTRY *entries);
/* VDK_DEFAULT_PALETTE: a palette of the 16 system colours. Stock objects are never deleted. */
VDK_API VDK_HGDIOBJ vdk_GetStockObject(int32_t which);
/* Selects a palette into a context, returning the previous one (0 on failure). The layer has
 * a true-colour screen, so a selected palette does not change how colours are drawn. */
VDK_API VDK_HPALETTE vdk_SelectPalette(VDK_HDC dc, VDK_HPALETTE palette, int32_t forceBackground);
/* Number of entries of the context's palette (0 for a bad context). */
VDK_API uint32_t vdk_RealizePalette(VDK_HDC dc);

/* ---- Platform layer: device-dependent bitmaps -------------------------------------------- */

/* Bitmaps have 1 plane and 1 (monochrome), 24 or 32 bits per pixel; at most 2^28 pixels.
 * `bits` (may be null: all black) holds rows top row first, each padded to 2 bytes:
 * 1 bit per pixel, most significant bit leftmost, 1 = white; or 3 (blue, green, red) or 4
 * (blue, green, red, unused) bytes per pixel. */
VDK_API VDK_HBITMAP vdk_CreateBitmap(int32_t width, int32_t height, uint32_t planes, uint32_t bitsPerPixel,
                                     const void *bits);
/* A bitmap in the context's format: a memory context's selected bitmap's depth, the screen's
 * 32 bits otherwise. */
VDK_API VDK_HBITMAP vdk_CreateCompatibleBitmap(VDK_HDC dc, int32_t width, int32_t height);
/* A bitmap in the context's format (null context: monochrome), sized from the header (a
 * VDK_BITMAPINFOHEADER or VDK_BITMAPCOREHEADER); with VDK_CBM_INIT filled from the DIB
 * `info` + `bits`. Colour-to-monochrome picks the nearer of black and white. */
VDK_API VDK_HBITMAP vdk_CreateDIBitmap(VDK_HDC dc, const void *header, uint32_t init, const void *bits,
                                       const void *info, uint32_t usage);
/* Reads bitmap rows as a DIB of info->bmiHeader.biBitCount (1, 4, 8, 24 or 32) bits. With
 * `bits` null only fills in biSizeImage. Otherwise writes rows start .. start + lines - 1
 * (bottom-up; top-down for a negative biHeight) and, for 1, 4 and 8 bits, the colour table:
 * black and white; the 16 system colours; the 256-colour halftone table (6 x 6 x 6 cube,
 * red fastest, then 40 greys). Pixels take the nearest table colour. Returns the number of
 * rows written (for a null `bits`, non-zero on success). */
VDK_API int32_t vdk_GetDIBits(VDK_HDC dc, VDK_HBITMAP bitmap, uint32_t start, uint32_t lines, void *bits,
                              VDK_BITMAPINFO *info, uint32_t usage);
/* The bitmap's pixels in vdk_CreateBitmap form; copies at most `bytes` bytes and returns the
 * number copied. */
VDK_API int32_t vdk_GetBitmapBits(VDK_HBITMAP bitmap, int32_t bytes, void *out);

/* ---- Platform layer: device contexts ----------------------------------------------------- */

/* The screen's context (window 0; the screen is 1024 x 768 at 32 bits, initially black). */
VDK_API VDK_HDC vdk_GetDC(VDK_HWND window);
VDK_API int32_t vdk_ReleaseDC(VDK_HWND window, VDK_HDC dc);
/* A memory context with a 1 x 1 monochrome stock bitmap selected. */
VDK_API VDK_HDC vdk_CreateCompatibleDC(VDK_HDC dc);
VDK_API int32_t vdk_DeleteDC(VDK_HDC dc);
/* Selects a bitmap into a memory context (a bitmap can be selected in one context at a time)
 * or a palette into any context; returns the previous object, 0 on failure. */
VDK_API VDK_HGDIOBJ vdk_SelectObject(VDK_HDC dc, VDK_HGDIOBJ object);
/* The selected object of type VDK_OBJ_PAL or VDK_OBJ_BITMAP. */
VDK_API VDK_HGDIOBJ vdk_GetCurrentObject(VDK_HDC dc, uint32_t type);
/* Returns the previous mode, 0 on failure. Every mode draws by picking source pixels
 * (colour on colour). */
VDK_API int32_t vdk_SetStretchBltMode(VDK_HDC dc, int32_t mode);
VDK_API int32_t vdk_GetStretchBltMode(VDK_HDC dc);
VDK_API int32_t vdk_GetDeviceCaps(VDK_HDC dc, int32_t index);
/* DIB to device. (xSrc, ySrc) is the lower-left corner of the source rectangle in DIB
 * coordinates; `bits` holds the stored rows start .. start + lines - 1. Returns the number
 * of rows drawn. */
VDK_API int32_t vdk_SetDIBitsToDevice(VDK_HDC dc, int32_t xDest, int32_t yDest, uint32_t width, uint32_t height,
                                      int32_t xSrc, int32_t ySrc, uint32_t start, uint32_t lines, const void *bits,
                                      const void *info, uint32_t usage);
/* Stretched DIB to device with VDK_SRCCOPY; positive sizes only. Returns the number of rows
 * of the source rectangle, 0 on failure. */
VDK_API int32_t vdk_StretchDIBits(VDK_HDC dc, int32_t xDest, int32_t yDest, int32_t destWidth, int32_t destHeight,
                                  int32_t xSrc, int32_t ySrc, int32_t srcWidth, int32_t srcHeight, const void *bits,
                                  const void *info, uint32_t usage, uint32_t rop);
/* Context-to-context copies with VDK_SRCCOPY; non-zero on success. */
VDK_API int32_t vdk_BitBlt(VDK_HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, VDK_HDC src,
                           int32_t xSrc, int32_t ySrc, uint32_t rop);
VDK_API int32_t vdk_StretchBlt(VDK_HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, VDK_HDC src,
                               int32_t xSrc, int32_t ySrc, int32_t srcWidth, int32_t srcHeight, uint32_t rop);
/* A pixel the context holds, VDK_CLR_INVALID outside its surface. */
VDK_API VDK_COLORREF vdk_GetPixel(VDK_HDC dc, int32_t x, int32_t y);
/* Sets a pixel (monochrome surfaces take the nearer of black and white); returns the colour
 * set, VDK_CLR_INVALID when outside. */
VDK_API VDK_COLORREF vdk_SetPixel(VDK_HDC dc, int32_t x, int32_t y, VDK_COLORREF color);

/* ---- Platform layer: objects ------------------------------------------------------------- */

/* Deletes a bitmap or palette that is not selected into a context. Stock objects stay. */
VDK_API int32_t vdk_DeleteObject(VDK_HGDIOBJ object);
/* A bitmap fills a VDK_BITMAP (returns its size); a palette writes its entry count as a
 * uint16_t (returns 2). Returns 0 for a handle that is not live or a buffer too small. */
VDK_API int32_t vdk_GetObject(VDK_HGDIOBJ object, int32_t bytes, void *out);

/* ---- Platform layer: messages and diagnostics -------------------------------------------- */

typedef void (*VDK_MESSAGE_HANDLER)(const char *text, void *user);
/* Every toolkit message goes to `handler` (with `user`); null restores the default, which
 * prints "DIBKIT16-32.DLL: <text>" and a newline on standard error. */
VDK_API void vdk_SetMessageHandler(VDK_MESSAGE_HANDLER handler, void *user);

/* Number of live objects of one kind (stock objects and the screen excluded): lets callers
 * and tests check that nothing leaks. */
#define VDK_COUNT_BLOCKS 1u
#define VDK_COUNT_BITMAPS 2u
#define VDK_COUNT_PALETTES 3u
#define VDK_COUNT_DCS 4u
VDK_API uint32_t vdk_CountObjects(uint32_t kind);
/* Testing aid: after `successes` more successful allocations (blocks, bitmaps, palettes,
 * contexts and the toolkit's work tables) every further one fails; -1 switches this off. */
VDK_API void vdk_FailAllocationsAfter(int32_t successes);

/* ---- Toolkit: information, drawing, DIB and DDB ------------------------------------------ */

VDK_API int32_t GetDIBWidth(VDK_HDIB dib);
VDK_API int32_t GetDIBHeight(VDK_HDIB dib);
VDK_API int32_t GetDIBBitPerPixel(VDK_HDIB dib);
/* Colour-table entries of a locked header: biClrUsed when non-zero, else 2, 16 or 256 for 1,
 * 4 or 8 bits and none otherwise. 0 when 40 bytes cannot be read at `header`. */
VDK_API uint32_t GetColorsInPalette(const void *header);
/* The first pixel row of a locked header, or null when 40 bytes cannot be read there. */
VDK_API void *GetDIBBits(void *header);
VDK_API VDK_HPALETTE CreateDIBPalette(VDK_HDIB dib);
VDK_API int32_t DrawDIB(VDK_HDC dc, VDK_HDIB dib, VDK_HPALETTE palette, int32_t x, int32_t y);
VDK_API int32_t StretchDIB(VDK_HDC dc, VDK_HDIB dib, VDK_HPALETTE palette, int32_t x, int32_t y, int32_t width,
                           int32_t height);
VDK_API int32_t DrawDDB(VDK_HDC dc, VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t x, int32_t y);
VDK_API int32_t StretchDDB(VDK_HDC dc, VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t x, int32_t y,
                           int32_t width, int32_t height);
VDK_API VDK_HBITMAP DibtoDdb2(VDK_HDIB dib, VDK_HPALETTE palette);
VDK_API VDK_HBITMAP IDIBtoDDB(VDK_HDIB dib, VDK_HPALETTE palette);
/* bits 0: the bitmap's own depth. */
VDK_API VDK_HDIB IDDBtoDIB(VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t bits);
/* 0x1000 */
VDK_API uint16_t DIBGetVersion(void);

/* ---- Toolkit: bit depth, grey and copy --------------------------------------------------- */

VDK_API VDK_HDIB DIB1To4(VDK_HDIB dib);
VDK_API VDK_HDIB DIB4To8(VDK_HDIB dib);
VDK_API VDK_HDIB DIB8To24(VDK_HDIB dib);
VDK_API VDK_HDIB DIB1To8(VDK_HDIB dib);
VDK_API VDK_HDIB DIB1To24(VDK_HDIB dib);
VDK_API VDK_HDIB DIB4To24(VDK_HDIB dib);
VDK_API VDK_HDIB DIB24To1(VDK_HDIB dib);
VDK_API VDK_HDIB DIB8To1(VDK_HDIB dib);
VDK_API VDK_HDIB DIB4To1(VDK_HDIB dib);
VDK_API VDK_HDIB DIB24To4(VDK_HDIB dib);
VDK_API VDK_HDIB DIB8To4(VDK_HDIB dib);
/* grey non-zero: GrayDIB; zero: colour reduction to 256 colours with error diffusion. */
VDK_API VDK_HDIB DIB24To8(VDK_HDIB dib, int32_t grey);
VDK_API VDK_HDIB GrayDIB(VDK_HDIB dib);
VDK_API VDK_HDIB CopyDIB(VDK_HDIB dib);
/* These two write their error diffusion into the 24-bit DIB they are given. */
VDK_API VDK_HDIB _DIB24To1(VDK_HDIB dib);
VDK_API VDK_HDIB _DIB24To4(VDK_HDIB dib);

/* ---- Toolkit: colour reduction ----------------------------------------------------------- */

/* Progress of a long job: percent 0..100 and the caller's value; returning 0 asks the job to
 * stop. */
typedef int32_t (*VDK_PROGRESSPROC)(int32_t percent, intptr_t user);

/* A 24-bit DIB as a 4- or 8-bit palette DIB: bits 8 (256 colours) or 4 (16 colours) with a
 * median-cut palette computed from the picture, or 0 (4 bits, the 16 system colours, always
 * dithered). paletteCount > 0 supplies the palette instead (the first min(count, 16 or 256)
 * entries; peFlags is not read). dither non-zero: Floyd-Steinberg error diffusion. The
 * callback (may be null) sees 0..100 over the two passes; when it returns 0 the job stops and
 * the DIB is returned as far as it got (unwritten rows are index 0). Null for a source that is
 * not a 24-bit DIB, any other bits value, or when memory runs out. Shows no messages. */
VDK_API VDK_HDIB QuantizeDIB(VDK_HDIB dib, int32_t bits, int32_t dither, int32_t paletteCount,
                             const VDK_PALETTEENTRY *palette, intptr_t user, VDK_PROGRESSPROC progress);

/* The progress window ReduceColors shows while it works: a version field (control 101), a
 * percentage (control 102) and a step text (control 103). Any member may be null. open
 * returns non-zero when a window was made; the work goes on when none was. */
#define VDK_PROGRESS_VERSION 101
#define VDK_PROGRESS_PERCENT 102
#define VDK_PROGRESS_STEP 103
typedef struct VDK_PROGRESS_WINDOW {
    int32_t (*open)(void *user);
    void (*setText)(void *user, int32_t control, const char *text);
    void (*setNumber)(void *user, int32_t control, uint32_t value);
    void (*setWaitCursor)(void *user, int32_t wait); /* 1: wait cursor, 0: arrow */
    void (*close)(void *user);
    void *user;
} VDK_PROGRESS_WINDOW;
/* Installs the progress window (copied); null restores the default, which shows nothing. */
VDK_API void vdk_SetProgressWindow(const VDK_PROGRESS_WINDOW *window);

/* A 24-bit DIB as an 8-bit DIB with 2^uBPP (uBPP 0..8) colour-table entries. flags bit 0:
 * error diffusion to three neighbours; bit 1: median-cut palette instead of the most
 * popular colours. Works over a 15-bit histogram in four steps shown in the progress
 * window. The source is never modified. */
#define VDK_REDUCE_DIFFUSE 1
#define VDK_REDUCE_MEDIANCUT 2
VDK_API VDK_HDIB ReduceColors(VDK_HDIB dib, int32_t uBPP, int32_t flags);

/* ---- Toolkit: image copy and resampling -------------------------------------------------- */

/* Rectangles in image coordinates, origin at the top-left pixel. */
typedef struct VDK_RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} VDK_RECT;

#define VDK_COPY_AND 0x01u   /* 1-bit reduction keeping black lines on white */
#define VDK_COPY_OR 0x02u    /* 1-bit reduction keeping white lines on black */
#define VDK_COPY_GREY16 0x10u /* 1-bit reduction to 16 grey levels (4 bits) */
#define VDK_COPY_GREY256 0x20u /* 1-bit reduction to 256 grey levels (8 bits) */

/* Copies the rectangle (right and bottom INCLUSIVE; null: the whole picture) into a new DIB
 * of newWidth x newHeight (0: the rectangle's size), cropping or resampling by pixel
 * replication and block sampling. Null when the output cannot be allocated or the DIB or
 * rectangle is unusable. */
VDK_API VDK_HDIB DKImageCopy(VDK_HDIB dib, int32_t newWidth, int32_t newHeight, const VDK_RECT *rect, uint32_t flags);
/* The same on a bitmap: *bitmap receives a new bitmap (the old one stays the caller's).
 * 1 on success, -1 otherwise. */
VDK_API int32_t DKImageCopyBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, int32_t newWidth, int32_t newHeight,
                               const VDK_RECT *rect, uint32_t flags);

/* ---- Toolkit: sharpen, tone curve, hue and saturation ------------------------------------ */

/* Rectangles here have EXCLUSIVE right and bottom: the whole picture is (0, 0, width, height). */

/* Sharpens inside the rectangle with strength 0..9 (0: unchanged). Null for a null
 * rectangle, a strength of 10 (it would divide by zero), or a DIB that is not 24-bit. */
VDK_API VDK_HDIB Better(VDK_HDIB dib, int32_t strength, const VDK_RECT *rect, intptr_t user, VDK_PROGRESSPROC progress);
/* Tone curve: brightness -255..256, contrast -127..127, gammas 1.. (10: unchanged) for blue,
 * green and red. Null for a null rectangle, a gamma of 0, a brightness or contrast outside those ranges, or a DIB that is not
 * 24-bit. */
VDK_API VDK_HDIB Enhance(VDK_HDIB dib, int32_t brightness, int32_t contrast, int32_t gammaBlue, int32_t gammaGreen,
                         int32_t gammaRed, const VDK_RECT *rect, intptr_t user, VDK_PROGRESSPROC progress);
/* Hue shift (degrees), saturation and lightness (percent, -100..100) in place; all six range
 * switches 1: the whole colour circle, otherwise only the selected ranges. 1 after changing
 * the DIB, 0 for a null DIB or rectangle or a DIB that is not 24-bit. */
VDK_API int32_t dkHueAndSaturation(VDK_HDIB dib, int16_t red, int16_t green, int16_t blue, int16_t yellow,
                                   int16_t magenta, int16_t cyan, int16_t hue, int16_t saturation, int16_t lightness,
                                   const VDK_RECT *rect, intptr_t user, VDK_PROGRESSPROC progress);

/* The bitmap forms: *bitmap receives a new bitmap of the old depth (4- and 8-bit bitmaps are
 * quantised again, with dithering when `dither` is non-zero); 1 on success, -1 otherwise. */
VDK_API int32_t _SharpBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, int32_t strength, const VDK_RECT *rect,
                          int16_t dither, intptr_t user, VDK_PROGRESSPROC progress);
VDK_API int32_t VBetterBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, double strength, int16_t dither);
VDK_API int32_t _EnhanceBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, int32_t brightness, int32_t contrast,
                            int32_t gammaBlue, int32_t gammaGreen, int32_t gammaRed, const VDK_RECT *rect,
                            int16_t dither, intptr_t user, VDK_PROGRESSPROC progress);
VDK_API int32_t VEnhanceBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, int32_t brightness, int32_t contrast,
                            int32_t gammaBlue, int32_t gammaGreen, int32_t gammaRed, int16_t dither);
VDK_API int32_t _dkHueAndSaturationBMP(VDK_HBITMAP *bitmap, VDK_HPALETTE *palette, int16_t red, int16_t green,
                                       int16_t blue, int16_t yellow, int16_t magenta, int16_t cyan, int16_t hue,
                                       int16_t saturation, int16_t lightness, int16_t dither, const VDK_RECT *rect,
                                       intptr_t user, VDK_PROGRESSPROC progress);

#ifdef __cplusplus
}
#endif

#endif /* VANTOR_DIBKIT_H */

/* A plain C program using the toolkit through its public header only. */
#include "vantor/dibkit.h"

#include <stdio.h>
#include <string.h>

static char lastMessage[256];
static int messageCount;

static void OnMessage(const char *text, void *user) {
    (void)user;
    strncpy(lastMessage, text, sizeof lastMessage - 1);
    ++messageCount;
}

#define CHECK(cond)                                                   \
    do {                                                              \
        if (!(cond)) {                                                \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            return 1;                                                 \
        }                                                             \
    } while (0)

int main(void) {
    VDK_HDIB dib;
    VDK_HDIB wide;
    VDK_BITMAPINFO *info;
    uint8_t *bits;
    const uint8_t *out;

    vdk_SetMessageHandler(OnMessage, NULL);
    CHECK(sizeof(VDK_BITMAPINFOHEADER) == 40);
    CHECK(DIBGetVersion() == 0x1000);

    /* 3 x 1 pixels of 8 bits with a two-colour table. */
    dib = vdk_GlobalAlloc(VDK_GHND, 40 + 2 * 4 + 4);
    CHECK(dib != 0);
    info = (VDK_BITMAPINFO *)vdk_GlobalLock(dib);
    info->bmiHeader.biSize = 40;
    info->bmiHeader.biWidth = 3;
    info->bmiHeader.biHeight = 1;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biClrUsed = 2;
    info->bmiColors[1].rgbRed = 200;
    info->bmiColors[1].rgbBlue = 7;
    CHECK(GetColorsInPalette(info) == 2);
    bits = (uint8_t *)GetDIBBits(info);
    CHECK(bits == (uint8_t *)info + 48);
    bits[0] = 1;
    bits[2] = 1;
    vdk_GlobalUnlock(dib);

    CHECK(GetDIBWidth(dib) == 3);
    wide = DIB8To24(dib);
    CHECK(wide != 0);
    CHECK(GetDIBBitPerPixel(wide) == 24);
    out = (const uint8_t *)vdk_GlobalLock(wide);
    CHECK(out[40] == 7 && out[41] == 0 && out[42] == 200);
    CHECK(out[43] == 0 && out[44] == 0 && out[45] == 0);
    CHECK(out[46] == 7 && out[48] == 200);
    vdk_GlobalUnlock(wide);
    CHECK(messageCount == 0);

    CHECK(DIB1To4(dib) == 0);
    CHECK(messageCount == 1 && strcmp(lastMessage, "DIB1To4: No 1 bit dib present!") == 0);

    vdk_GlobalFree(wide);
    vdk_GlobalFree(dib);
    CHECK(vdk_CountObjects(VDK_COUNT_BLOCKS) == 0);
    puts("C client: ok");
    return 0;
}

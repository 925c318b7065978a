"""An outside program: loads libvantordib.so with ctypes and calls it by its exported names."""
import ctypes
import struct
import sys

lib = ctypes.CDLL(sys.argv[1])
HANDLE = ctypes.c_size_t

for name in ("GetDIBWidth", "GetDIBHeight", "GetDIBBitPerPixel"):
    getattr(lib, name).argtypes = [HANDLE]
    getattr(lib, name).restype = ctypes.c_int32
for name in ("DIB1To24", "DIB24To1", "CopyDIB", "GrayDIB"):
    getattr(lib, name).argtypes = [HANDLE]
    getattr(lib, name).restype = HANDLE
lib.DIB24To8.argtypes = [HANDLE, ctypes.c_int32]
lib.DIB24To8.restype = HANDLE
lib.DIBGetVersion.restype = ctypes.c_uint16
lib.GetColorsInPalette.argtypes = [ctypes.c_void_p]
lib.GetColorsInPalette.restype = ctypes.c_uint32
lib.vdk_GlobalAlloc.argtypes = [ctypes.c_uint32, ctypes.c_size_t]
lib.vdk_GlobalAlloc.restype = HANDLE
lib.vdk_GlobalLock.argtypes = [HANDLE]
lib.vdk_GlobalLock.restype = ctypes.c_void_p
lib.vdk_GlobalUnlock.argtypes = [HANDLE]
lib.vdk_GlobalSize.argtypes = [HANDLE]
lib.vdk_GlobalSize.restype = ctypes.c_size_t
lib.vdk_GlobalFree.argtypes = [HANDLE]
lib.vdk_GlobalFree.restype = HANDLE

MESSAGE = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)
messages = []
handler = MESSAGE(lambda text, user: messages.append(text.decode()))
lib.vdk_SetMessageHandler.argtypes = [MESSAGE, ctypes.c_void_p]
lib.vdk_SetMessageHandler(handler, None)

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def make_dib(width, height, bits, table, rows):
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, len(table), 0)
    data = header + b"".join(bytes((b, g, r, 0)) for r, g, b in table) + b"".join(rows)
    h = lib.vdk_GlobalAlloc(0x42, len(data))
    ctypes.memmove(lib.vdk_GlobalLock(h), data, len(data))
    lib.vdk_GlobalUnlock(h)
    return h


def block_bytes(h):
    size = lib.vdk_GlobalSize(h)
    data = ctypes.string_at(lib.vdk_GlobalLock(h), size)
    lib.vdk_GlobalUnlock(h)
    return data


check(lib.DIBGetVersion() == 0x1000, "version")
# 9 x 2 pixels of 1 bit, black and white; rows padded to 4 bytes.
mono = make_dib(9, 2, 1, [(0, 0, 0), (255, 255, 255)], [b"\xaa\x80\x00\x00", b"\x0f\x00\x00\x00"])
check(lib.GetDIBWidth(mono) == 9 and lib.GetDIBHeight(mono) == 2, "size")
check(lib.GetColorsInPalette(lib.vdk_GlobalLock(mono)) == 2, "colour count")
lib.vdk_GlobalUnlock(mono)

wide = lib.DIB1To24(mono)
check(wide != 0 and lib.GetDIBBitPerPixel(wide) == 24, "DIB1To24")
data = block_bytes(wide)
check(data[40:43] == b"\xff\xff\xff" and data[43:46] == b"\x00\x00\x00", "first pixels white then black")
check(data[40 + 8 * 3:40 + 9 * 3] == b"\xff\xff\xff", "ninth pixel white")
back = lib.DIB24To1(wide)
check(block_bytes(back)[48:56] == block_bytes(mono)[48:56], "1 -> 24 -> 1 keeps the bits")
grey = lib.DIB24To8(wide, 1)
check(lib.GetDIBBitPerPixel(grey) == 8, "DIB24To8 grey")



class RECT(ctypes.Structure):
    _fields_ = [("left", ctypes.c_int32), ("top", ctypes.c_int32), ("right", ctypes.c_int32),
                ("bottom", ctypes.c_int32)]


PROGRESS = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_int32, ctypes.c_ssize_t)
lib.DKImageCopy.argtypes = [HANDLE, ctypes.c_int32, ctypes.c_int32, ctypes.POINTER(RECT), ctypes.c_uint32]
lib.DKImageCopy.restype = HANDLE
lib.dkHueAndSaturation.argtypes = [HANDLE] + [ctypes.c_int16] * 9 + [ctypes.POINTER(RECT), ctypes.c_ssize_t,
                                                                     PROGRESS]
lib.dkHueAndSaturation.restype = ctypes.c_int32

# Three 8-bit columns 10, 20, 30 enlarged to 8: repeats 2, 3, 3.
row8 = make_dib(3, 1, 8, [(i, i, i) for i in range(256)], [b"\x0a\x14\x1e\x00"])
wider = lib.DKImageCopy(row8, 8, 0, None, 0)
check(block_bytes(wider)[40 + 1024:40 + 1024 + 8] == bytes([10, 10, 20, 20, 20, 30, 30, 30]), "DKImageCopy 3 to 8")
# Rectangle (1, 0, 2, 0), inclusive: columns 20 and 30.
part = lib.DKImageCopy(row8, 0, 0, ctypes.byref(RECT(1, 0, 2, 0)), 0)
check(lib.GetDIBWidth(part) == 2 and block_bytes(part)[40 + 1024:40 + 1026] == bytes([20, 30]), "DKImageCopy crop")

# Pure red turned by 120 degrees is pure green; the callback ends at 100.
red = make_dib(1, 1, 24, [], [b"\x00\x00\xff\x00"])
seen = []
progress = PROGRESS(lambda percent, user: seen.append((percent, user)) or 1)
check(lib.dkHueAndSaturation(red, 1, 1, 1, 1, 1, 1, 120, 0, 0, ctypes.byref(RECT(0, 0, 1, 1)), 42, progress) == 1,
      "dkHueAndSaturation result")
check(block_bytes(red)[40:43] == b"\x00\xff\x00", "red turned green")
check(seen and seen[-1] == (100, 42), "progress to 100 with the user value: %r" % seen)

check(messages == [], "no messages so far: %r" % messages)
check(lib.CopyDIB(0) == 0 and messages == ["CopyDIB: No dib present!"], "null handle message")

for h in (mono, wide, back, grey, row8, wider, part, red):
    check(lib.vdk_GlobalFree(h) == 0, "free")

if failures:
    print("ctypes client failed:", ", ".join(failures))
    sys.exit(1)
print("ctypes client: ok")

// Movable memory blocks with lock counts, the readable-pointer check, the message handler and
// the shared object state of the platform layer.

#include "dib/Platform.h"
#include "dib/PlatformState.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace vdk {

const VDK_PALETTEENTRY kSystemColors[16] = {
    {0, 0, 0, 0},     {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0}, {0, 0, 128, 0},   {128, 0, 128, 0},
    {0, 128, 128, 0}, {192, 192, 192, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
    {0, 0, 255, 0},   {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0},
};

bool State::TakeAllocation() {
    if (allocationsLeft < 0)
        return true;
    if (allocationsLeft == 0)
        return false;
    --allocationsLeft;
    return true;
}

State& TheState() {
    // Never destroyed: callers may still free handles from their own static destructors.
    static State* state = [] {
        auto* s = new State;
        Palette stockPalette;
        stockPalette.entries.assign(std::begin(kSystemColors), std::end(kSystemColors));
        stockPalette.stock = true;
        s->stockPalette = s->NewHandle();
        s->palettes.emplace(s->stockPalette, std::move(stockPalette));
        Bitmap stockBitmap;
        stockBitmap.width = 1;
        stockBitmap.height = 1;
        stockBitmap.bitsPerPixel = 1;
        stockBitmap.pixels.assign(1, 0);
        stockBitmap.stock = true;
        s->stockBitmap = s->NewHandle();
        s->bitmaps.emplace(s->stockBitmap, std::move(stockBitmap));
        s->screen.width = 1024;
        s->screen.height = 768;
        s->screen.bitsPerPixel = 32;
        return s;
    }();
    return *state;
}

void ShowMessage(const char* text) {
    State& s = TheState();
    VDK_MESSAGE_HANDLER handler = nullptr;
    void* user = nullptr;
    {
        std::lock_guard lock(s.mutex);
        handler = s.handler;
        user = s.handlerUser;
    }
    // Called without the lock so a handler may use the layer itself.
    if (handler)
        handler(text, user);
    else
        std::fprintf(stderr, "DIBKIT16-32.DLL: %s\n", text);
}

bool AllowWorkAllocation() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.TakeAllocation();
}

namespace {

Block* FindBlock(State& s, VDK_HGLOBAL handle) {
    const auto it = s.blocks.find(handle);
    return it == s.blocks.end() ? nullptr : &it->second;
}

std::unique_ptr<std::uint8_t[]> NewBytes(std::size_t bytes) {
    // At least one byte so that every live block has a distinct address.
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes == 0 ? 1 : bytes]);
}

}  // namespace
}  // namespace vdk

using vdk::State;
using vdk::TheState;

extern "C" {

VDK_HGLOBAL vdk_GlobalAlloc(uint32_t flags, size_t bytes) {
    if (bytes > vdk::kMaxBlockBytes)
        return 0;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (!s.TakeAllocation())
        return 0;
    try {
        vdk::Block block;
        block.data = vdk::NewBytes(bytes);
        if (!block.data)
            return 0;
        // Fresh memory is zeroed even without GMEM_ZEROINIT: nothing of an earlier block leaks.
        (void)flags;
        std::memset(block.data.get(), 0, bytes == 0 ? 1 : bytes);
        block.size = bytes;
        const VDK_HGLOBAL handle = s.NewHandle();
        const auto address = reinterpret_cast<std::uintptr_t>(block.data.get());
        s.blocks.emplace(handle, std::move(block));
        s.blockRanges[address] = bytes;
        return handle;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void* vdk_GlobalLock(VDK_HGLOBAL handle) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    vdk::Block* block = vdk::FindBlock(s, handle);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->data.get();
}

int32_t vdk_GlobalUnlock(VDK_HGLOBAL handle) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    vdk::Block* block = vdk::FindBlock(s, handle);
    if (!block || block->locks == 0)
        return 0;
    --block->locks;
    return block->locks > 0 ? 1 : 0;
}

VDK_HGLOBAL vdk_GlobalFree(VDK_HGLOBAL handle) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const auto it = s.blocks.find(handle);
    if (it == s.blocks.end())
        return handle;
    s.blockRanges.erase(reinterpret_cast<std::uintptr_t>(it->second.data.get()));
    s.blocks.erase(it);
    return 0;
}

size_t vdk_GlobalSize(VDK_HGLOBAL handle) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const vdk::Block* block = vdk::FindBlock(s, handle);
    return block ? block->size : 0;
}

VDK_HGLOBAL vdk_GlobalReAlloc(VDK_HGLOBAL handle, size_t bytes, uint32_t flags) {
    if (bytes > vdk::kMaxBlockBytes)
        return 0;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    vdk::Block* block = vdk::FindBlock(s, handle);
    // Moving a locked block would leave its holder with a dangling pointer.
    if (!block || block->locks > 0 || !s.TakeAllocation())
        return 0;
    auto data = vdk::NewBytes(bytes);
    if (!data)
        return 0;
    const std::size_t kept = std::min(bytes, block->size);
    std::memcpy(data.get(), block->data.get(), kept);
    if (bytes > kept || bytes == 0)
        std::memset(data.get() + kept, 0, (bytes == 0 ? 1 : bytes) - kept);
    (void)flags;  // the grown tail is always zeroed, as for a fresh block
    const auto newAddress = reinterpret_cast<std::uintptr_t>(data.get());
    try {
        s.blockRanges[newAddress] = bytes;
    } catch (const std::bad_alloc&) {
        return 0;
    }
    s.blockRanges.erase(reinterpret_cast<std::uintptr_t>(block->data.get()));
    block->data = std::move(data);
    block->size = bytes;
    return handle;
}

uint32_t vdk_GlobalFlags(VDK_HGLOBAL handle) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const vdk::Block* block = vdk::FindBlock(s, handle);
    if (!block)
        return VDK_GMEM_INVALID_HANDLE;
    return block->locks > VDK_GMEM_LOCKCOUNT ? VDK_GMEM_LOCKCOUNT : block->locks;
}

int32_t vdk_IsBadReadPtr(const void* p, size_t bytes) {
    if (!p)
        return 1;
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    auto it = s.blockRanges.upper_bound(address);
    if (it == s.blockRanges.begin())
        return 1;
    --it;
    const std::uintptr_t offset = address - it->first;
    return offset <= it->second && bytes <= it->second - offset ? 0 : 1;
}

void vdk_SetMessageHandler(VDK_MESSAGE_HANDLER handler, void* user) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.handler = handler;
    s.handlerUser = handler ? user : nullptr;
}

uint32_t vdk_CountObjects(uint32_t kind) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    switch (kind) {
        case VDK_COUNT_BLOCKS:
            return static_cast<uint32_t>(s.blocks.size());
        case VDK_COUNT_BITMAPS:
            return static_cast<uint32_t>(s.bitmaps.size() - 1);  // without the stock bitmap
        case VDK_COUNT_PALETTES:
            return static_cast<uint32_t>(s.palettes.size() - 1);
        case VDK_COUNT_DCS:
            return static_cast<uint32_t>(s.dcs.size());
        default:
            return 0;
    }
}

void vdk_FailAllocationsAfter(int32_t successes) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    s.allocationsLeft = successes < 0 ? -1 : successes;
}

}  // extern "C"

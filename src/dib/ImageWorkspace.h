// The image workspace the main window keeps for its lifetime: a few owned lists, counters, an
// attached object and fifty name buffers, and the 24-bit bitmap copy the full-size view uses.
// C++ over vs::Bitmap, outside the C library.
#pragma once

#include "graphics/Bitmap.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace vs {

// Whatever a caller hangs on the workspace; the workspace deletes it.
class WorkspaceObject {
public:
    virtual ~WorkspaceObject() = default;
};

class TImageWorkspace {
public:
    static constexpr int kNameBuffers = 50;
    static constexpr int kNameBytes = 50;
    using NameBuffer = std::array<std::uint8_t, kNameBytes>;
    using List = std::vector<std::unique_ptr<std::uint8_t[]>>;

    TImageWorkspace();
    ~TImageWorkspace();
    TImageWorkspace(const TImageWorkspace&) = delete;
    TImageWorkspace& operator=(const TImageWorkspace&) = delete;

    // Copies a 24-bit bitmap into `destination` (format, size and pixels); false, leaving
    // `destination` as it was, for any other format.
    bool CopyBitmap24(const Bitmap& source, Bitmap& destination) const;

    std::int32_t state() const { return state_; }
    List& list(int which) { return lists_.at(static_cast<std::size_t>(which)); }
    std::int32_t counter(int which) const { return counters_.at(static_cast<std::size_t>(which)); }
    WorkspaceObject* attached() const { return attached_.get(); }
    void attach(std::unique_ptr<WorkspaceObject> object) { attached_ = std::move(object); }
    const NameBuffer& name(int which) const { return (*names_).at(static_cast<std::size_t>(which)); }

private:
    std::int32_t state_;
    std::array<List, 3> lists_;
    std::array<std::int32_t, 2> counters_;
    std::unique_ptr<WorkspaceObject> attached_;
    std::unique_ptr<std::array<NameBuffer, kNameBuffers>> names_;
};

}  // namespace vs

#include "dib/ImageWorkspace.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

TEST(ImageWorkspace, StartsEmpty) {
    TImageWorkspace workspace;
    EXPECT_EQ(workspace.state(), 1);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(workspace.list(i).empty());
    EXPECT_EQ(workspace.counter(0), 0);
    EXPECT_EQ(workspace.counter(1), 0);
    EXPECT_EQ(workspace.attached(), nullptr);
    for (int i = 0; i < TImageWorkspace::kNameBuffers; ++i)
        for (const std::uint8_t byte : workspace.name(i)) ASSERT_EQ(byte, 0);
}

TEST(ImageWorkspace, DeletesWhatItOwns) {
    struct Flagged : WorkspaceObject {
        explicit Flagged(bool& gone) : gone_(gone) {}
        ~Flagged() override { gone_ = true; }
        bool& gone_;
    };
    bool gone = false;
    {
        TImageWorkspace workspace;
        workspace.attach(std::make_unique<Flagged>(gone));
        workspace.list(2).push_back(std::make_unique<std::uint8_t[]>(16));
        workspace.list(2).push_back(nullptr);
    }
    EXPECT_TRUE(gone);
}

TEST(ImageWorkspace, CopiesOnly24BitBitmaps) {
    TImageWorkspace workspace;
    Bitmap source(5, 3, PixelFormat::Bpp24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x) source.row(y)[x] = static_cast<std::uint8_t>(y * 40 + x);
    Bitmap destination(2, 2, PixelFormat::Bpp8);
    ASSERT_TRUE(workspace.CopyBitmap24(source, destination));
    EXPECT_EQ(destination, source);

    Bitmap eight(4, 4, PixelFormat::Bpp8);
    eight.row(1)[2] = 7;
    Bitmap kept(1, 1, PixelFormat::Bpp24);
    kept.row(0)[0] = 99;
    const Bitmap before = kept;
    EXPECT_FALSE(workspace.CopyBitmap24(eight, kept));
    EXPECT_EQ(kept, before);
}

}  // namespace
}  // namespace vs

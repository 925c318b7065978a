// vantorsee-tool dib: the library driven from the command line, as a user would.

#include "dib/DibFile.h"
#include "dib/DibTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vs::dibtest {
namespace {

std::string Tool() {
    const char* path = std::getenv("VS_TOOL");
    return path ? path : "vantorsee-tool";
}

test::CommandResult RunTool(const std::string& args) { return test::Run(test::Quote(Tool()) + " " + args); }

class DibToolTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string in(const std::string& name) const { return test::Quote(dir.file(name)); }
};

TEST_F(DibToolTest, ConvertsABmpFileMadeByImageMagick) {
    // A 4-bit file with a plain 40-byte header, written by someone else's encoder.
    const auto made = test::Run("convert -size 11x5 gradient:red-blue -colors 16 -type palette BMP3:" + in("p.bmp"));
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto original = test::MagickDecode(dir.file("p.bmp"));
    const auto r = RunTool("dib DIB4To24 " + in("p.bmp") + " " + in("out.bmp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::MagickDecode(dir.file("out.bmp")).rgb, original.rgb);
    Dib loaded(LoadBmpFileAsDib(dir.file("out.bmp")));
    EXPECT_EQ(GetDIBBitPerPixel(loaded.get()), 24);

    // 24 bits to the fixed 16 colours and to grey.
    ASSERT_EQ(RunTool("dib DIB24To4 " + in("out.bmp") + " " + in("four.bmp")).exitCode, 0);
    Dib four(LoadBmpFileAsDib(dir.file("four.bmp")));
    EXPECT_EQ(GetDIBBitPerPixel(four.get()), 4);
    EXPECT_EQ(Pixel(four.get(), 0, 4), 12u);  // the top-left pixel is pure red
    ASSERT_EQ(RunTool("dib DIB24To8 " + in("out.bmp") + " " + in("grey.bmp") + " 1").exitCode, 0);
    const auto grey = test::MagickDecode(dir.file("grey.bmp"));
    EXPECT_EQ(grey.rgb[0], 76);
    EXPECT_EQ(grey.rgb[1], 76);
}

TEST_F(DibToolTest, ToolkitMessagesGoToStandardErrorWithTheCaption) {
    Dib full(MakeDib(2, 2, 24));
    SaveDibAsBmpFile(full.get(), dir.file("full.bmp"));
    const auto r = RunTool("dib DIB8To24 " + in("full.bmp") + " " + in("out.bmp"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "DIBKIT16-32.DLL: DIB8To24: No 8 dib present!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));
    const auto copy = RunTool("dib CopyDIB " + in("full.bmp") + " " + in("copy.bmp"));
    EXPECT_EQ(copy.exitCode, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("copy.bmp")), test::ReadBytes(dir.file("full.bmp")));
}

TEST_F(DibToolTest, UsageErrorsExitTwo) {
    std::vector<std::uint8_t> tooShort(14 + 10, 0);  // a file header and 10 bytes of "DIB"
    tooShort[0] = 'B';
    tooShort[1] = 'M';
    test::WriteBytes(dir.file("x.bmp"), tooShort);
    test::WriteBytes(dir.file("y.bmp"), {'B', 'M'});
    EXPECT_EQ(RunTool("dib").exitCode, 2);
    EXPECT_EQ(RunTool("dib Frobnicate a.bmp b.bmp").exitCode, 2);
    EXPECT_EQ(RunTool("dib DIB24To8 a.bmp b.bmp").exitCode, 2);  // grey flag missing
    EXPECT_EQ(RunTool("dib DIB1To4 a.bmp b.bmp 3").exitCode, 2);
    EXPECT_EQ(RunTool("dib DIB1To4 " + in("missing.bmp") + " " + in("o.bmp")).exitCode, 1);
    const auto notDib = RunTool("dib DIB1To4 " + in("x.bmp") + " " + in("o.bmp"));
    EXPECT_EQ(notDib.exitCode, 1);
    EXPECT_EQ(notDib.err, "DIBKIT16-32.DLL: DIB1To4: Invallid BITMAPINFOHEADER size!\n");
    EXPECT_EQ(RunTool("dib DIB1To4 " + in("y.bmp") + " " + in("o.bmp")).exitCode, 1);
    const auto help = RunTool("dib --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: vantorsee-tool dib"), std::string::npos);
}

TEST_F(DibToolTest, ReductionCopyAndAdjustments) {
    Dib red(MakeDib(6, 4, 24));
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 6; ++x)
            SetPixel(red.get(), x, row, 0xFF0000);
    SaveDibAsBmpFile(red.get(), dir.file("red.bmp"));
    const auto run = [&](const std::string& args, const std::string& out) {
        const auto r = RunTool("dib " + args.substr(0, args.find(' ')) + " " + in("red.bmp") + " " + in(out) +
                               args.substr(args.find(' ')));
        EXPECT_EQ(r.exitCode, 0) << args << ": " << r.err;
        return Dib(LoadBmpFileAsDib(dir.file(out)));
    };
    EXPECT_EQ(GetDIBBitPerPixel(run("quantize 4 --dither", "q.bmp").get()), 4);
    EXPECT_EQ(GetDIBBitPerPixel(run("reduce 8 3", "r.bmp").get()), 8);
    Dib copied(run("copy 3 2 0 1 1 4 2", "c.bmp"));
    EXPECT_EQ(GetDIBWidth(copied.get()), 3);
    EXPECT_EQ(GetDIBHeight(copied.get()), 2);
    Dib sharp(run("sharpen 5", "s.bmp"));
    EXPECT_EQ(Pixel(sharp.get(), 2, 2), 0xFF0000u);
    Dib dark(run("enhance -128 0 10 10 10", "e.bmp"));
    EXPECT_EQ(Pixel(dark.get(), 0, 0), 0x7F0000u);
    run("hue 111111 120 0 0", "h.bmp");
    // Someone else's decoder sees pure green.
    const auto green = test::MagickDecode(dir.file("h.bmp"));
    ASSERT_GE(green.rgb.size(), 3u);
    EXPECT_EQ(green.rgb[0], 0);
    EXPECT_EQ(green.rgb[1], 255);
    EXPECT_EQ(green.rgb[2], 0);

    EXPECT_EQ(RunTool("dib quantize " + in("red.bmp") + " " + in("x.bmp") + " 5").exitCode, 2);
    EXPECT_EQ(RunTool("dib hue " + in("red.bmp") + " " + in("x.bmp") + " 1111 0 0 0").exitCode, 2);
    EXPECT_EQ(RunTool("dib sharpen " + in("red.bmp") + " " + in("x.bmp") + " 10").exitCode, 1);
}

}  // namespace
}  // namespace vs::dibtest

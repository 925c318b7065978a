// Colour reduction (QuantizeDIB, ReduceColors) with expectations worked out by hand from the
// histogram cells, box splits and error arithmetic.

#include "dib/DibTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vs::dibtest {
namespace {

Dib Grey24(const std::vector<std::vector<std::uint8_t>>& storedRows) {
    Dib dib(MakeDib(static_cast<int>(storedRows[0].size()), static_cast<int>(storedRows.size()), 24));
    for (std::size_t row = 0; row < storedRows.size(); ++row)
        for (std::size_t x = 0; x < storedRows[row].size(); ++x)
            SetPixel(dib.get(), static_cast<int>(x), static_cast<int>(row), storedRows[row][x] * 0x010101u);
    return dib;
}

TEST(QuantizeDib, SingleColourGivesItsCellCentre) {
    Dib source(MakeDib(5, 3, 24));
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 5; ++x) SetPixel(source.get(), x, row, 0xC86432);  // (200, 100, 50)
    const std::vector<std::uint8_t> before = Bytes(source.get());
    Dib out(QuantizeDIB(source.get(), 8, 0, 0, nullptr, 0, nullptr));
    ASSERT_TRUE(out);
    EXPECT_EQ(Bytes(source.get()), before);
    const VDK_BITMAPINFOHEADER h = Header(out.get());
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biClrImportant, 0u);
    EXPECT_EQ(h.biSizeImage, 3u * 8u);
    EXPECT_EQ(h.biXPelsPerMeter, 0);
    // Cells (25, 25, 6): centres 8 x 25 + 4, 4 x 25 + 2, 8 x 6 + 4.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{204, 102, 52}));
    for (int i = 1; i < 256; ++i) EXPECT_EQ(TableEntry(out.get(), i), (Rgb{0, 0, 0}));
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(Pixel(out.get(), x, row), 0u);
}

TEST(QuantizeDib, BlackAndWhiteSplitAlongGreen) {
    Dib source(Grey24({{0, 255, 0}, {255, 255, 0}}));
    Dib out(QuantizeDIB(source.get(), 4, 0, 0, nullptr, 0, nullptr));
    ASSERT_TRUE(out);
    EXPECT_EQ(Header(out.get()).biBitCount, 4);
    EXPECT_EQ(Header(out.get()).biClrUsed, 16u);
    // Green is the longest scaled side (63 x 12): the first box keeps black, the new one white.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{4, 2, 4}));
    EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{252, 254, 252}));
    EXPECT_EQ(Pixel(out.get(), 0, 0), 0u);
    EXPECT_EQ(Pixel(out.get(), 1, 0), 1u);
    EXPECT_EQ(Pixel(out.get(), 2, 1), 0u);
    EXPECT_EQ(Pixel(out.get(), 1, 1), 1u);
}

TEST(QuantizeDib, DitheringRunsSerpentine) {
    // Row 0 left to right: 128 becomes white (error -127); 128 - 32 (limited 7/16) is black
    // (error 96). The next row's entries: column 0 -347, column 1 353.
    // Row 1 right to left: 120 + 19 is white (error -116); 150 + limit((-812 - 347 + 8) >> 4)
    // = 150 - 32 = 118 is black. Scanned left to right it would have been white, black.
    Dib source(Grey24({{128, 128}, {150, 120}}));
    const VDK_PALETTEENTRY palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    Dib out(QuantizeDIB(source.get(), 8, 1, 2, palette, 0, nullptr));
    ASSERT_TRUE(out);
    EXPECT_EQ(Header(out.get()).biClrImportant, 2u);
    EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(TableEntry(out.get(), 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(out.get(), 0, 0), 1u);
    EXPECT_EQ(Pixel(out.get(), 1, 0), 0u);
    EXPECT_EQ(Pixel(out.get(), 0, 1), 0u);
    EXPECT_EQ(Pixel(out.get(), 1, 1), 1u);
    // Without dithering both rows follow the nearest colour.
    Dib plain(QuantizeDIB(source.get(), 8, 0, 2, palette, 0, nullptr));
    EXPECT_EQ(Pixel(plain.get(), 1, 0), 1u);
    EXPECT_EQ(Pixel(plain.get(), 1, 1), 0u);
}

TEST(QuantizeDib, SystemColoursPackTwoPixelsPerByteBothWays) {
    Dib source(MakeDib(3, 2, 24));
    for (int row = 0; row < 2; ++row) {
        SetPixel(source.get(), 0, row, 0xFF0000);
        SetPixel(source.get(), 1, row, 0x00FF00);
        SetPixel(source.get(), 2, row, 0x0000FF);
    }
    Dib out(QuantizeDIB(source.get(), 0, 0, 0, nullptr, 0, nullptr));
    ASSERT_TRUE(out);
    EXPECT_EQ(Header(out.get()).biBitCount, 4);
    EXPECT_EQ(TableEntry(out.get(), 9), (Rgb{255, 0, 0}));
    const std::vector<std::uint8_t> bytes = Bytes(out.get());
    const std::size_t bits = BitsOffset(Header(out.get()));
    for (std::size_t row = 0; row < 2; ++row) {
        // red 9, lime 10, blue 12; the odd row was scanned right to left.
        EXPECT_EQ(bytes[bits + row * 4], 0x9A);
        EXPECT_EQ(bytes[bits + row * 4 + 1], 0xC0);
        EXPECT_EQ(bytes[bits + row * 4 + 2], 0);
    }
}

TEST(QuantizeDib, PopulationThenVolumeBoxes) {
    // Green cells 0..39 (dense) and the lone cells 50 and 63, one pixel each. While 2 x boxes
    // <= 16 the most populated box splits: 0..63; 0..31 | 32..39 + 50..63; ... and the fifth
    // split takes 32..63 apart into 32..39 and the box of 50 and 63 (entry 5). From nine boxes
    // on the largest volume wins: that two-cell box (length 13) splits before the denser
    // 8..15 and 24..31 (length 7), giving 50 alone (entry 5) and 63 alone (entry 9).
    std::vector<int> cells;
    for (int g = 0; g < 40; ++g) cells.push_back(g);
    cells.push_back(50);
    cells.push_back(63);
    Dib source(MakeDib(static_cast<int>(cells.size()), 1, 24));
    for (std::size_t x = 0; x < cells.size(); ++x)
        SetPixel(source.get(), static_cast<int>(x), 0, static_cast<std::uint32_t>(cells[x] * 4) << 8);
    Dib out(QuantizeDIB(source.get(), 4, 0, 0, nullptr, 0, nullptr));
    ASSERT_TRUE(out);
    // Centres 4 x g + 2; red and blue cell 0 centres are 4.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{4, 4, 4}));    // cells 0, 1: (2 + 6 + 1) / 2
    EXPECT_EQ(TableEntry(out.get(), 5), (Rgb{4, 202, 4}));  // cell 50
    EXPECT_EQ(TableEntry(out.get(), 6), (Rgb{4, 24, 4}));   // cells 4..7: (96 + 2) / 4
    EXPECT_EQ(TableEntry(out.get(), 9), (Rgb{4, 254, 4}));  // cell 63
    EXPECT_EQ(TableEntry(out.get(), 15), (Rgb{4, 44, 4}));  // cells 10, 11: (42 + 46 + 1) / 2
    EXPECT_EQ(Pixel(out.get(), 40, 0), 5u);
    EXPECT_EQ(Pixel(out.get(), 41, 0), 9u);
}

// The colour-map cache searches only the candidates of a block: every pixel must still get
// the entry nearest to its cell centre by the scaled distance (first entry on ties).
TEST(QuantizeDib, CacheAgreesWithAFullSearch) {
    Dib source(MakeDib(40, 30, 24));
    FillRandom(source.get(), 21);
    for (const int bits : {8, 4}) {
        Dib out(QuantizeDIB(source.get(), bits, 0, 0, nullptr, 0, nullptr));
        ASSERT_TRUE(out);
        const int entries = bits == 8 ? 256 : 16;
        std::vector<Rgb> table;
        for (int i = 0; i < entries; ++i) table.push_back(TableEntry(out.get(), i));
        for (int row = 0; row < 30; ++row)
            for (int x = 0; x < 40; ++x) {
                const std::uint32_t c = Pixel(source.get(), x, row);
                const int r = static_cast<int>((c >> 16) >> 3) * 8 + 4;
                const int g = static_cast<int>(((c >> 8) & 0xFF) >> 2) * 4 + 2;
                const int b = static_cast<int>((c & 0xFF) >> 3) * 8 + 4;
                int best = 0;
                long bestDistance = -1;
                for (int i = 0; i < entries; ++i) {
                    const Rgb& e = table[static_cast<std::size_t>(i)];
                    const long dr = 2L * (r - e[0]), dg = 3L * (g - e[1]), db = b - e[2];
                    const long d = dr * dr + dg * dg + db * db;
                    if (bestDistance < 0 || d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                ASSERT_EQ(Pixel(out.get(), x, row), static_cast<std::uint32_t>(best)) << bits << " " << x << "," << row;
            }
    }
}

// Each of the 32768 cells is mapped once to its nearest entry (plain squared distance from
// the cell's corner colour, lowest index on ties).
TEST(ReduceColours, CellsMapToTheNearestEntry) {
    Dib source(MakeDib(50, 20, 24));
    FillRandom(source.get(), 9);
    for (const int flags : {0, 2}) {
        Dib out(ReduceColors(source.get(), 4, flags));
        ASSERT_TRUE(out);
        for (int row = 0; row < 20; ++row)
            for (int x = 0; x < 50; ++x) {
                const std::uint32_t c = Pixel(source.get(), x, row);
                const int r = static_cast<int>(c >> 16) & ~7, g = static_cast<int>((c >> 8) & 0xFF) & ~7,
                          b = static_cast<int>(c & 0xFF) & ~7;
                int best = 0, bestDistance = -1;
                for (int i = 0; i < 16; ++i) {
                    const Rgb e = TableEntry(out.get(), i);
                    const int d = (r - e[0]) * (r - e[0]) + (g - e[1]) * (g - e[1]) + (b - e[2]) * (b - e[2]);
                    if (bestDistance < 0 || d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                ASSERT_EQ(Pixel(out.get(), x, row), static_cast<std::uint32_t>(best)) << flags;
            }
    }
}

TEST(QuantizeDib, ProgressAndStopping) {
    Dib source(MakeDib(4, 25, 24));
    FillRandom(source.get(), 7);
    struct Calls {
        std::vector<int> percents;
        int stopAt = -1;
    } calls;
    const auto proc = [](int32_t percent, intptr_t user) -> int32_t {
        auto* c = reinterpret_cast<Calls*>(user);
        c->percents.push_back(percent);
        return static_cast<int>(c->percents.size()) == c->stopAt ? 0 : 1;
    };
    Dib full(QuantizeDIB(source.get(), 8, 1, 0, nullptr, reinterpret_cast<intptr_t>(&calls), proc));
    ASSERT_TRUE(full);
    // Step 25 x 3 / 25 = 3: rows 0, 3, ..., 24 of each pass; (0 + 25) x 100 / 75 first,
    // (24 + 50) x 100 / 75 last.
    ASSERT_EQ(calls.percents.size(), 18u);
    EXPECT_EQ(calls.percents.front(), 33);
    EXPECT_EQ(calls.percents[9], 66);
    EXPECT_EQ(calls.percents.back(), 98);

    // Stopped in the first pass: header filled, table and rows all zero.
    calls = {{}, 1};
    Dib stopped(QuantizeDIB(source.get(), 8, 1, 0, nullptr, reinterpret_cast<intptr_t>(&calls), proc));
    ASSERT_TRUE(stopped);
    EXPECT_EQ(Header(stopped.get()).biClrUsed, 256u);
    const std::vector<std::uint8_t> bytes = Bytes(stopped.get());
    for (std::size_t i = 40; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;

    // Stopped in the second pass after row 0: only that row is written.
    calls = {{}, 10};
    Dib part(QuantizeDIB(source.get(), 8, 0, 0, nullptr, reinterpret_cast<intptr_t>(&calls), proc));
    ASSERT_TRUE(part);
    EXPECT_NE(TableEntry(part.get(), 0), (Rgb{0, 0, 0}));
    for (int row = 1; row < 25; ++row)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(Pixel(part.get(), x, row), 0u);
}

TEST(QuantizeDib, ManyColoursFillTheTableAndRefusals) {
    Dib source(MakeDib(64, 64, 24));
    FillRandom(source.get(), 3);
    Dib out(QuantizeDIB(source.get(), 4, 0, 0, nullptr, 0, nullptr));
    ASSERT_TRUE(out);
    // Far more than 32 occupied cells: every entry gets a box, and they differ.
    std::vector<Rgb> entries;
    for (int i = 0; i < 16; ++i) entries.push_back(TableEntry(out.get(), i));
    for (int i = 0; i < 16; ++i)
        for (int j = i + 1; j < 16; ++j)
            EXPECT_NE(entries[static_cast<std::size_t>(i)], entries[static_cast<std::size_t>(j)]);
    Dib eight(MakeDib(4, 4, 8));
    const Census before = Census::Now();
    EXPECT_EQ(QuantizeDIB(eight.get(), 8, 0, 0, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(QuantizeDIB(source.get(), 5, 0, 0, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(QuantizeDIB(0, 8, 0, 0, nullptr, 0, nullptr), 0u);
    vdk_FailAllocationsAfter(1);
    EXPECT_EQ(QuantizeDIB(source.get(), 8, 0, 0, nullptr, 0, nullptr), 0u);
    vdk_FailAllocationsAfter(-1);
    EXPECT_EQ(Census::Now(), before);
}

struct WindowLog {
    std::vector<std::string> events;
    int openResult = 1;
};

VDK_PROGRESS_WINDOW Recorder(WindowLog& log) {
    VDK_PROGRESS_WINDOW w{};
    w.open = [](void* u) { return static_cast<WindowLog*>(u)->openResult; };
    w.setText = [](void* u, int32_t control, const char* text) {
        static_cast<WindowLog*>(u)->events.push_back(std::to_string(control) + ":" + text);
    };
    w.setNumber = [](void* u, int32_t control, uint32_t value) {
        auto& e = static_cast<WindowLog*>(u)->events;
        const std::string item = std::to_string(control) + "=" + std::to_string(value);
        if (e.empty() || e.back() != item)
            e.push_back(item);
    };
    w.setWaitCursor = [](void* u, int32_t wait) {
        static_cast<WindowLog*>(u)->events.push_back(wait ? "wait" : "arrow");
    };
    w.close = [](void* u) { static_cast<WindowLog*>(u)->events.push_back("close"); };
    w.user = &log;
    return w;
}

TEST(ReduceColours, MedianCutOfTwoColoursShowsItsSteps) {
    Dib source(Grey24({{0, 255}, {255, 0}}));
    WindowLog log;
    const VDK_PROGRESS_WINDOW window = Recorder(log);
    vdk_SetProgressWindow(&window);
    Dib out(ReduceColors(source.get(), 1, 2));
    vdk_SetProgressWindow(nullptr);
    ASSERT_TRUE(out);
    // Equal sides: red is split; plane 0 already holds half the pixels.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{248, 248, 248}));
    EXPECT_EQ(TableEntry(out.get(), 2), (Rgb{0, 0, 0}));
    EXPECT_EQ(Pixel(out.get(), 0, 0), 0u);
    EXPECT_EQ(Pixel(out.get(), 1, 0), 1u);
    EXPECT_EQ(Pixel(out.get(), 0, 1), 1u);
    const VDK_BITMAPINFOHEADER h = Header(out.get());
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biXPelsPerMeter, 2953);
    EXPECT_EQ(h.biSizeImage, 8u);
    const std::vector<std::string> expected = {
        "101:1.4", "102=0", "wait", "103:to 15 bit", "102=0", "102=50", "103:Schritt 2 von 4: Farbtabelle bestimmen",
        // MedianCut calls 1, 2 and 3 of 2 x 2 - 1.
        "102=33", "102=66", "102=100", "103:Schritt 3 von 4: Farbzuordnung", "102=0", "102=1", "102=2", "102=3",
        "102=4", "102=5", "102=6", "102=7", "102=8", "102=9", "102=10", "102=11", "102=12", "102=13", "102=14",
        "102=15", "102=16", "102=17", "102=18", "102=19", "102=20", "102=21", "102=22", "102=23", "102=24", "102=25",
        "102=26", "102=27", "102=28", "102=29", "102=30", "102=31", "102=32", "102=33", "102=34", "102=35", "102=36",
        "102=37", "102=38", "102=39", "102=40", "102=41", "102=42", "102=43", "102=44", "102=45", "102=46", "102=47",
        "102=48", "102=49", "102=50", "102=51", "102=52", "102=53", "102=54", "102=55", "102=56", "102=57", "102=58",
        "102=59", "102=60", "102=61", "102=62", "102=63", "102=64", "102=65", "102=66", "102=67", "102=68", "102=69",
        "102=70", "102=71", "102=72", "102=73", "102=74", "102=75", "102=76", "102=77", "102=78", "102=79", "102=80",
        "102=81", "102=82", "102=83", "102=84", "102=85", "102=86", "102=87", "102=88", "102=89", "102=90", "102=91",
        "102=92", "102=93", "102=94", "102=95", "102=96", "102=97", "102=98", "102=99", "102=100",
        "103:Schritt 4 von 4: DIB anpassen", "102=0", "102=50", "arrow", "close"};
    EXPECT_EQ(log.events, expected);

    // No window could be made: the work goes on and only the cursor changes.
    log = {{}, 0};
    vdk_SetProgressWindow(&window);
    Dib again(ReduceColors(source.get(), 1, 2));
    vdk_SetProgressWindow(nullptr);
    EXPECT_EQ(Bytes(again.get()), Bytes(out.get()));
    EXPECT_EQ(log.events, (std::vector<std::string>{"wait", "arrow"}));
}

TEST(ReduceColours, OnePixelMedianCutAndNoBits) {
    Dib one(MakeDib(1, 1, 24));
    SetPixel(one.get(), 0, 0, 0xC86432);
    Dib out(ReduceColors(one.get(), 8, 2));
    ASSERT_TRUE(out);
    // Cell (25, 12, 6) times 8; nothing else written.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{200, 96, 48}));
    for (int i = 1; i < 256; ++i) ASSERT_EQ(TableEntry(out.get(), i), (Rgb{0, 0, 0}));

    Dib many(MakeDib(6, 5, 24));
    FillRandom(many.get(), 11);
    Dib single(ReduceColors(many.get(), 0, 0));
    ASSERT_TRUE(single);
    for (int row = 0; row < 5; ++row)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel(single.get(), x, row), 0u);
    EXPECT_EQ(TableEntry(single.get(), 1), (Rgb{0, 0, 0}));
}

TEST(ReduceColours, PopularityRepeatsTakenCells) {
    Dib source(MakeDib(4, 1, 24));
    for (int x = 0; x < 3; ++x) SetPixel(source.get(), x, 0, 0xFF0000);
    SetPixel(source.get(), 3, 0, 0x0000FF);
    Dib out(ReduceColors(source.get(), 2, 0));
    ASSERT_TRUE(out);
    // Red (3 pixels) first; then blue's cell (31) comes before red's (31744) with count 1.
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{248, 0, 0}));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(TableEntry(out.get(), i), (Rgb{0, 0, 248}));
    EXPECT_EQ(Pixel(out.get(), 0, 0), 0u);
    EXPECT_EQ(Pixel(out.get(), 3, 0), 1u);
}

TEST(ReduceColours, DiffusionWorksOnACopy) {
    // Entries: cell 11 (88, two pixels), cell 9 (72). 95 leaves +7 x 3/8 = 2, 97 - 88 leaves
    // 9 x 3/8 = 3, so 78 becomes 81 (cell 10: equally near both, lowest index wins).
    Dib source(Grey24({{95, 95, 78}}));
    const std::vector<std::uint8_t> before = Bytes(source.get());
    Dib plain(ReduceColors(source.get(), 1, 0));
    Dib diffused(ReduceColors(source.get(), 1, 1));
    ASSERT_TRUE(plain);
    ASSERT_TRUE(diffused);
    EXPECT_EQ(Bytes(source.get()), before);
    EXPECT_EQ(TableEntry(plain.get(), 0), (Rgb{88, 88, 88}));
    EXPECT_EQ(TableEntry(plain.get(), 1), (Rgb{72, 72, 72}));
    EXPECT_EQ(Pixel(plain.get(), 2, 0), 1u);
    EXPECT_EQ(Pixel(diffused.get(), 0, 0), 0u);
    EXPECT_EQ(Pixel(diffused.get(), 1, 0), 0u);
    EXPECT_EQ(Pixel(diffused.get(), 2, 0), 0u);
}

TEST(ReduceColours, Dib24To8CompletesThroughTheReducer) {
    Dib source(MakeDib(16, 16, 24));
    FillRandom(source.get(), 5);
    const Census before = Census::Now();
    {
        Dib out(DIB24To8(source.get(), 0));
        ASSERT_TRUE(out);
        EXPECT_EQ(Header(out.get()).biBitCount, 8);
        EXPECT_EQ(Header(out.get()).biClrUsed, 256u);
    }
    EXPECT_EQ(Census::Now(), before);
    EXPECT_EQ(LockCount(source.get()), 0u);
}

}  // namespace
}  // namespace vs::dibtest

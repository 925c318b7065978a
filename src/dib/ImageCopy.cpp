// DKImageCopy: a rectangle of a DIB into a new DIB of a chosen size. Equal sizes copy or crop;
// other sizes resample by replicating pixels (enlarging) or sampling blocks (reducing). 1-bit
// pictures can be reduced keeping thin lines (AND, OR) or turned into grey levels by counting
// the set bits of each block. Also the bitmap wrapper the bitmap entry points share.
#include "dib/DibBlock.h"
#include "dib/DibShared.h"
#include "dib/Platform.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vdk {
namespace {

unsigned GetIndex(const std::uint8_t* row, std::size_t x, unsigned bits) {
    if (bits == 1)
        return (row[x / 8] >> (7 - x % 8)) & 1u;
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;  // 4 bits
}

void PutIndex(std::uint8_t* row, std::size_t x, unsigned bits, unsigned value) {
    if (bits == 1) {
        const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
        row[x / 8] = static_cast<std::uint8_t>(value ? (row[x / 8] | mask) : (row[x / 8] & ~mask));
    } else if (bits == 4) {
        row[x / 2] = static_cast<std::uint8_t>(x % 2 == 0 ? (row[x / 2] & 0x0F) | (value << 4)
                                                          : (row[x / 2] & 0xF0) | (value & 0x0F));
    } else {
        row[x] = static_cast<std::uint8_t>(value);
    }
}

// Copies pixel `from` of one row to pixel `to` of another, whatever the depth.
void CopyPixel(const std::uint8_t* src, std::size_t from, std::uint8_t* dst, std::size_t to, unsigned bits) {
    if (bits < 8) {
        PutIndex(dst, to, bits, GetIndex(src, from, bits));
        return;
    }
    const std::size_t bytes = bits / 8;
    std::memcpy(dst + to * bytes, src + from * bytes, bytes);
}

// How the rectangle's n source units (columns or rows) map onto m output units.
struct Span {
    std::size_t start;  // first source unit, relative to the rectangle
    std::size_t count;  // source units of a reducing block, or output repeats when enlarging
};

// Enlarging columns: source column j repeated h = W / n times, once more when the
// accumulator (growing by W mod n) exceeds n; the last column makes up any shortfall.
std::vector<Span> EnlargeColumns(std::size_t n, std::size_t w) {
    std::vector<Span> spans(n);
    const std::size_t h = w / n, rem = w % n;
    std::size_t acc = 0, total = 0;
    for (std::size_t j = 0; j < n; ++j) {
        std::size_t reps = h;
        acc += rem;
        if (acc > n) {
            ++reps;
            acc -= n;
        }
        reps = std::min(reps, w - total);
        spans[j] = {j, reps};
        total += reps;
    }
    spans[n - 1].count += w - total;
    return spans;
}

// Reducing columns: output column i covers h = n / W source columns, one more when the
// accumulator (growing by n mod W) exceeds W.
std::vector<Span> ReduceColumns(std::size_t n, std::size_t w) {
    std::vector<Span> spans(w);
    const std::size_t h = n / w, rem = n % w;
    std::size_t acc = 0, pos = 0;
    for (std::size_t i = 0; i < w; ++i) {
        std::size_t width = h;
        acc += rem;
        if (acc > w) {
            ++width;
            acc -= w;
        }
        spans[i] = {pos, width};
        pos += width;
    }
    return spans;
}

// Reducing rows: output row r covers t = c / H source rows, one more when the accumulator
// (growing by c mod H) reaches H.
std::vector<Span> ReduceRows(std::size_t c, std::size_t hOut) {
    std::vector<Span> spans(hOut);
    const std::size_t t = c / hOut, rem = c % hOut;
    std::size_t acc = 0, pos = 0;
    for (std::size_t r = 0; r < hOut; ++r) {
        std::size_t rows = t;
        acc += rem;
        if (acc >= hOut) {
            ++rows;
            acc -= hOut;
        }
        spans[r] = {pos, rows};
        pos += rows;
    }
    return spans;
}

// Enlarging or keeping rows: each source row written H / c times, once more when the
// accumulator plus H mod c reaches c.
std::vector<Span> EnlargeRows(std::size_t c, std::size_t hOut) {
    std::vector<Span> spans(c);
    const std::size_t t = hOut / c, rem = hOut % c;
    std::size_t acc = 0;
    for (std::size_t j = 0; j < c; ++j) {
        std::size_t reps = t;
        if (acc + rem >= c) {
            ++reps;
            acc = acc + rem - c;
        } else {
            acc += rem;
        }
        spans[j] = {j, reps};
    }
    return spans;
}

struct Source {
    const DibLayout& in;
    std::size_t left;
    std::size_t bottomStored;  // stored index of the rectangle's bottom row
    const std::uint8_t* Row(std::size_t fromBottom) const { return in.bits + (bottomStored + fromBottom) * in.stride; }
};

}  // namespace
}  // namespace vdk

using vdk::DibLayout;
using vdk::LockedBlock;
using vdk::Span;

extern "C" VDK_HDIB DKImageCopy(VDK_HDIB dib, int32_t newWidth, int32_t newHeight, const VDK_RECT* rect,
                                uint32_t flags) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::MeasureDib(block, in) || in.header.biCompression != VDK_BI_RGB)
        return 0;
    const std::int64_t imageW = in.header.biWidth, imageH = in.header.biHeight;
    VDK_RECT r = rect ? *rect : VDK_RECT{0, 0, static_cast<int32_t>(imageW - 1), static_cast<int32_t>(imageH - 1)};
    // A rectangle reaching outside the picture would read outside the block.
    if (r.left < 0 || r.top < 0 || r.left > r.right || r.top > r.bottom || r.right >= imageW || r.bottom >= imageH)
        return 0;
    const std::size_t n = static_cast<std::size_t>(r.right - r.left) + 1;
    const std::size_t c = static_cast<std::size_t>(r.bottom - r.top) + 1;
    const std::size_t w = newWidth == 0 ? n : static_cast<std::size_t>(newWidth);
    const std::size_t hOut = newHeight == 0 ? c : static_cast<std::size_t>(newHeight);
    if (newWidth < 0 || newHeight < 0 || w > vdk::kMaxDibPixels || hOut > vdk::kMaxDibPixels ||
        static_cast<std::uint64_t>(w) * hOut > vdk::kMaxDibPixels)
        return 0;

    const unsigned srcBits = in.header.biBitCount;
    unsigned depth = srcBits;
    const bool grey = srcBits == 1 && n >= w && c > hOut && (flags & 0x30u) != 0;
    if (grey)
        depth = (flags & 0x20u) ? 8 : 4;
    const std::uint32_t tableEntries = grey ? (1u << depth) : in.colors;
    const std::size_t stride = static_cast<std::size_t>(vdk::RowStride(static_cast<std::int64_t>(w), depth));
    const std::size_t tableBytes = std::size_t{tableEntries} * 4;
    vdk::OwnedBlock outHandle(vdk::NewBlock(tableBytes + hOut * stride + (grey ? 40 : 56)));
    if (!outHandle)
        return 0;
    const LockedBlock outBlock(outHandle.get());
    VDK_BITMAPINFOHEADER h = in.header;
    h.biWidth = static_cast<int32_t>(w);
    h.biHeight = static_cast<int32_t>(hOut);
    h.biSizeImage = 0;
    std::uint8_t* table = outBlock.data() + vdk::kHeaderSize;
    if (grey) {
        h.biBitCount = static_cast<std::uint16_t>(depth);
        h.biClrUsed = h.biClrImportant = tableEntries;
        const unsigned stepLevel = depth == 4 ? 17 : 1;
        for (std::uint32_t i = 0; i < tableEntries; ++i) {
            const auto v = static_cast<std::uint8_t>(i * stepLevel);
            table[i * 4] = table[i * 4 + 1] = table[i * 4 + 2] = v;
        }
    } else {
        std::memcpy(table, in.table, tableBytes);
    }
    outBlock.WriteHeader(h);
    std::uint8_t* outBits = table + tableBytes;

    const vdk::Source src{in, static_cast<std::size_t>(r.left), static_cast<std::size_t>(imageH - 1 - r.bottom)};
    if (n == w && c == hOut) {
        if (n == static_cast<std::size_t>(imageW) && c == static_cast<std::size_t>(imageH)) {
            std::memcpy(outBits, in.bits, in.imageBytes);
        } else {
            // Crop: each output row holds exactly the rectangle's pixels from its first byte.
            for (std::size_t row = 0; row < c; ++row) {
                const std::uint8_t* s = src.Row(row);
                std::uint8_t* d = outBits + row * stride;
                if (srcBits >= 8)
                    std::memcpy(d, s + src.left * (srcBits / 8), n * (srcBits / 8));
                else
                    for (std::size_t x = 0; x < n; ++x) vdk::CopyPixel(s, src.left + x, d, x, srcBits);
            }
        }
        return outHandle.release();
    }

    const bool enlargeColumns = n < w;
    const std::vector<Span> columns = enlargeColumns ? vdk::EnlargeColumns(n, w) : vdk::ReduceColumns(n, w);
    const bool reduceRows = hOut < c;
    const std::vector<Span> rows = reduceRows ? vdk::ReduceRows(c, hOut) : vdk::EnlargeRows(c, hOut);
    // Scale-to-grey not honoured: both grey flags are cleared, so only AND and OR choose the
    // 1-bit reduction; a lone grey flag leaves the plain sampling.
    const std::uint32_t modeFlags = grey ? flags : flags & ~0x30u;
    const bool oneBitMode = srcBits == 1 && !enlargeColumns && (modeFlags & 0x33u) != 0;

    // The source column (relative to the rectangle) each output column samples.
    std::vector<std::size_t> sourceColumn;
    sourceColumn.reserve(w);
    for (const Span& cs : columns)
        for (std::size_t k = 0; k < (enlargeColumns ? cs.count : 1); ++k) sourceColumn.push_back(cs.start);

    // Writes one output row made from the block of source rows [first, first + count).
    std::vector<std::uint8_t> combined(in.stride);
    std::vector<std::uint32_t> counts;
    unsigned countShift = 0;
    if (grey) {
        // Counts of very large blocks are halved until the largest fits a table of a million
        // entries, as the table-driven original does.
        std::size_t largest = 0;
        for (const Span& rs : rows)
            for (const Span& cs : columns) largest = std::max(largest, rs.count * cs.count);
        while ((largest >> countShift) + 1 > 1000000) ++countShift;
    }
    const unsigned level = depth == 8 ? 255 : 15;
    const auto makeRow = [&](std::size_t first, std::size_t count, std::uint8_t* d) {
        if (grey) {
            std::size_t x = 0;
            for (const Span& cs : columns) {
                std::size_t k = 0;
                for (std::size_t y = 0; y < count; ++y) {
                    const std::uint8_t* s = src.Row(first + y);
                    for (std::size_t j = 0; j < cs.count; ++j) k += vdk::GetIndex(s, src.left + cs.start + j, 1);
                }
                const std::size_t blockPixels = (count * cs.count) >> countShift;
                const std::size_t value =
                    blockPixels == 0 ? level : std::min<std::size_t>(level, (k >> countShift) * level / blockPixels);
                vdk::PutIndex(d, x++, depth, static_cast<unsigned>(value));
            }
            return;
        }
        if (oneBitMode) {
            const bool useAnd = (flags & 0x01u) != 0;
            // AND or OR of the block's first t rows (or its one row), then of each column block.
            const std::size_t t = reduceRows ? rows[0].count : 1;
            const std::size_t used = std::min(t, count);
            const std::size_t rowBytes = in.stride;
            std::memcpy(combined.data(), src.Row(first), rowBytes);
            for (std::size_t y = 1; y < used; ++y) {
                const std::uint8_t* s = src.Row(first + y);
                for (std::size_t b = 0; b < rowBytes; ++b)
                    combined[b] = static_cast<std::uint8_t>(useAnd ? combined[b] & s[b] : combined[b] | s[b]);
            }
            std::size_t x = 0;
            for (const Span& cs : columns) {
                unsigned bit = useAnd ? 1u : 0u;
                for (std::size_t j = 0; j < cs.count; ++j) {
                    const unsigned v = vdk::GetIndex(combined.data(), src.left + cs.start + j, 1);
                    bit = useAnd ? (bit & v) : (bit | v);
                }
                vdk::PutIndex(d, x++, 1, bit);
            }
            return;
        }
        const std::uint8_t* s = src.Row(first);
        if (srcBits >= 8) {
            // Whole-byte pixels: one table of source columns, fixed-size copies.
            const std::size_t bytes = srcBits / 8;
            const std::uint8_t* base = s + src.left * bytes;
            if (bytes == 3) {
                for (std::size_t x = 0; x < w; ++x) {
                    const std::uint8_t* p = base + sourceColumn[x] * 3;
                    d[x * 3] = p[0];
                    d[x * 3 + 1] = p[1];
                    d[x * 3 + 2] = p[2];
                }
            } else if (bytes == 1) {
                for (std::size_t x = 0; x < w; ++x) d[x] = base[sourceColumn[x]];
            } else {
                for (std::size_t x = 0; x < w; ++x) std::memcpy(d + x * bytes, base + sourceColumn[x] * bytes, bytes);
            }
            return;
        }
        if (enlargeColumns) {
            std::size_t x = 0;
            for (const Span& cs : columns)
                for (std::size_t k = 0; k < cs.count; ++k) vdk::CopyPixel(s, src.left + cs.start, d, x++, srcBits);
        } else {
            std::size_t x = 0;
            for (const Span& cs : columns) vdk::CopyPixel(s, src.left + cs.start, d, x++, srcBits);
        }
    };

    if (reduceRows) {
        // Grey counts every row of a block; the other modes work from the block's first rows.
        for (std::size_t row = 0; row < hOut; ++row) makeRow(rows[row].start, rows[row].count, outBits + row * stride);
    } else {
        std::size_t out = 0;
        for (const Span& rs : rows) {
            if (rs.count == 0)
                continue;
            std::uint8_t* first = outBits + out * stride;
            makeRow(rs.start, 1, first);
            for (std::size_t k = 1; k < rs.count; ++k) std::memcpy(outBits + (out + k) * stride, first, stride);
            out += rs.count;
        }
    }
    return outHandle.release();
}

#include "controls/FileTypes.h"

#include <stdexcept>

namespace vs {

namespace {

struct GridTypes {
    std::array<FileType, kFileTypeCount> types{};
    std::array<int, kFileTypeCount> scanOrder{};
    std::vector<int> stored;

    GridTypes() {
        static_assert(kThumbnail == kImageNotMade);  // a thumbnail type's items start without one
        std::array<const FileKindRow*, kFileTypeCount> first{};
        int scanned = 0;
        for (const FileKindRow& row : FileKindTable()) {
            if (row.gridType == kNoGridType)
                continue;
            const auto t = static_cast<std::size_t>(row.gridType);
            if (!first[t]) {
                first[t] = &row;
                types[t] = {row.flagName, row.label, {row.ending, ""}, row.typeIcon};
                scanOrder[static_cast<std::size_t>(scanned++)] = row.gridType;
            } else if (types[t].endings[1].empty()) {
                types[t].endings[1] = row.ending;
            } else {
                throw std::logic_error("a grid type lists at most two endings");
            }
        }
        if (scanned != kFileTypeCount)
            throw std::logic_error("every grid type needs a row in the file-kind table");
        for (int t = 0; t < kFileTypeCount; ++t)
            if (first[static_cast<std::size_t>(t)]->storedFlag)
                stored.push_back(t);
    }
};

const GridTypes& Grid() {
    static const GridTypes grid;
    return grid;
}

}  // namespace

const std::array<FileType, kFileTypeCount>& FileTypes() { return Grid().types; }

const std::array<int, kFileTypeCount>& ScanOrder() { return Grid().scanOrder; }

const std::vector<int>& StoredFlagOrder() { return Grid().stored; }

}  // namespace vs

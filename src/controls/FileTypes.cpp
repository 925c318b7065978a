#include "controls/FileTypes.h"

namespace vs {

const std::array<FileType, kFileTypeCount>& FileTypes() {
    static const std::array<FileType, kFileTypeCount> table = {{
        {"_bmp", ".bmp", {".bmp", ""}, kImageNotMade},
        {"_jpg", ".jpg", {".jpg", ""}, kImageNotMade},
        {"_tif", ".tif,.tiff", {".tif", ".tiff"}, kImageNotMade},
        {"_tga", ".tga", {".tga", ""}, kImageNotMade},
        {"_pcx", ".pcx", {".pcx", ""}, kImageNotMade},
        {"_psd", ".psd", {".psd", ""}, kImageNotMade},
        {"_kev", ".kev", {".kev", ""}, kImageNotMade},
        {"_xf", ".xf", {".xf", ""}, kImageNotMade},
        {"_sfc", ".sfc", {".sfc", ""}, kImageNotMade},
        {"_mig", ".mig", {".mig", ""}, kImageNotMade},
        {"_avi", ".avi", {".avi", ""}, 0},
        {"_mpg", ".mpg", {".mpg", ""}, 1},
        {"_mov", ".mov", {".mov", ""}, 2},
        {"_mp3", ".mp3", {".mp3", ""}, 3},
        {"_wav", ".wav", {".wav", ""}, 4},
        {"_mid", ".mid", {".mid", ""}, 5},
        {"_rmi", ".rmi", {".rmi", ""}, 5},
        {"_htm", ".htm;.html", {".htm", ".html"}, 6},
        {"_txt", ".txt", {".txt", ""}, 7},
        {"_rtf", ".rtf", {".rtf", ""}, 8},
    }};
    return table;
}

const std::array<int, kFileTypeCount>& ScanOrder() {
    static const std::array<int, kFileTypeCount> order = {
        kTypeAvi, kTypeMpg, kTypeMov, kTypeMp3, kTypeWav, kTypeMid, kTypeRmi, kTypeHtm, kTypeTxt, kTypeRtf,
        kTypeJpg, kTypeBmp, kTypeKev, kTypeSfc, kTypeXf,  kTypeMig, kTypeTif, kTypeTga, kTypePcx, kTypePsd,
    };
    return order;
}

const std::array<int, 13>& StoredFlagOrder() {
    static const std::array<int, 13> order = {
        kTypeBmp, kTypeJpg, kTypeKev, kTypeXf,  kTypeSfc, kTypeMig, kTypeAvi,
        kTypeMpg, kTypeMov, kTypeMp3, kTypeWav, kTypeMid, kTypeRmi,
    };
    return order;
}

}  // namespace vs

#include "viewer/FileDetails.h"

#include "formats/Exif.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace vs {

namespace {

// An Exif block is one APP1 segment (at most 64 KiB) among the first markers.
constexpr std::streamsize kExifHeadBytes = 256 * 1024;

// "2026:12:08 14:03:10" as cameras write it becomes "2026-12-08 14:03:10".
std::string TakenText(std::string taken) {
    if (taken.size() >= 10 && taken[4] == ':' && taken[7] == ':') {
        taken[4] = '-';
        taken[7] = '-';
    }
    return taken;
}

}  // namespace

std::string ByteSizeText(std::uint64_t bytes) {
    char text[32];
    if (bytes < 1024 * 1024) {
        const double kb = static_cast<double>(bytes) / 1024.0;
        std::snprintf(text, sizeof text, "%.1f KB", bytes > 0 && kb < 0.1 ? 0.1 : kb);
    } else {
        std::snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    }
    return text;
}

FileDetails ReadFileDetails(const std::string& path) {
    FileDetails details;
    const std::size_t slash = path.rfind('/');
    details.name = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return details;
    details.size = static_cast<std::uint64_t>(st.st_size);
    details.modified = st.st_mtime;
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(static_cast<std::size_t>(kExifHeadBytes));
    in.read(reinterpret_cast<char*>(head.data()), kExifHeadBytes);
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    if (head.size() < 2 || head[0] != 0xFF || head[1] != 0xD8)
        return details;  // only JPEG files carry the block we read
    const JpegExif exif = FindJpegExif(head);
    if (exif.tiff.empty())
        return details;
    details.camera = exif.data.cameraModel;
    details.exposure = ExposureText(exif.data);
    details.taken = TakenText(exif.data.dateTaken);
    return details;
}

std::string FileDetailsText(const FileDetails& details) {
    std::string text = details.name;
    const auto add = [&text](const std::string& part) {
        if (part.empty())
            return;
        if (!text.empty())
            text += "  |  ";
        text += part;
    };
    if (details.position > 0 && details.count > 0)
        add(std::to_string(details.position) + " / " + std::to_string(details.count));
    add(ByteSizeText(details.size));
    if (details.modified != 0) {
        std::tm local{};
        char date[32];
        if (::localtime_r(&details.modified, &local) && std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local))
            add(date);
    }
    std::string photo = details.camera;
    if (!details.exposure.empty())
        photo += (photo.empty() ? "" : ", ") + details.exposure;
    add(photo);
    if (!details.taken.empty())
        add("taken " + details.taken);
    return text;
}

}  // namespace vs

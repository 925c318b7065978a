#include "controls/ThumbnailCache.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <QBuffer>
#include <QByteArray>
#include <QCryptographicHash>
#include <QImage>
#include <QString>
#include <QUrl>

#include <sys/stat.h>
#include <cstdlib>
#include <filesystem>

namespace vs {

namespace {

constexpr int kNormalSize = 128;
// Failure records go under a folder named after the program that failed, as the desktops do.
constexpr const char* kFailFolder = "/fail/vantor-see-1.1/";

std::string DefaultRoot() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/thumbnails";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.cache/thumbnails";
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

// The file's URI as the desktops spell it, and its name in the cache.
QString Uri(const std::string& absolutePath) {
    return QUrl::fromLocalFile(QString::fromStdString(absolutePath)).toString(QUrl::FullyEncoded);
}

QString CacheName(const QString& uri) {
    return QString::fromLatin1(QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex()) + ".png";
}

bool ModificationTime(const std::string& path, long long& mtime) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    mtime = static_cast<long long>(st.st_mtime);
    return true;
}

// Folders of the cache are private to the user.
bool MakePrivateFolders(const std::string& folder) {
    std::error_code ec;
    std::filesystem::path built;
    for (const auto& part : std::filesystem::path(folder)) {
        built /= part;
        if (std::filesystem::is_directory(built, ec))
            continue;
        if (::mkdir(built.c_str(), 0700) != 0 && !std::filesystem::is_directory(built, ec))
            return false;
    }
    return true;
}

QImage ToQImage(const Bitmap& bgr) {
    QImage img(bgr.width(), bgr.height(), QImage::Format_RGB888);
    for (int y = 0; y < bgr.height(); ++y) {
        const std::uint8_t* src = bgr.row(y);
        uchar* dst = img.scanLine(y);
        for (int x = 0; x < bgr.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return img;
}

// Transparent entries from other programs show on white, as our thumbnails do.
Bitmap FromQImage(const QImage& image) {
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* dst = rgb.scanLine(y);
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(src[x]);
                dst[3 * x] = static_cast<uchar>(qRed(src[x]) + 255 - a);
                dst[3 * x + 1] = static_cast<uchar>(qGreen(src[x]) + 255 - a);
                dst[3 * x + 2] = static_cast<uchar>(qBlue(src[x]) + 255 - a);
            }
        }
    }
    Bitmap out(rgb.width(), rgb.height(), PixelFormat::Bpp24);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* src = rgb.constScanLine(y);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < rgb.width(); ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return out;
}

// An entry stands for the file while it names the same URI and modification time.
bool Matches(const QImage& image, const QString& uri, long long mtime) {
    return !image.isNull() && image.text(QStringLiteral("Thumb::URI")) == uri &&
           image.text(QStringLiteral("Thumb::MTime")) == QString::number(mtime);
}

}  // namespace

ThumbnailCache::ThumbnailCache(std::string root) : root_(root.empty() ? DefaultRoot() : std::move(root)) {}

bool ThumbnailCache::Inside(const std::string& path) const {
    const std::string abs = Absolute(path);
    return abs.size() > root_.size() && abs.compare(0, root_.size(), root_) == 0 && abs[root_.size()] == '/';
}

std::string ThumbnailCache::NormalFile(const std::string& path) const {
    return root_ + "/normal/" + CacheName(Uri(Absolute(path))).toStdString();
}

std::string ThumbnailCache::FailFile(const std::string& path) const {
    return root_ + kFailFolder + CacheName(Uri(Absolute(path))).toStdString();
}

ThumbnailCache::Lookup ThumbnailCache::Find(const std::string& path, Entry& entry) const {
    long long mtime = 0;
    if (Inside(path) || !ModificationTime(path, mtime))
        return Lookup::Missing;
    const QString uri = Uri(Absolute(path));
    QImage image(QString::fromStdString(NormalFile(path)), "PNG");
    if (Matches(image, uri, mtime)) {
        // Without the original size the grid could not show it; such entries (from programs
        // that leave it out) are not used.
        const int w = image.text(QStringLiteral("Thumb::Image::Width")).toInt();
        const int h = image.text(QStringLiteral("Thumb::Image::Height")).toInt();
        if (w > 0 && h > 0) {
            entry.picture = FromQImage(image);
            entry.width = w;
            entry.height = h;
            return Lookup::Found;
        }
    }
    if (Matches(QImage(QString::fromStdString(FailFile(path)), "PNG"), uri, mtime))
        return Lookup::Failed;
    return Lookup::Missing;
}

bool ThumbnailCache::Write(const std::string& file, const std::string& path, const Bitmap& picture, int width,
                           int height) const {
    long long mtime = 0;
    if (Inside(path) || !ModificationTime(path, mtime) || picture.empty())
        return false;
    if (!MakePrivateFolders(std::filesystem::path(file).parent_path().string()))
        return false;
    QImage image = ToQImage(picture.format() == PixelFormat::Bpp24 ? picture : picture.toBgr24());
    if (image.width() > kNormalSize || image.height() > kNormalSize)
        image = image.scaled(kNormalSize, kNormalSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setText(QStringLiteral("Thumb::URI"), Uri(Absolute(path)));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    if (width > 0 && height > 0) {
        image.setText(QStringLiteral("Thumb::Image::Width"), QString::number(width));
        image.setText(QStringLiteral("Thumb::Image::Height"), QString::number(height));
    }
    image.setText(QStringLiteral("Software"), QStringLiteral("Vantor See 1.1"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    try {
        WriteFileAtomically(
            file,
            std::span(reinterpret_cast<const std::uint8_t*>(png.constData()), static_cast<std::size_t>(png.size())),
            false);
    } catch (const ImageError&) {
        return false;
    }
    // The folder is private already; the entry is too, as the standard asks.
    return ::chmod(file.c_str(), 0600) == 0;
}

bool ThumbnailCache::Store(const std::string& path, const Bitmap& picture, int width, int height) const {
    return Write(NormalFile(path), path, picture, width, height);
}

bool ThumbnailCache::StoreFailure(const std::string& path) const {
    Bitmap dot(1, 1, PixelFormat::Bpp24);
    return Write(FailFile(path), path, dot, 0, 0);
}

bool LoadMicroImageThroughCache(const ThumbnailCache& cache, const std::string& path, int kind, Bitmap& thumb,
                                std::string& sizeText) {
    ThumbnailCache::Entry entry;
    switch (cache.Find(path, entry)) {
        case ThumbnailCache::Lookup::Found:
            thumb = std::move(entry.picture);
            sizeText = SizeText(entry.width, entry.height);
            return ChangeToMicroImage(thumb, kThumbCellWidth, kThumbCellHeight);
        case ThumbnailCache::Lookup::Failed:
            return false;
        case ThumbnailCache::Lookup::Missing:
            break;
    }
    bool decoded = false;
    // Decode large enough for the shared 128-pixel size, so other programs get a full entry;
    // a camera's 160x120 preview still qualifies.
    const bool made =
        LoadMicroImageFromFile(path, kind, thumb, sizeText, CellHint{kNormalSize, kNormalSize * 3 / 4}, kThumbCellWidth,
                               kThumbCellHeight, [&](const Bitmap& picture, const PictureSize& full) {
                                   decoded = true;
                                   cache.Store(path, picture, full.width, full.height);
                               });
    if (!decoded)
        cache.StoreFailure(path);
    return made;
}

}  // namespace vs

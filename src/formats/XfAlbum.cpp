#include "formats/XfAlbum.h"

#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"
#include "platform/Wave.h"
#include "platform/WaveRecorder.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vs {

namespace fs = std::filesystem;

namespace {

// Sound data and verbatim page data are copied in chunks of this size, so memory use does
// not grow with the album.
constexpr std::size_t kCopyChunk = 10240;

// Companion files and cached pages are scratch: they need not survive a power cut.
constexpr bool kScratch = false;

// Longest side of a page. A page of width 0 has no pixels at all and passes every size check,
// yet a height of two billion would make every row loop crawl; no real page is this long.
constexpr std::int32_t kMaxPageSide = 1 << 20;

// Gives up on a companion name after this many taken counters.
constexpr int kMaxCounter = 100000;

bool Exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

// A regular file (a link to one counts): the lookup of a sound file.
std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

// The album's real name on disk: the path as given when it exists, otherwise each component
// that is missing is matched without regard to letter case. The path as given when nothing
// matches.
std::string ResolveOnDisk(const std::string& path) {
    if (Exists(path))
        return path;
    const fs::path given(path);
    fs::path result;
    bool resolving = true;
    for (const auto& part : given) {
        if (result.empty() || !resolving) {
            result /= part;
            continue;
        }
        fs::path next = result / part;
        if (Exists(next.string())) {
            result = next;
            continue;
        }
        const std::string want = AsciiLower(part.string());
        std::optional<fs::path> found;
        std::error_code ec;
        for (fs::directory_iterator it(result, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path& candidate = it->path();
            // The first in name order, so two objects resolve the same way.
            if (AsciiLower(candidate.filename().string()) == want && (!found || candidate < *found))
                found = candidate;
        }
        if (found) {
            result = *found;
        } else {
            result = next;
            resolving = false;
        }
    }
    return result.string();
}

// Copies n bytes from in to out in the fixed chunks albums are copied in.
void CopyChunks(InputFile& in, std::uint64_t n, AtomicFileWriter& out) { CopyBytes(in, n, out, kCopyChunk); }

// The "fmt " chunk length the recording device is given: the size of the largest standard
// audio format record (an ADPCM one).
constexpr std::uint32_t kMaxAudioFormatSize = 50;

void SaveCachePage(const Bitmap& page, const std::string& path) { WriteFileAtomically(path, EncodeBmp(page), kScratch); }

}  // namespace

int XfBytesPerPixel(int code) {
    switch (code) {
    case 3:
        return 1;
    case 4:
    case 5:
        return 2;
    case 6:
        return 3;
    case 7:
        return 4;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------
// Reading

XfAlbumReader::XfAlbumReader(const std::string& path) : file_(path) {
    std::uint8_t m[3];
    file_.read(m);
    std::copy(m, m + 3, magic.begin());
    pageCount = file_.i32le();
    headerField = file_.i32le();
    soundByte = file_.u8();
}

XfPageHeader XfAlbumReader::nextPage() {
    XfPageHeader page;
    page.width = file_.i32le();
    page.height = file_.i32le();
    page.code = file_.u8();
    const int bpp = XfBytesPerPixel(page.code);
    if (bpp == 0)
        throw DecodeError("album page with pixel code " + std::to_string(page.code));
    if (page.width < 0 || page.height < 0 || page.width > kMaxPageSide || page.height > kMaxPageSide)
        throw DecodeError("album page of an impossible size");
    page.pixelBytes = std::uint64_t(page.width) * std::uint64_t(page.height) * std::uint64_t(bpp);
    // A page never claims more than the file holds.
    if (page.pixelBytes > file_.remaining())
        throw DecodeError("album page larger than the file");
    return page;
}

Bitmap XfAlbumReader::readPixels(const XfPageHeader& page) {
    static constexpr PixelFormat kFormats[] = {PixelFormat::Bpp8, PixelFormat::Bpp15, PixelFormat::Bpp16,
                                               PixelFormat::Bpp24, PixelFormat::Bpp32};
    CheckPictureSize(page.width, page.height);
    Bitmap bitmap(page.width, page.height, kFormats[page.code - 3]);
    if (page.code == 3) {
        const auto& halftone = HalftonePalette();
        bitmap.palette().assign(halftone.begin(), halftone.end());
    }
    const std::size_t rowBytes = std::size_t(page.width) * std::size_t(XfBytesPerPixel(page.code));
    for (int y = 0; y < page.height; ++y)
        file_.read({bitmap.row(y), rowBytes});
    return bitmap;
}

std::optional<std::uint32_t> XfAlbumReader::readSoundHeader() {
    if (file_.u8() == 0)
        return std::nullopt;
    const std::int32_t length = file_.i32le();
    if (length < 0 || std::uint64_t(length) > file_.remaining())
        throw DecodeError("album sound longer than the file");
    return static_cast<std::uint32_t>(length);
}

Bitmap ReadXfPage(const std::string& path, int n) {
    XfAlbumReader reader(path);
    if (!reader.hasMagic())
        throw DecodeError("not an album: " + path);
    if (n < 0 || n >= reader.pageCount)
        throw DecodeError("album without page " + std::to_string(n) + ": " + path);
    for (int i = 0; i < n; ++i)
        reader.skipPixels(reader.nextPage());
    return reader.readPixels(reader.nextPage());
}

// ---------------------------------------------------------------------------------------
// Writing

namespace detail {

void WriteXfHeader(AtomicFileWriter& out, std::int32_t pageCount, std::uint8_t soundByte) {
    static constexpr std::uint8_t kMagic[] = {'X', 'F', 'A'};
    out.write(kMagic);
    out.writeI32le(pageCount);
    out.writeI32le(0);
    out.writeU8(soundByte);
}

void WriteXfPage24(AtomicFileWriter& out, const Bitmap& page) {
    if (page.format() != PixelFormat::Bpp24) {
        WriteXfPage24(out, page.toBgr24());
        return;
    }
    out.writeI32le(page.width());
    out.writeI32le(page.height());
    out.writeU8(6);
    const std::size_t rowBytes = std::size_t(page.width()) * 3;
    for (int y = 0; y < page.height(); ++y)
        out.write({page.row(y), rowBytes});
}

namespace {

void WriteSoundData(AtomicFileWriter& out, const std::string& soundFile, std::uint64_t length) {
    if (length > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
        throw ImageError("sound file too large for an album: " + soundFile);
    InputFile sound(soundFile);
    out.writeI32le(static_cast<std::int32_t>(length));
    CopyChunks(sound, length, out);
}

}  // namespace

void WriteXfSound(AtomicFileWriter& out, const std::string& soundFile) {
    if (soundFile.empty()) {
        out.writeU8(0);
        return;
    }
    const auto size = RegularFileSize(soundFile);
    if (!size)
        throw OpenError("cannot open " + soundFile);
    out.writeU8(1);
    WriteSoundData(out, soundFile, *size);
}

}  // namespace detail

// ---------------------------------------------------------------------------------------
// The album object

TXfAlbum::TXfAlbum(Prompts* prompts, SoundPlayer* soundPlayer) : prompts_(prompts), soundPlayer_(soundPlayer) {}

TXfAlbum::~TXfAlbum() { releaseCompanions(); }

void TXfAlbum::releaseCompanions() {
    // The record file reserves the sound name, so it goes last.
    if (Exists(SoundFile))
        DeletePlainFile(SoundFile);
    if (Exists(RecordFile))
        DeletePlainFile(RecordFile);
    if (IsFolder(TempFolder))
        CleanTempFolder();
}

void TXfAlbum::bind(const std::string& realPath) {
    // Reopening releases what the previous open made, so nothing is left behind.
    releaseCompanions();
    Magic = {};
    PageCount = 0;
    CurrentPage = -1;
    HeaderField = 0;
    HasSound = false;
    Recording = false;
    RecordFile.clear();
    SoundFile.clear();
    TempFolder.clear();
    albumPath_ = ResolveOnDisk(realPath);
    FileName = AsciiLower(realPath);
}

bool TXfAlbum::albumExists() const {
    std::error_code ec;
    return !albumPath_.empty() && fs::is_regular_file(albumPath_, ec);
}

std::string TXfAlbum::cachePath(int n) const { return TempFolder + std::to_string(n) + ".frame"; }

void TXfAlbum::chooseSoundAndRecordFiles() {
    const std::string base = CompanionFolder() + fs::path(FileName).filename().string() + ".Audio";
    SoundFile.clear();
    RecordFile.clear();
    // A sound name is reserved by creating its record file (the sound name + "t") exclusively,
    // and stays reserved while that file lives. A record name taken by someone else means the
    // sound name is taken too: a second object on the same sound file would see the first
    // delete it, so the next sound name is tried instead of another record name.
    for (int i = -1; i < kMaxCounter; ++i) {
        const std::string sound = i < 0 ? base : base + std::to_string(i);
        const std::string record = sound + "t";
        if (Exists(sound))
            continue;
        const int fd = ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno != EEXIST)
                return;  // the companion folder is not writable
            continue;
        }
        ::close(fd);
        // A sound left behind, or one whose owner is closing (it deletes its sound before its
        // record file): not ours.
        if (Exists(sound)) {
            ::unlink(record.c_str());
            continue;
        }
        SoundFile = sound;
        RecordFile = record;
        return;
    }
}

bool TXfAlbum::chooseAndCreateTempFolder() {
    const std::string parent = CompanionFolder() + "TQ Images XF TEMP/";
    if (!MakeFolders(parent, 0700))
        return false;
    const std::string base = parent + fs::path(FileName).filename().string() + "_temp";
    for (int i = -1; i < kMaxCounter; ++i) {
        const std::string folder = i < 0 ? base : base + std::to_string(i);
        if (::mkdir(folder.c_str(), 0700) == 0) {
            TempFolder = folder + "/";
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool TXfAlbum::createTempFolderAgain() {
    if (TempFolder.empty())
        return false;
    ::mkdir(TempFolder.c_str(), 0700);
    return IsFolder(TempFolder);
}

bool TXfAlbum::CreateRecordFile() {
    if (RecordFile.empty())
        return false;
    try {
        WriteFileAtomically(RecordFile, EncodeEmptyWave(22050, 1, 8, kMaxAudioFormatSize), kScratch);
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

// Reads the header, walks the pages and extracts the sound. Throws on invalid data.
bool TXfAlbum::readAlbum(bool forViewing) {
    XfAlbumReader reader(albumPath_);
    if (forViewing) {
        Magic = reader.magic;
        HeaderField = reader.headerField;
    }
    // PageCount counts the pages actually walked, so an album that lies about its count
    // never makes the strip list pages that are not there.
    std::int32_t pages = 0;
    try {
        for (std::int32_t i = 0; i < reader.pageCount; ++i) {
            reader.skipPixels(reader.nextPage());
            ++pages;
        }
    } catch (const ImageError&) {
        if (forViewing)
            PageCount = pages;
        throw;
    }
    if (forViewing)
        PageCount = pages;
    const auto sound = reader.readSoundHeader();
    HasSound = sound.has_value();
    if (!sound)
        return true;
    if (SoundFile.empty())
        return false;
    try {
        AtomicFileWriter out(SoundFile, kScratch);
        CopyChunks(reader.file(), *sound, out);
        out.commit();
    } catch (const DecodeError&) {
        throw;
    } catch (const ImageError&) {
        return false;  // the sound file cannot be created
    }
    return true;
}

bool TXfAlbum::OpenForPreview(const std::string& path) {
    bind(path);
    chooseSoundAndRecordFiles();
    CreateRecordFile();
    if (!Exists(albumPath_))
        return true;
    try {
        return readAlbum(false);
    } catch (const ImageError&) {
        return false;
    }
}

bool TXfAlbum::OpenForViewing(const std::string& path) {
    fs::path real(path);
    const std::string ext = AsciiLower(real.extension().string());
    if (ext != ".mig" && ext != ".xf")
        real.replace_extension(".mig");
    bind(real.string());
    chooseAndCreateTempFolder();
    chooseSoundAndRecordFiles();
    CreateRecordFile();
    if (!Exists(albumPath_))
        return true;
    bool soundSaved = true;
    try {
        soundSaved = readAlbum(true);
    } catch (const ImageError&) {
        return false;
    }
    if (!soundSaved)
        return createTempFolderAgain();
    CleanTempFolder();
    return createTempFolderAgain();
}

bool TXfAlbum::ReadPage(int n, Bitmap* bitmap) {
    if (!albumExists() || !bitmap || n < 0)
        return false;
    try {
        *bitmap = ReadXfPage(albumPath_, n);
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

bool TXfAlbum::FetchPage(int n, Bitmap* bitmap, bool tellFailures) {
    const auto say = [this, tellFailures](const std::string& text) {
        if (prompts_ && tellFailures)
            prompts_->message(text, "", Buttons::Ok, Icon::None);
    };
    if (!IsFolder(TempFolder)) {
        say(TempFolder);
        return false;
    }
    if (!bitmap) {
        say("2");
        return false;
    }
    if (n < 0 || n >= PageCount) {
        say("3");
        return false;
    }
    const std::string cache = cachePath(n);
    if (Exists(cache)) {
        try {
            *bitmap = LoadBmpFile(cache);
            return true;
        } catch (const ImageError&) {
            // A damaged cache file: read the page again and replace it.
        }
    }
    if (!ReadPage(n, bitmap))
        return false;
    try {
        SaveCachePage(*bitmap, cache);
    } catch (const ImageError&) {
        // The page is read; only the cache is missing. The next visit reads the album again.
    }
    return true;
}

bool TXfAlbum::GetPage(int n, Bitmap* bitmap) {
    if (!FetchPage(n, bitmap))
        return false;
    CurrentPage = n;
    return true;
}

bool TXfAlbum::StartRecording(WaveRecorder& recorder) {
    if (RecordFile.empty())
        return false;
    if (!recorder.open(RecordFile))
        return false;
    if (!recorder.startRecording()) {
        recorder.close();
        return false;
    }
    Recording = true;
    return true;
}

bool TXfAlbum::StopRecording(WaveRecorder& recorder) {
    if (SoundFile.empty())
        return false;
    recorder.stop();
    const bool saved = recorder.save(SoundFile);
    recorder.close();
    Recording = false;
    // A failed save keeps the previous sound (if any) as the album's sound.
    if (saved)
        HasSound = true;
    return saved;
}

bool TXfAlbum::PlaySoundFile() {
    if (!HasSound || !soundPlayer_)
        return false;
    return soundPlayer_->play(SoundFile);
}

bool TXfAlbum::RebuildAlbum() {
    if (!albumExists() || !IsFolder(TempFolder))
        return false;
    try {
        for (int n = 0; n < PageCount; ++n) {
            const std::string cache = cachePath(n);
            if (Exists(cache))
                continue;
            Bitmap work;
            if (!ReadPage(n, &work))
                return false;
            SaveCachePage(work, cache);
        }

        // The new album is complete on disk before it replaces the old one.
        AtomicFileWriter out(albumPath_);
        detail::WriteXfHeader(out, PageCount, HasSound ? 1 : 0);
        for (int n = 0; n < PageCount; ++n) {
            const std::string cache = cachePath(n);
            if (!Exists(cache))
                return false;
            detail::WriteXfPage24(out, LoadBmpFile(cache));
        }
        const auto soundSize = RegularFileSize(SoundFile);
        if (!soundSize) {
            HasSound = false;
            out.writeU8(0);
        } else {
            out.writeU8(HasSound ? 1 : 0);
            if (HasSound)
                detail::WriteSoundData(out, SoundFile, *soundSize);
        }
        out.commit();
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

bool TXfAlbum::ReplaceAlbumSound() {
    const std::string tempBase = CompanionFolder() + fs::path(FileName).filename().string() + ".temp";
    std::string tempCopy = tempBase;
    for (int i = 0; Exists(tempCopy) && i < kMaxCounter; ++i)
        tempCopy = tempBase + std::to_string(i);
    try {
        {
            std::optional<XfAlbumReader> album;
            try {
                album.emplace(albumPath_);
            } catch (const ImageError&) {
                return false;
            }
            AtomicFileWriter copy(tempCopy, kScratch);
            const std::uint8_t magic[] = {static_cast<std::uint8_t>(album->magic[0]),
                                          static_cast<std::uint8_t>(album->magic[1]),
                                          static_cast<std::uint8_t>(album->magic[2])};
            copy.write(magic);
            copy.writeI32le(album->pageCount);
            copy.writeI32le(album->headerField);
            copy.writeU8(album->soundByte);
            for (std::int32_t n = 0; n < album->pageCount; ++n) {
                const XfPageHeader page = album->nextPage();
                copy.writeI32le(page.width);
                copy.writeI32le(page.height);
                copy.writeU8(page.code);
                CopyChunks(album->file(), page.pixelBytes, copy);
            }
            const auto soundSize = RegularFileSize(SoundFile);
            if (!soundSize) {
                // Nothing to put in: the album stays as it is and the copy is dropped.
                HasSound = false;
                return true;
            }
            copy.writeU8(HasSound ? 1 : 0);
            if (HasSound)
                detail::WriteSoundData(copy, SoundFile, *soundSize);
            copy.commit();
        }
        // Copy over the album through a temporary file beside it and one rename, so the album
        // is never half copied.
        bool replaced = false;
        try {
            InputFile copy(tempCopy);
            AtomicFileWriter out(albumPath_);
            CopyBytes(copy, copy.size(), out);
            out.commit();
            replaced = true;
        } catch (const ImageError&) {
        }
        DeletePlainFile(tempCopy);
        return replaced;
    } catch (const ImageError&) {
        DeletePlainFile(tempCopy);
        return false;
    }
}

void TXfAlbum::CleanTempFolder() {
    if (TempFolder.empty())
        return;
    std::error_code ec;
    std::vector<std::string> frames;
    for (fs::directory_iterator it(TempFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > 6 && name.ends_with(".frame"))
            frames.push_back(it->path().string());
    }
    for (const auto& f : frames)
        DeletePlainFile(f);
    // Removed only when empty: whatever else is there stays.
    ::rmdir(TempFolder.c_str());
}

}  // namespace vs

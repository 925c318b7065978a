#pragma once

#include "graphics/Bitmap.h"
#include "graphics/FileIo.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vs {

class Prompts;
class SoundPlayer;
class WaveRecorder;

// XF albums (".xf", ".mig"): "XFA", a 32-bit page count, a 32-bit field, a sound byte, then
// uncompressed pages (width, height, pixel code, top-down unpadded rows), then a sound flag
// and, when it is not 0, a 32-bit length and a complete wave file. All integers are 32-bit
// little-endian signed.

// Bytes per pixel of a page's pixel code: 3 (halftone index), 4 (5-5-5), 5 (5-6-5),
// 6 (blue, green, red), 7 (blue, green, red, unused); 0 for any other code.
int XfBytesPerPixel(int code);

// One page record: its size, pixel code and the length of its pixel data.
struct XfPageHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t code = 0;
    std::uint64_t pixelBytes = 0;
};

// Reads an album front to back: the header on construction, then each page, then the sound.
// Every size is checked against the bytes left in the file before anything is read or
// allocated for it; invalid or lying data throws DecodeError, an unopenable file OpenError.
class XfAlbumReader {
public:
    explicit XfAlbumReader(const std::string& path);

    std::array<char, 3> magic{};
    std::int32_t pageCount = 0;
    std::int32_t headerField = 0;
    std::uint8_t soundByte = 0;
    bool hasMagic() const { return magic == std::array<char, 3>{'X', 'F', 'A'}; }

    XfPageHeader nextPage();
    void skipPixels(const XfPageHeader& page) { file_.skip(page.pixelBytes); }
    // A bitmap of the page's own pixel format (code 3 gets the halftone palette).
    Bitmap readPixels(const XfPageHeader& page);
    // After the last page: the sound's length, or nullopt when the sound flag is 0.
    std::optional<std::uint32_t> readSoundHeader();

    InputFile& file() { return file_; }

private:
    InputFile file_;
};

// Page n of the album at path, read with the reader alone: no companion files, no messages.
// Throws DecodeError when the album lacks the "XFA" magic, has fewer pages or the page is
// invalid, OpenError when the file cannot be read.
Bitmap ReadXfPage(const std::string& path, int n);

// The album object: reads pages, unpacks the sound into a companion file so that it can be
// played, keeps a cache of decoded pages, records a new sound and writes the album back.
// Companion files live in CompanionFolder(); the object owns them and deletes them when it
// goes. Two objects open on the same album get distinct companion names.
//
// FileName is the album's path in lower case, used for naming and comparison; the file itself
// is read and replaced under its real name on disk.
class TXfAlbum {
public:
    // prompts shows GetPage's messages, soundPlayer plays the sound; either may be null (no
    // message, no playback).
    explicit TXfAlbum(Prompts* prompts = nullptr, SoundPlayer* soundPlayer = nullptr);
    ~TXfAlbum();
    TXfAlbum(const TXfAlbum&) = delete;
    TXfAlbum& operator=(const TXfAlbum&) = delete;

    // A quick look (thumbnail, first page in the viewer): companion names, record file and
    // sound; no page cache. True for a missing album (an empty one), false for one that exists
    // but is unreadable or invalid.
    bool OpenForPreview(const std::string& path);
    // For the page strip: the page cache folder, PageCount, the sound. A name without the
    // ".xf" or ".mig" ending is taken with ".mig".
    bool OpenForViewing(const std::string& path);
    // Page n decoded straight from the album. False, with bitmap untouched, when the album is
    // missing, lacks the "XFA" magic, has fewer pages, or the page is invalid.
    bool ReadPage(int n, Bitmap* bitmap);
    // Page n through the page cache; sets CurrentPage.
    bool GetPage(int n, Bitmap* bitmap);
    // GetPage without touching CurrentPage (the page strip's thumbnails); tellFailures false
    // keeps GetPage's messages back.
    bool FetchPage(int n, Bitmap* bitmap, bool tellFailures = true);
    // An empty 8-bit mono 22050 Hz PCM wave file at RecordFile, telling the recorder what to
    // record.
    bool CreateRecordFile();
    bool StartRecording(WaveRecorder& recorder);
    bool StopRecording(WaveRecorder& recorder);
    bool PlaySoundFile();
    // Writes the album anew from the cached pages (all as 24-bit pages) and SoundFile. The
    // album is replaced by one rename at the end: on any failure it is left as it was.
    bool RebuildAlbum();
    // Writes the album anew with its pages copied verbatim and SoundFile as its sound; the
    // album is replaced in one step or not at all.
    bool ReplaceAlbumSound();
    // Deletes the cached pages and removes TempFolder when that leaves it empty.
    void CleanTempFolder();

    // The album's real path on disk.
    const std::string& AlbumPath() const { return albumPath_; }

    std::array<char, 3> Magic{};
    std::int32_t PageCount = 0;
    std::int32_t CurrentPage = -1;
    std::int32_t HeaderField = 0;
    std::string FileName;
    std::string TempFolder;
    bool HasSound = false;
    bool Recording = false;
    std::string SoundFile;
    std::string RecordFile;

private:
    void bind(const std::string& realPath);
    void releaseCompanions();
    void chooseSoundAndRecordFiles();
    bool chooseAndCreateTempFolder();
    bool createTempFolderAgain();
    bool albumExists() const;
    bool readAlbum(bool forViewing);
    std::string cachePath(int n) const;

    Prompts* prompts_;
    SoundPlayer* soundPlayer_;
    std::string albumPath_;
};

// Writes a new album of 24-bit pages (code 6) and, when soundFile is not empty, that wave
// file as its sound. pictureAt(i) gives page i for i below pageCount. The file appears whole
// or not at all. Throws ImageError on any failure.
template <typename PictureAt>
void WriteXfAlbum(const std::string& path, int pageCount, PictureAt&& pictureAt, const std::string& soundFile);

namespace detail {
void WriteXfHeader(AtomicFileWriter& out, std::int32_t pageCount, std::uint8_t soundByte);
void WriteXfPage24(AtomicFileWriter& out, const Bitmap& page);
// The sound flag, length and data of soundFile; only the flag 0 when soundFile is empty.
void WriteXfSound(AtomicFileWriter& out, const std::string& soundFile);
}  // namespace detail

template <typename PictureAt>
void WriteXfAlbum(const std::string& path, int pageCount, PictureAt&& pictureAt, const std::string& soundFile) {
    AtomicFileWriter out(path);
    detail::WriteXfHeader(out, pageCount, soundFile.empty() ? 0 : 1);
    for (int i = 0; i < pageCount; ++i)
        detail::WriteXfPage24(out, pictureAt(i));
    detail::WriteXfSound(out, soundFile);
    out.commit();
}

}  // namespace vs

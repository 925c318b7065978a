#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vs {

// A picture class of the format catalogue, identified by address. Which reader decodes a
// class's files is said by the viewer's file-kind table (ReaderOfGraphicClass), so the
// catalogue and the viewer never disagree; icons, metafiles, SGI and the rest have none.
struct GraphicClass {
    const char* name;
};
using TGraphicClass = const GraphicClass*;

extern const GraphicClass TBitmap, TIcon, TMetafile, TJPEGImage, TTargaGraphic, TTIFFGraphic, TPCXGraphic,
    TRLAGraphic, TSGIGraphic, TPSDGraphic, TPPMGraphic, TAutodeskGraphic, TPCDGraphic, TCUTGraphic, TPSPGraphic,
    TPNGGraphic;

enum TFormatType : unsigned { ftAnimation, ftLayered, ftMultiImage, ftRaster, ftVector };
using TFormatTypes = unsigned;  // bit (1 << TFormatType) per member
constexpr TFormatTypes FormatSet(std::initializer_list<TFormatType> types) {
    TFormatTypes s = 0;
    for (TFormatType t : types)
        s |= 1u << t;
    return s;
}
inline constexpr TFormatTypes kAllFormatTypes = 0x1F;

enum TFilterSortType { fstNone, fstBoth, fstDescription, fstExtension };
enum TFilterOption : unsigned { foCompact, foIncludeAll, foIncludeExtension };
using TFilterOptions = unsigned;  // bit (1 << TFilterOption) per member
constexpr TFilterOptions OptionSet(std::initializer_list<TFilterOption> options) {
    TFilterOptions s = 0;
    for (TFilterOption o : options)
        s |= 1u << o;
    return s;
}

// Raised by RegisterFileFormat for an extension that is already known.
class InvalidGraphicError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The platform's own table of loadable picture formats: extension (lower case, no dot) to
// description and class. Picture loading by file name (vantorsee-tool decode for the
// extensions outside the viewer's kinds) goes through it.
class PictureFormatTable {
public:
    struct Entry {
        std::string description;
        TGraphicClass graphicClass = nullptr;
    };
    void Register(std::string_view extension, std::string_view description, TGraphicClass graphicClass);
    void UnregisterClass(TGraphicClass graphicClass);
    void UnregisterExtension(std::string_view extension);
    // The entry of a file name's last extension, or null.
    const Entry* FindForFile(std::string_view fileName) const;
    const std::map<std::string, Entry>& entries() const { return entries_; }

private:
    std::map<std::string, Entry> entries_;
};

// The catalogue of picture formats: one entry per extension, one per class, kept in step
// with a platform picture table.
class TFileFormatList {
public:
    explicit TFileFormatList(PictureFormatTable& table) : table_(table) {}
    // Clears the remaining entries, removing their classes from the platform table.
    ~TFileFormatList();
    TFileFormatList(const TFileFormatList&) = delete;
    TFileFormatList& operator=(const TFileFormatList&) = delete;

    // The 36 formats registered at start-up, in their order.
    void RegisterStandardFormats();
    // The shutdown order: the readers class by class, "rle" and "dib", then PNG.
    void UnregisterStandardReaders();

    int FindExtension(std::string_view extension) const;
    int FindGraphicClass(TGraphicClass graphicClass) const;
    void RegisterFileFormat(std::string_view extension, std::string_view commonDescription,
                            std::string_view individualDescription, TFormatTypes formatTypes, bool replace,
                            bool registerAsDefault, TGraphicClass graphicClass);
    void UnregisterFileFormat(std::string_view extension, TGraphicClass graphicClass);
    void GetExtensionList(std::vector<std::string>& strings) const;
    TGraphicClass GetGraphicClassFor(std::string_view fileName) const;
    std::string GetGraphicFilter(TFormatTypes formatTypes, TFilterSortType sortType, TFilterOptions options,
                                 TGraphicClass graphicClass) const;
    void Clear();

    // For inspection: the class entries in order.
    struct ClassEntry {
        TGraphicClass graphicClass = nullptr;
        std::string description;
        int count = 0;
    };
    const std::vector<ClassEntry>& classes() const { return classes_; }

private:
    struct ExtensionEntry {
        std::string extension;
        std::string description;
        TFormatTypes formatTypes = 0;
        TGraphicClass graphicClass = nullptr;  // names its class entry
    };
    ClassEntry& Attach(TGraphicClass graphicClass, std::string_view commonDescription);
    void Release(TGraphicClass graphicClass);
    ClassEntry* EntryOf(TGraphicClass graphicClass);
    const ClassEntry* EntryOf(TGraphicClass graphicClass) const;

    PictureFormatTable& table_;
    std::vector<ClassEntry> classes_;
    std::vector<ExtensionEntry> extensions_;
};

// The program's platform picture table and its catalogue. The catalogue is created and
// filled on first use (start-up calls it before any window exists) and runs the shutdown
// order when the program ends.
PictureFormatTable& PlatformPictureTable();
TFileFormatList& FileFormatList();

}  // namespace vs

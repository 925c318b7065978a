#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vs {

class Prompts;

// The thumbnail grid as the file commands see it. Indexes are grid order; an item has a
// caption (its lower-cased name, as shown) and the real name the file has on disk.
class FileGrid {
public:
    virtual ~FileGrid() = default;
    // The folder shown, with its trailing '/'.
    virtual std::string Folder() const = 0;
    virtual int Count() const = 0;
    virtual std::string Caption(int index) const = 0;
    virtual std::string RealName(int index) const = 0;
    virtual bool Selected(int index) const = 0;
    // Later items move up by one.
    virtual void Remove(int index) = 0;
    // A new item for the file realName of the folder, its thumbnail still to be made.
    virtual void Add(const std::string& realName) = 0;
    // Rescans the folder.
    virtual void Refresh() = 0;
    // Selects the last item only, or clears the selection when the grid is empty.
    virtual void SelectLast() = 0;
};

// The progress window of bulk operations, with the hourglass cursor while it shows.
class BulkProgress {
public:
    virtual ~BulkProgress() = default;
    // Maximum `items`, position 0, hourglass, window shown.
    virtual void Begin(int items) = 0;
    virtual void Step() = 0;
    // Window closed, cursor restored.
    virtual void End() = 0;
};

// What the commands need besides the grid.
struct FileCommandContext {
    Prompts& prompts;
    BulkProgress& progress;
    // Selection changes reach the viewer only while this is true.
    bool& changesEnabled;
    // Called before a file leaves its folder: stops the media player when it shows path.
    std::function<void(const std::string& path)> releaseFile;
    // Removes one file: a plain delete, or a move to the Trash when the user asked for it.
    std::function<bool(const std::string& path)> deleteFile;
};

// The main window's private file clipboard (never the desktop's).
struct FileClipboardState {
    // Real names of the files taken; none when the last Copy or Cut found no selection.
    std::optional<std::vector<std::string>> names;
    std::string folder;  // with its trailing '/'
    bool isCut = false;
};

// Copy (isCut false) and Cut: the selected items' names and the grid's folder. Nothing
// happens to the files until Paste.
void TakeToClipboard(FileClipboardState& clip, const FileGrid& grid, bool isCut);

// Copies (or, after Cut, moves) the clipboard's files into the grid's folder, asking before
// replacing a file. False when it ended early: the same folder, or Cancel.
bool PasteFromClipboard(const FileClipboardState& clip, FileGrid& grid, FileCommandContext& ctx);

// Deletes the selected files with no question; the grid keeps showing what the viewer shows.
void DeleteSelectedFiles(FileGrid& grid, FileCommandContext& ctx);

// Moves the selected files into targetFolder (with its trailing '/'), asking before
// replacing a file; an item leaves the grid when its file has left the folder.
void MoveSelectedFiles(FileGrid& grid, const std::string& targetFolder, FileCommandContext& ctx);

// Copies files from another program into targetFolder, asking before replacing a file.
// The names of the files copied.
std::vector<std::string> CopyFilesInto(const std::vector<std::string>& paths, const std::string& targetFolder,
                                       Prompts& prompts, BulkProgress& progress);

}  // namespace vs

#pragma once

#include "app/RegistryFile.h"
#include "controls/FileTypes.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vs {

// Reads "Photo Folder" and the thirteen stored type flags. A missing value is written with
// the current default (photoFolder as given, a flag as true). Throws SettingsError from the
// first value of the wrong type or the first write that fails; the values before it are
// already applied, the ones after it are not.
void LoadSettings(SettingsKey& key, std::string& photoFolder, TypeFlags& flags);

// Writes "Photo Folder" and the thirteen stored flags, in that order.
void SaveSettings(SettingsKey& key, const std::string& photoFolder, const TypeFlags& flags);

// Values of our own beside the specified ones (comforts the original did not have): a
// missing value or one of the wrong type gives the fallback, so they can never stop the
// program from starting.
bool ReadOwnBool(const SettingsKey& key, std::string_view name, bool fallback);
std::string ReadOwnString(const SettingsKey& key, std::string_view name, std::string fallback);
int ReadOwnInteger(const SettingsKey& key, std::string_view name, int fallback);

// Whole numbers separated by commas ("177,392"); empty unless the text holds
// exactly `count` of them.
std::vector<int> ParseNumberList(std::string_view text, std::size_t count);
std::string NumberListText(const std::vector<int>& numbers);

// How the main window was left: our own values, stored when it closes. A value that is
// missing or unreadable leaves its field empty, and the window keeps its first-start layout
// for it.
struct WindowMemory {
    std::vector<int> geometry;  // left, top, width, height of the normal (not maximised) window
    bool maximised = false;
    std::vector<int> splitter1;  // left panel, right area
    std::vector<int> splitter3;  // grid panel, lower area
    std::string zoom;            // the checked zoom action's name
    std::string lastFolder;      // the folder the grid showed
};
WindowMemory LoadWindowMemory(const SettingsKey& key);
void SaveWindowMemory(SettingsKey& key, const WindowMemory& memory);

// Whether the grid reads and writes the desktop's shared thumbnail cache (on by default).
inline constexpr std::string_view kThumbnailCacheValue = "Thumbnail Cache";

// Whether each fold panel of the main window was left folded: our own values beside the
// original ones, "FoldPanel1 Folded" and "FoldPanel2 Folded" (dwords, 1 when folded).
struct FoldPanelState {
    bool foldPanel1 = false;
    bool foldPanel2 = false;
};
// A missing value, or one of the wrong type, leaves the panel unfolded; nothing is written.
FoldPanelState LoadFoldPanelState(const SettingsKey& key);
void SaveFoldPanelState(SettingsKey& key, const FoldPanelState& state);

// "Move To Trash": whether deleted files and folders go to the desktop's Trash (a dword, 1
// when on). A missing value, or one of the wrong type, means off; nothing is written.
bool LoadTrashSetting(const SettingsKey& key);
void SaveTrashSetting(SettingsKey& key, bool moveToTrash);

// "Slide Show Seconds": how long the slide show keeps each picture (a dword). A missing
// value, or one of the wrong type, gives 3; the rest is kept between 1 second and an hour.
inline constexpr int kSlideShowDefaultSeconds = 3;
int LoadSlideShowSeconds(const SettingsKey& key);
void SaveSlideShowSeconds(SettingsKey& key, int seconds);

}  // namespace vs

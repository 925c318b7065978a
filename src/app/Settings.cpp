#include "app/Settings.h"

#include <algorithm>
#include <utility>

namespace vs {

namespace {
constexpr std::string_view kPhotoFolderValue = "Photo Folder";
constexpr std::string_view kTrashValue = "Move To Trash";
constexpr std::string_view kFoldPanel1Value = "FoldPanel1 Folded";
constexpr std::string_view kFoldPanel2Value = "FoldPanel2 Folded";
constexpr std::string_view kWindowGeometryValue = "Window Geometry";
constexpr std::string_view kWindowMaximisedValue = "Window Maximized";
constexpr std::string_view kSplitter1Value = "Splitter1 Sizes";
constexpr std::string_view kSplitter3Value = "Splitter3 Sizes";
constexpr std::string_view kZoomValue = "Zoom Mode";
constexpr std::string_view kLastFolderValue = "Last Folder";
constexpr std::string_view kSlideShowSecondsValue = "Slide Show Seconds";
constexpr int kSlideShowMaxSeconds = 3600;

template <typename T>
T ReadOwn(const SettingsKey& key, std::string_view name, T fallback, T (SettingsKey::*read)(std::string_view) const) {
    try {
        return key.ValueExists(name) ? (key.*read)(name) : fallback;
    } catch (const SettingsError&) {
        return fallback;
    }
}
}  // namespace

void LoadSettings(SettingsKey& key, std::string& photoFolder, TypeFlags& flags) {
    if (key.ValueExists(kPhotoFolderValue))
        photoFolder = key.ReadString(kPhotoFolderValue);
    else
        key.WriteString(kPhotoFolderValue, photoFolder);
    for (const int type : StoredFlagOrder()) {
        const std::string_view name = FileTypes()[static_cast<std::size_t>(type)].suffix;
        bool& flag = flags[static_cast<std::size_t>(type)];
        if (key.ValueExists(name)) {
            flag = key.ReadBool(name);
        } else {
            flag = true;
            key.WriteBool(name, true);
        }
    }
}

void SaveSettings(SettingsKey& key, const std::string& photoFolder, const TypeFlags& flags) {
    key.WriteString(kPhotoFolderValue, photoFolder);
    for (const int type : StoredFlagOrder())
        key.WriteBool(FileTypes()[static_cast<std::size_t>(type)].suffix, flags[static_cast<std::size_t>(type)]);
}

bool ReadOwnBool(const SettingsKey& key, std::string_view name, bool fallback) {
    return ReadOwn(key, name, fallback, &SettingsKey::ReadBool);
}

std::string ReadOwnString(const SettingsKey& key, std::string_view name, std::string fallback) {
    return ReadOwn(key, name, std::move(fallback), &SettingsKey::ReadString);
}

int ReadOwnInteger(const SettingsKey& key, std::string_view name, int fallback) {
    return ReadOwn(key, name, fallback, &SettingsKey::ReadInteger);
}

std::vector<int> ParseNumberList(std::string_view text, std::size_t count) {
    std::vector<int> numbers;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        std::string_view part = text.substr(at, comma - at);
        // A screen left of or above the first has negative positions.
        const bool negative = !part.empty() && part[0] == '-';
        if (negative)
            part.remove_prefix(1);
        // Five digits are far beyond any screen; more could overflow an int.
        if (part.empty() || part.size() > 5 || part.find_first_not_of("0123456789") != std::string_view::npos)
            return {};
        int value = 0;
        for (const char c : part) value = value * 10 + (c - '0');
        numbers.push_back(negative ? -value : value);
        at = comma + 1;
    }
    if (numbers.size() != count)
        return {};
    return numbers;
}

std::string NumberListText(const std::vector<int>& numbers) {
    std::string text;
    for (const int n : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(n);
    }
    return text;
}

WindowMemory LoadWindowMemory(const SettingsKey& key) {
    WindowMemory memory;
    memory.geometry = ParseNumberList(ReadOwnString(key, kWindowGeometryValue, {}), 4);
    memory.maximised = ReadOwnBool(key, kWindowMaximisedValue, false);
    memory.splitter1 = ParseNumberList(ReadOwnString(key, kSplitter1Value, {}), 2);
    memory.splitter3 = ParseNumberList(ReadOwnString(key, kSplitter3Value, {}), 2);
    memory.zoom = ReadOwnString(key, kZoomValue, {});
    memory.lastFolder = ReadOwnString(key, kLastFolderValue, {});
    return memory;
}

void SaveWindowMemory(SettingsKey& key, const WindowMemory& memory) {
    key.WriteString(kWindowGeometryValue, NumberListText(memory.geometry));
    key.WriteBool(kWindowMaximisedValue, memory.maximised);
    key.WriteString(kSplitter1Value, NumberListText(memory.splitter1));
    key.WriteString(kSplitter3Value, NumberListText(memory.splitter3));
    key.WriteString(kZoomValue, memory.zoom);
    key.WriteString(kLastFolderValue, memory.lastFolder);
}

FoldPanelState LoadFoldPanelState(const SettingsKey& key) {
    return {ReadOwnBool(key, kFoldPanel1Value, false), ReadOwnBool(key, kFoldPanel2Value, false)};
}

void SaveFoldPanelState(SettingsKey& key, const FoldPanelState& state) {
    key.WriteBool(kFoldPanel1Value, state.foldPanel1);
    key.WriteBool(kFoldPanel2Value, state.foldPanel2);
}

bool LoadTrashSetting(const SettingsKey& key) { return ReadOwnBool(key, kTrashValue, false); }

void SaveTrashSetting(SettingsKey& key, bool moveToTrash) { key.WriteBool(kTrashValue, moveToTrash); }

int LoadSlideShowSeconds(const SettingsKey& key) {
    return std::clamp(ReadOwnInteger(key, kSlideShowSecondsValue, kSlideShowDefaultSeconds), 1, kSlideShowMaxSeconds);
}

void SaveSlideShowSeconds(SettingsKey& key, int seconds) { key.WriteInteger(kSlideShowSecondsValue, seconds); }

}  // namespace vs

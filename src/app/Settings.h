#pragma once

#include "app/RegistryFile.h"
#include "controls/FileTypes.h"

#include <string>

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

// Whether the grid reads and writes the desktop's shared thumbnail cache (on by default).
inline constexpr std::string_view kThumbnailCacheValue = "Thumbnail Cache";

}  // namespace vs

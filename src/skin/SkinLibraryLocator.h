#pragma once

// Where the selected skin library lives: the program settings name a folder
// ("Resource Path") and a skin ("Current Resource"); the library file is
// <folder><separator>Graphics_<skin>.ogr.

#include "ResourceLibrary.h"

#include <QString>

namespace mailvane::skin {

inline constexpr const char* ResourcePathSetting = "Resource Path";
inline constexpr const char* CurrentResourceSetting = "Current Resource";
inline constexpr const char* SkinLibraryPrefix = "Graphics_";
inline constexpr const char* SkinLibraryExtension = ".ogr";
// Each setting, and the composed path, must fit a buffer of 260 bytes with
// its terminating NUL.
inline constexpr int SkinPathLimit = 259;

// The library path for a folder and a skin name. A value over the limit
// counts as missing; a composed path over the limit gives an empty path
// rather than a cut one that could name some other file.
QString composeSkinLibraryPath(const QString& resourcePath, const QString& currentResource);

// The path named by the program settings; empty when neither value is set. A
// relative folder is taken relative to the program's own folder.
QString locateSkinLibrary();

// Loads the library named by the program settings; an empty handle when it
// is not configured or cannot be loaded. The caller owns the handle.
platform::LibraryHandle loadSkinLibrary();

} // namespace mailvane::skin

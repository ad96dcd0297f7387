#pragma once

// Stand-in for loading a resource-only library. A skin library is a Qt binary
// resource bundle (made with `rcc --binary`) registered under a resource root
// of its own; the handle is that root (":/mailvane-library-N"), and an empty
// handle means no library.
//
// Inside a bundle, bitmap resources live at BITMAP/<number or name>.bmp and
// resources of a named type at <TYPE>/<number>.<ext> (PNG/137.png, GIF/3.gif).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mailvane::platform {

using LibraryHandle = QString;

inline constexpr const char* BitmapResourceType = "BITMAP";

// Registers the bundle at `path`; returns its handle, or an empty handle when
// the file is missing, larger than MaxResourceBundleBytes or not a sound
// resource bundle (see isSoundResourceBundle).
LibraryHandle loadResourceLibrary(const QString& path);

// The same for a bundle already in memory; the library keeps its own copy.
LibraryHandle loadResourceLibraryData(const QByteArray& bundle);

// Unregisters the bundle and clears the handle. An empty handle is ignored.
void freeResourceLibrary(LibraryHandle& handle);

// The resource path of `name` of `type`, with any file extension, or an empty
// string when the library holds no such resource.
QString findResource(const LibraryHandle& handle, const QString& type, const QString& name);

// The resource's bytes, or an empty array when it is missing.
QByteArray loadResourceData(const LibraryHandle& handle, const QString& type, const QString& name);

// The resource types (folders) the library holds.
QStringList resourceTypes(const LibraryHandle& handle);

} // namespace mailvane::platform

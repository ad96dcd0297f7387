#pragma once

// Builds a resource bundle (a library for the resource stand-in) from files
// given in the test, with the same rcc the build uses.

#include "ResourceLibrary.h"
#include "TempDir.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace mailvane::test {

class TestResourceBundle
{
public:
    ~TestResourceBundle();

    // Adds `bytes` as <type>/<fileName> inside the bundle.
    void add(const QString& type, const QString& fileName, const QByteArray& bytes);
    // Adds a picture saved as BMP under BITMAP/<name>.bmp.
    void addBitmap(const QString& name, const QImage& image);
    // Adds a picture saved as PNG (alpha kept) under PNG/<name>.png.
    void addPng(const QString& name, const QImage& image);

    // Writes the bundle file; returns its path, empty when rcc failed.
    QString build();
    // Builds and loads the bundle; it is freed with this object.
    platform::LibraryHandle load();

private:
    TempDir m_folder;
    std::vector<QString> m_aliases;
    platform::LibraryHandle m_handle;
};

} // namespace mailvane::test

#include "ResourceLibrary.h"

#include "TempDir.h"
#include "TestResourceBundle.h"

#include <QFile>
#include <gtest/gtest.h>

namespace mailvane::platform {
namespace {

const QString Bitmap = QLatin1String(BitmapResourceType);

TEST(ResourceLibrary, findsResourcesByNumberAndName)
{
    test::TestResourceBundle bundle;
    bundle.add(Bitmap, QStringLiteral("140.bmp"), "bmp-140");
    bundle.add(Bitmap, QStringLiteral("IDB_BAR_TOP.bmp"), "bar");
    bundle.add(QStringLiteral("PNG"), QStringLiteral("137.png"), "png-137");
    const LibraryHandle library = bundle.load();
    ASSERT_FALSE(library.isEmpty());

    EXPECT_EQ(loadResourceData(library, Bitmap, QStringLiteral("140")), QByteArray("bmp-140"));
    EXPECT_EQ(loadResourceData(library, Bitmap, QStringLiteral("IDB_BAR_TOP")), QByteArray("bar"));
    EXPECT_EQ(loadResourceData(library, QStringLiteral("PNG"), QStringLiteral("137")),
              QByteArray("png-137"));
    // Neither a prefix of a name nor another type's resource is a match.
    EXPECT_TRUE(findResource(library, Bitmap, QStringLiteral("14")).isEmpty());
    EXPECT_TRUE(findResource(library, Bitmap, QStringLiteral("137")).isEmpty());
    EXPECT_TRUE(findResource(library, Bitmap, QString()).isEmpty());
    EXPECT_EQ(resourceTypes(library), (QStringList{Bitmap, QStringLiteral("PNG")}));
}

TEST(ResourceLibrary, twoLibrariesKeepTheirOwnResources)
{
    test::TestResourceBundle blue, green;
    blue.add(Bitmap, QStringLiteral("145.bmp"), "blue");
    green.add(Bitmap, QStringLiteral("145.bmp"), "green");
    const LibraryHandle first = blue.load();
    const LibraryHandle second = green.load();
    EXPECT_NE(first, second);
    EXPECT_EQ(loadResourceData(first, Bitmap, QStringLiteral("145")), QByteArray("blue"));
    EXPECT_EQ(loadResourceData(second, Bitmap, QStringLiteral("145")), QByteArray("green"));
}

TEST(ResourceLibrary, freeingEmptiesTheHandleAndForgetsTheResources)
{
    test::TestResourceBundle bundle;
    bundle.add(Bitmap, QStringLiteral("1.bmp"), "x");
    LibraryHandle library = loadResourceLibrary(bundle.build());
    ASSERT_FALSE(library.isEmpty());
    const LibraryHandle copy = library;
    freeResourceLibrary(library);
    EXPECT_TRUE(library.isEmpty());
    EXPECT_TRUE(loadResourceData(copy, Bitmap, QStringLiteral("1")).isEmpty());
    freeResourceLibrary(library); // an empty handle is ignored
    EXPECT_TRUE(library.isEmpty());
}

TEST(ResourceLibrary, missingOrForeignFileGivesEmptyHandle)
{
    test::TempDir folder;
    EXPECT_TRUE(
        loadResourceLibrary(QString::fromStdString((folder / "none.ogr").string())).isEmpty());
    const QString text = QString::fromStdString((folder / "text.ogr").string());
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a resource bundle");
    file.close();
    EXPECT_TRUE(loadResourceLibrary(text).isEmpty());
    EXPECT_TRUE(loadResourceLibrary(QString()).isEmpty());
    EXPECT_TRUE(resourceTypes(LibraryHandle()).isEmpty());
}

} // namespace
} // namespace mailvane::platform

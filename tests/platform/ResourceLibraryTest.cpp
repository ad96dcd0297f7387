#include "ResourceLibrary.h"

#include "ResourceBundleCheck.h"
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

// A bundle of one folder and one member, and where its parts are.
struct SmallBundle
{
    QByteArray bytes;
    qsizetype tree = 0; // the root node; the folder and the member follow
    qsizetype data = 0;

    static constexpr qsizetype NodeSize = 22; // version 2 and later

    SmallBundle()
    {
        test::TestResourceBundle bundle;
        bundle.add(Bitmap, QStringLiteral("1.bmp"), QByteArray(3000, 'x')); // compressed
        QFile file(bundle.build());
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        tree = number(8);
        data = number(12);
    }
    qsizetype number(qsizetype at) const
    {
        qsizetype value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
        return value;
    }
    QByteArray with(qsizetype at, std::uint32_t value) const
    {
        QByteArray changed = bytes;
        for (int i = 0; i < 4; ++i)
            changed[at + i] = static_cast<char>(value >> (24 - 8 * i));
        return changed;
    }
};

TEST(ResourceBundleCheck, damagedBundlesAreRefusedWithoutReadingPastThem)
{
    const SmallBundle small;
    ASSERT_GT(small.bytes.size(), 24);
    ASSERT_TRUE(isSoundResourceBundle(small.bytes));
    LibraryHandle sound = loadResourceLibraryData(small.bytes);
    EXPECT_EQ(loadResourceData(sound, Bitmap, QStringLiteral("1")), QByteArray(3000, 'x'));
    freeResourceLibrary(sound);

    // Node 0 is the root folder, node 1 BITMAP, node 2 the member.
    const qsizetype bitmapFolder = small.tree + SmallBundle::NodeSize;
    const qsizetype member = small.tree + 2 * SmallBundle::NodeSize;
    const std::pair<const char*, QByteArray> damaged[] = {
        {"cut short", small.bytes.first(small.bytes.size() - 1)},
        {"tree past the end", small.with(8, 0x7FFFFFF0)},
        {"folder holding itself", small.with(bitmapFolder + 10, 1)},
        {"folder children past the end", small.with(bitmapFolder + 6, 1000)},
        {"name past the end", small.with(member, 0x00FFFFFF)},
        {"member data past the end", small.with(member + 10, 0x00FFFFFF)},
        {"member length past the end",
         small.with(small.data + small.number(member + 10), 0x7FFFFFFF)},
        {"unknown version", small.with(4, 9)},
    };
    for (const auto& [defect, bytes] : damaged) {
        SCOPED_TRACE(defect);
        EXPECT_FALSE(isSoundResourceBundle(bytes));
        EXPECT_TRUE(loadResourceLibraryData(bytes).isEmpty());
    }
    for (qsizetype length = 0; length < small.bytes.size(); ++length)
        ASSERT_FALSE(isSoundResourceBundle(small.bytes.first(length))) << length;
}

TEST(ResourceBundleCheck, bundleOfTheLargestSizeLoadsOneByteMoreDoesNot)
{
    const SmallBundle small;
    QByteArray padded = small.bytes;
    padded.append(MaxResourceBundleBytes - padded.size(), '\0');
    LibraryHandle atLimit = loadResourceLibraryData(padded);
    EXPECT_FALSE(atLimit.isEmpty());
    EXPECT_EQ(loadResourceData(atLimit, Bitmap, QStringLiteral("1")).size(), 3000);
    freeResourceLibrary(atLimit);

    padded.append('\0');
    EXPECT_TRUE(loadResourceLibraryData(padded).isEmpty());
    test::TempDir folder;
    const QString path = QString::fromStdString((folder / "large.ogr").string());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(padded), padded.size());
    file.close();
    EXPECT_TRUE(loadResourceLibrary(path).isEmpty());
}

} // namespace
} // namespace mailvane::platform

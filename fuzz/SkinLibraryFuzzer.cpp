// A skin library from bytes, through the skin's own loader: the bundle check
// lets only bundles through whose every folder, name and member the resource
// system can read in bounds; each numbered member is then loaded into an
// image container as a skin loads it (bitmap, GIF, PNG, WBMP, OTA, any other
// picture), and what comes out keeps the container's and the picture limits.

#include "FuzzCheck.h"
#include "LayeredImage.h"
#include "PictureLimits.h"
#include "ResourceBundleCheck.h"
#include "ResourceLibrary.h"

#include <QDir>
#include <QGuiApplication>
#include <algorithm>

using namespace mailvane;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    platform::LibraryHandle library = platform::loadResourceLibraryData(bytes);
    FUZZ_CHECK(library.isEmpty() || platform::isSoundResourceBundle(bytes));
    if (library.isEmpty())
        return 0;
    for (const QString& type : platform::resourceTypes(library)) {
        const QDir folder(library + QLatin1Char('/') + type);
        for (const QString& entry : folder.entryList(QDir::Files)) {
            const QString name = entry.section(QLatin1Char('.'), 0, 0);
            const QByteArray member = platform::loadResourceData(library, type, name);
            FUZZ_CHECK(member.size() <= std::max<qint64>(static_cast<qint64>(size),
                                                         platform::MaxResourceMemberBytes));
            bool isNumber = false;
            const int number = name.toInt(&isNumber);
            if (!isNumber || number == 0)
                continue;
            skin::LayeredImage images;
            if (!images.loadFromResource(library, number, 0, 0))
                continue;
            const int frames = images.frameCount(0);
            FUZZ_CHECK(frames >= 1 && frames <= skin::LayeredImage::MaxFrames);
            const qint64 pixels = qint64{images.width(0)} * images.height(0);
            FUZZ_CHECK(pixels > 0 && pixels <= skin::MaxPicturePixels);
            FUZZ_CHECK(pixels * frames <=
                       std::max(skin::MaxAnimationPixels, skin::MaxPicturePixels));
        }
    }
    platform::freeResourceLibrary(library);
    FUZZ_CHECK(library.isEmpty());
    return 0;
}

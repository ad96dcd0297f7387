// Draws the default skin: every picture the program asks the skin library
// for, written under <folder>/BITMAP and <folder>/PNG, and a resource list
// <folder>/skin.qrc from which rcc makes the library, and the desktop icon
// at each size asked for, as <folder>/icons/<size>/mailvane.png.
//
// Usage: mailvane-skin-generator <folder> [<icon size>...]

#include "SkinCatalogue.h"
#include "SkinStyle.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <vector>

namespace {

using mailvane::skingen::SkinCatalogue;

bool writeSkin(const SkinCatalogue& catalogue, const QString& folder)
{
    QDir root(folder);
    QFile list(root.filePath(QStringLiteral("skin.qrc")));
    if (!root.mkpath(QStringLiteral("BITMAP")) || !root.mkpath(QStringLiteral("PNG")) ||
        !list.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream qrc(&list);
    qrc << "<RCC>\n  <qresource prefix=\"/\">\n";
    for (const auto& picture : catalogue.pictures()) {
        const bool isPng = picture.type == QLatin1String("PNG");
        const QString file = picture.type + QLatin1Char('/') + picture.name +
                             (isPng ? QStringLiteral(".png") : QStringLiteral(".bmp"));
        if (!picture.image.save(root.filePath(file), isPng ? "PNG" : "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return false;
        }
        qrc << "    <file>" << file << "</file>\n";
    }
    qrc << "  </qresource>\n</RCC>\n";
    return list.flush();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> [<icon size>...]\n", argv[0]);
        return 2;
    }
    std::vector<int> iconSizes;
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "%s: bad icon size '%s' (16 to 1024)\n", argv[0], argv[i]);
            return 2;
        }
        iconSizes.push_back(size);
    }
    SkinCatalogue catalogue;
    mailvane::skingen::addFramePictures(catalogue);
    mailvane::skingen::addButtonPictures(catalogue);
    mailvane::skingen::addTabPictures(catalogue);
    mailvane::skingen::addProductPictures(catalogue);
    // Every piece again at twice the resolution, for screens of two device
    // pixels per pixel (outlines and lettering as fine as the text).
    mailvane::skingen::setDrawingScale(2);
    mailvane::skingen::addTabPictures(catalogue);
    mailvane::skingen::addFramePictures(catalogue);
    mailvane::skingen::addButtonPictures(catalogue);
    mailvane::skingen::addProductPictures(catalogue);
    mailvane::skingen::setDrawingScale(1);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!writeSkin(catalogue, folder))
        return 1;
    for (int size : iconSizes) {
        const QString dir = folder + QStringLiteral("/icons/") + QString::number(size);
        if (!QDir().mkpath(dir) ||
            !mailvane::skingen::applicationIcon(size).save(dir + QStringLiteral("/mailvane.png")))
            return 1;
    }
    return 0;
}

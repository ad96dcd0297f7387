#include "TestResourceBundle.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>

namespace mailvane::test {
namespace {

QString inFolder(const TempDir& folder, const QString& name)
{
    return QString::fromStdString((folder / name.toStdString()).string());
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TestResourceBundle::~TestResourceBundle()
{
    platform::freeResourceLibrary(m_handle);
}

void TestResourceBundle::add(const QString& type, const QString& fileName, const QByteArray& bytes)
{
    const QString alias = type + QLatin1Char('/') + fileName;
    const QString local = QStringLiteral("file%1").arg(m_aliases.size());
    if (!writeFile(inFolder(m_folder, local), bytes))
        throw std::runtime_error("cannot write a bundle member");
    m_aliases.push_back(alias);
}

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        throw std::runtime_error("cannot encode a picture");
    return bytes;
}

} // namespace

void TestResourceBundle::addBitmap(const QString& name, const QImage& image)
{
    add(QLatin1String(platform::BitmapResourceType), name + QStringLiteral(".bmp"),
        encoded(image, "BMP"));
}

void TestResourceBundle::addPng(const QString& name, const QImage& image)
{
    add(QStringLiteral("PNG"), name + QStringLiteral(".png"), encoded(image, "PNG"));
}

QString TestResourceBundle::build()
{
    QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
    for (size_t i = 0; i < m_aliases.size(); ++i)
        qrc += QStringLiteral("<file alias=\"%1\">file%2</file>\n").arg(m_aliases[i]).arg(i);
    qrc += QStringLiteral("</qresource></RCC>\n");
    const QString qrcPath = inFolder(m_folder, QStringLiteral("bundle.qrc"));
    const QString output = inFolder(m_folder, QStringLiteral("bundle.ogr"));
    if (!writeFile(qrcPath, qrc.toUtf8()))
        return {};
    QProcess rcc;
    rcc.start(QStringLiteral(MAILVANE_RCC),
              {QStringLiteral("--binary"), qrcPath, QStringLiteral("-o"), output});
    if (!rcc.waitForFinished() || rcc.exitCode() != 0)
        return {};
    return output;
}

platform::LibraryHandle TestResourceBundle::load()
{
    platform::freeResourceLibrary(m_handle);
    m_handle = platform::loadResourceLibrary(build());
    return m_handle;
}

} // namespace mailvane::test

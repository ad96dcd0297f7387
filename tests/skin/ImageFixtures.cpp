#include "ImageFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace mailvane::test {
namespace {

constexpr int CodeSize = 8; // literal codes are 0..255, clear 256, end 257

class BitWriter
{
public:
    void put(unsigned code, int width)
    {
        m_accumulator |= code << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_bytes.append(char(m_accumulator & 0xFF));
            m_accumulator >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_bits > 0)
            m_bytes.append(char(m_accumulator & 0xFF));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    unsigned m_accumulator = 0;
    int m_bits = 0;
};

QByteArray lzw(const QList<std::uint8_t>& indices)
{
    constexpr unsigned clear = 1u << CodeSize;
    constexpr unsigned end = clear + 1;
    constexpr int width = CodeSize + 1;
    constexpr int literalsPerClear = (1 << CodeSize) - 2;
    BitWriter bits;
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % literalsPerClear == 0)
            bits.put(clear, width);
        bits.put(indices.at(i), width);
    }
    bits.put(end, width);
    return bits.finish();
}

void appendWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void appendSubBlocks(QByteArray& out, const QByteArray& data)
{
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray chunk = data.mid(i, 255);
        out.append(char(chunk.size()));
        out.append(chunk);
    }
    out.append('\0');
}

int tableBits(qsizetype entries)
{
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

} // namespace

QByteArray encodeGif(const GifDescription& description)
{
    QByteArray out("GIF89a");
    appendWord(out, description.screenWidth);
    appendWord(out, description.screenHeight);
    const int bits = tableBits(description.palette.size());
    out.append(char(0x80 | 0x70 | (bits - 1)));
    out.append(char(description.backgroundIndex));
    out.append('\0');
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < description.palette.size() ? description.palette.at(i) : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    if (description.netscapeLoops) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        appendWord(out, *description.netscapeLoops);
        out.append('\0');
    }
    for (const GifFrameDescription& frame : description.frames) {
        if (frame.withControl) {
            out.append("\x21\xF9\x04", 3);
            out.append(char((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0)));
            appendWord(out, frame.delay);
            out.append(char(frame.transparent >= 0 ? frame.transparent : 0));
            out.append('\0');
        }
        out.append(char(0x2C));
        appendWord(out, frame.left);
        appendWord(out, frame.top);
        appendWord(out, frame.width);
        appendWord(out, frame.height);
        out.append('\0');
        out.append(char(CodeSize));
        appendSubBlocks(out, lzw(frame.indices));
    }
    out.append(char(0x3B));
    return out;
}

QString buildLibrary(const QString& folder, const QMap<QString, QByteArray>& files)
{
    const QDir root(folder + QStringLiteral("/library"));
    QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = root.filePath(it.key());
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
            return {};
        qrc += QStringLiteral("<file>%1</file>\n").arg(it.key());
    }
    qrc += QStringLiteral("</qresource></RCC>\n");
    const QString qrcPath = root.filePath(QStringLiteral("library.qrc"));
    QFile qrcFile(qrcPath);
    if (!qrcFile.open(QIODevice::WriteOnly) || qrcFile.write(qrc.toUtf8()) < 0)
        return {};
    qrcFile.close();
    const QString bundle = folder + QStringLiteral("/Graphics_Test.ogr");
    QProcess rcc;
    rcc.start(QStringLiteral(MAILVANE_RCC),
              {QStringLiteral("--binary"), qrcPath, QStringLiteral("-o"), bundle});
    if (!rcc.waitForFinished(30000) || rcc.exitCode() != 0)
        return {};
    return bundle;
}

QByteArray encodeImage(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::uint32_t sectionPixel(const QImage& section, int x, int y)
{
    const uchar* p = section.constScanLine(y) + 3 * x;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

} // namespace mailvane::test

#include "ProgramVersion.h"

#include <QCoreApplication>
#include <QFile>

namespace mailvane::platform {
namespace {

constexpr qsizetype MaxRecord = 64;

// "a.b.c.d" at the start of `text`, each part 0..65535, ended by a NUL.
std::optional<FileVersion> parseRecord(QByteArrayView text)
{
    FileVersion version{};
    qsizetype at = 0;
    for (int part = 0; part < 4; ++part) {
        const qsizetype start = at;
        qint64 value = 0;
        while (at < text.size() && at - start < 6 && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + (text[at++] - '0');
        if (at == start || value > 0xFFFF)
            return std::nullopt;
        version[part] = int(value);
        const char expected = part < 3 ? '.' : '\0';
        if (at >= text.size() || text[at] != expected)
            return std::nullopt;
        ++at;
    }
    return version;
}

} // namespace

QString ProgramVersion::programFileOf(const QString& commandLine)
{
    const QChar quote = QLatin1Char('"');
    if (commandLine.startsWith(quote)) {
        const qsizetype end = commandLine.indexOf(quote, 1);
        return end < 0 ? commandLine.mid(1) : commandLine.mid(1, end - 1);
    }
    const qsizetype first = commandLine.indexOf(quote);
    return first < 0 ? commandLine : commandLine.left(first);
}

std::optional<FileVersion> ProgramVersion::readFileVersion(const QString& file)
{
    if (file.isEmpty())
        return std::nullopt;
    QFile program(file);
    if (!program.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = program.readAll();
    const QByteArrayView marker(MAILVANE_VERSION_MARKER);
    // The reader's own copy of the marker is in the program too; only an
    // occurrence followed by a well-formed version counts.
    for (qsizetype at = bytes.indexOf(marker); at >= 0; at = bytes.indexOf(marker, at + 1)) {
        const qsizetype start = at + marker.size();
        if (auto version = parseRecord(
                QByteArrayView(bytes).sliced(start, qMin(MaxRecord, bytes.size() - start))))
            return version;
    }
    return std::nullopt;
}

QString ProgramVersion::commandLine()
{
    QStringList parts = QCoreApplication::arguments();
    const QString program = QCoreApplication::applicationFilePath();
    QString line = QLatin1Char('"') + program + QLatin1Char('"');
    for (qsizetype i = 1; i < parts.size(); ++i)
        line += QLatin1Char(' ') + parts.at(i);
    return line;
}

} // namespace mailvane::platform

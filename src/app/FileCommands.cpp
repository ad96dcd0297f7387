#include "FileCommands.h"

#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"
#include "SkinFileDialog.h"
#include "SkinMessageBox.h"
#include "UiText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace mailvane::app {

namespace strings = settings::strings;
using widgets::SkinFileDialog;
using widgets::SkinMessageBox;

namespace {

constexpr unsigned OkExclamation = SkinMessageBox::MbOk | SkinMessageBox::MbIconExclamation;
constexpr unsigned YesNoExclamation = SkinMessageBox::MbYesNo | SkinMessageBox::MbIconExclamation;
constexpr unsigned YesNoCancelExclamation =
    SkinMessageBox::MbYesNoCancel | SkinMessageBox::MbIconExclamation;

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool canRead(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}

QString describe(const settings::WriteResult& result)
{
    switch (result.status) {
    case settings::WriteStatus::UnwritableValue:
        return QStringLiteral("a value holds a line break or a NUL character");
    case settings::WriteStatus::CannotOpen:
    case settings::WriteStatus::WriteFailed:
        if (result.systemError != 0)
            return QString::fromLocal8Bit(std::strerror(result.systemError));
        return result.status == settings::WriteStatus::CannotOpen
                   ? QStringLiteral("the file cannot be created")
                   : QStringLiteral("the file cannot be written");
    case settings::WriteStatus::Success:
        break;
    }
    return {};
}

} // namespace

FileCommands::FileCommands(QWidget* owner, const platform::LibraryHandle& skin)
    : m_owner(owner), m_skin(skin)
{}

int FileCommands::ask(const QString& text, settings::StringId caption, unsigned flags)
{
    return SkinMessageBox::show(m_owner, text, widgets::uiText(caption), flags);
}

QString FileCommands::askSavePath()
{
    widgets::FileDialogRequest request = widgets::FileDialogRequest::settingsFile();
    const int result = SkinFileDialog::save(
        request, m_skin, SkinFileDialog::FrameNames::settingsCommands(), m_owner);
    return result == SkinFileDialog::Chosen ? request.fileName : QString();
}

bool FileCommands::mayReplace(const QString& path, const QString& shownName)
{
    if (!canRead(path))
        return true;
    return ask(widgets::uiText(strings::SaveChangesToFile) + shownName + QLatin1Char(')'),
               strings::ReplaceExistingFile, YesNoExclamation) == SkinMessageBox::IdYes;
}

int FileCommands::write(const QString& path, const settings::EmailSettings& record)
{
    const settings::WriteResult result = settings::writeSettingsFile(toPath(path), record);
    if (result.ok())
        return Done;
    // A failed save must not pass for a completed one.
    ask(widgets::uiText(strings::SaveFailedMessage) + path + QStringLiteral(": ") +
            describe(result),
        strings::SaveFailedCaption, OkExclamation);
    return Stopped;
}

int FileCommands::save(QString& currentFile, const settings::EmailSettings& record)
{
    if (currentFile.isEmpty())
        return saveAs(currentFile, record);
    return write(currentFile, record);
}

int FileCommands::saveAs(QString& currentFile, const settings::EmailSettings& record)
{
    const QString path = askSavePath();
    if (path.isEmpty())
        return Stopped;
    // The question puts a blank before the name, after the blank that ends
    // the sentence.
    if (!mayReplace(path, QLatin1Char(' ') + QFileInfo(path).fileName()))
        return Stopped;
    return writeAs(path, currentFile, record);
}

int FileCommands::writeAs(const QString& path, QString& currentFile,
                          const settings::EmailSettings& record)
{
    const int result = write(path, record);
    // Until the file is written, the settings still belong to the old one.
    if (result == Done)
        currentFile = path;
    return result;
}

int FileCommands::saveChangesPrompt(QString& currentFile, const settings::EmailSettings& record)
{
    if (!currentFile.isEmpty()) {
        const int answer = ask(widgets::uiText(strings::SaveChangesToFile) +
                                   QFileInfo(currentFile).fileName() + QLatin1Char(')'),
                               strings::SaveChangesCaption, YesNoCancelExclamation);
        if (answer == SkinMessageBox::IdNo)
            return Done;
        if (answer != SkinMessageBox::IdYes)
            return Stopped; // Cancel, or the box closed by its title bar
        return write(currentFile, record);
    }

    const int answer = ask(widgets::uiText(strings::SaveChangesQuestion),
                           strings::SaveChangesCaption, YesNoCancelExclamation);
    if (answer == SkinMessageBox::IdNo)
        return Done;
    if (answer != SkinMessageBox::IdYes)
        return Stopped;
    const QString path = askSavePath();
    if (path.isEmpty() || !mayReplace(path, path))
        return Stopped;
    return writeAs(path, currentFile, record);
}

int FileCommands::open(QString& currentFile, settings::EmailSettings& record)
{
    widgets::FileDialogRequest request = widgets::FileDialogRequest::settingsFile();
    // The open dialog only hides the read-only box and adds no extension.
    request.flags = widgets::FileDialogRequest::OfnHideReadOnly;
    request.defaultExtension.clear();
    const int result = SkinFileDialog::open(
        request, m_skin, SkinFileDialog::FrameNames::settingsCommands(), m_owner);
    if (result != SkinFileDialog::Chosen)
        return Stopped;
    return openPath(request.fileName, currentFile, record);
}

int FileCommands::openPath(const QString& path, QString& currentFile,
                           settings::EmailSettings& record)
{
    const int result = read(path, record, QString());
    if (result == Done)
        currentFile = path;
    return result;
}

int FileCommands::readForwarded(const QString& path, settings::EmailSettings& record)
{
    return read(path, record, QStringLiteral("\n\n") + QDir::toNativeSeparators(path));
}

int FileCommands::read(const QString& path, settings::EmailSettings& record,
                       const QString& suffix)
{
    if (!canRead(path)) {
        ask(widgets::uiText(strings::FileNotFoundMessage) + suffix, strings::FileNotFoundCaption,
            OkExclamation);
        return Stopped;
    }
    const settings::ReadResult result = settings::readSettingsFile(toPath(path), record);
    if (result.ok())
        return Done;
    ask(widgets::uiText(strings::InvalidFileFormatMessage) + suffix,
        strings::InvalidFileFormatCaption, OkExclamation);
    return result.status == settings::ReadStatus::Invalid ? InvalidFile : Stopped;
}

} // namespace mailvane::app

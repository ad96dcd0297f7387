#include "ProgramSettings.h"

#include "ProgramLocation.h"

#include <QSettings>

namespace mailvane::platform {

QString readProgramSetting(const QString& name, const QString& programDir)
{
    const QSettings system(QSettings::NativeFormat, QSettings::SystemScope,
                           QLatin1String(ProgramSettingsOrganization),
                           QLatin1String(ProgramSettingsApplication));
    if (system.contains(name) || programDir.isEmpty())
        return system.value(name).toString();

    const std::filesystem::path installed =
        installedConfigDirectory(programDir.toStdString()) /
        (std::string(ProgramSettingsApplication) + ".conf");
    const QSettings beside(QString::fromStdString(installed.string()), QSettings::IniFormat);
    return beside.value(name).toString();
}

QString readProgramSetting(const QString& name)
{
    return readProgramSetting(name, QString::fromStdString(programDirectory().string()));
}

} // namespace mailvane::platform

#include "ProgramSettings.h"

#include <QSettings>

namespace mailvane::platform {

QString readProgramSetting(const QString& name)
{
    const QSettings store(QSettings::NativeFormat, QSettings::SystemScope,
                          QLatin1String(ProgramSettingsOrganization),
                          QLatin1String(ProgramSettingsApplication));
    return store.value(name).toString();
}

} // namespace mailvane::platform

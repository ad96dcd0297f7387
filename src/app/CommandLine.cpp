#include "CommandLine.h"

#include "ProgramOptions.h"

namespace mailvane::app {

CommandLine CommandLine::parse(const QStringList& arguments)
{
    const QString separator =
        QString::fromLatin1(EndOfOptions.data(), qsizetype(EndOfOptions.size()));
    const qsizetype end = arguments.indexOf(separator);
    const QStringList options = arguments.mid(0, end < 0 ? arguments.size() : end);
    const QStringList afterSeparator = end < 0 ? QStringList() : arguments.mid(end + 1);

    CommandLine line;
    for (const QString& option : options) {
        if (const ProgramOptionInfo* info = findProgramOption(option.toStdString())) {
            line.action = info->option == ProgramOption::Help ? Action::Help : Action::Version;
            return line;
        }
    }

    QStringList files;
    for (const QString& argument : options) {
        if (argument.startsWith(QLatin1Char('-'))) {
            line.action = Action::Refused;
            line.problem = QStringLiteral("unknown option \"%1\" (a file whose name starts with "
                                          "\"-\" goes after \"--\")")
                               .arg(argument);
            return line;
        }
        files.append(argument);
    }
    files.append(afterSeparator);
    if (files.size() > 1) {
        line.action = Action::Refused;
        line.problem =
            QStringLiteral("unexpected argument \"%1\": one FILE at most").arg(files.at(1));
        return line;
    }
    if (!files.isEmpty() && files.first().isEmpty()) {
        line.action = Action::Refused;
        line.problem = QStringLiteral("the FILE argument is empty");
        return line;
    }
    line.file = files.value(0);
    return line;
}

} // namespace mailvane::app

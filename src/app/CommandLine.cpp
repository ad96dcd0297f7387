#include "CommandLine.h"

namespace mailvane::app {

CommandLine CommandLine::parse(const QStringList& arguments)
{
    const QString separator = QStringLiteral("--");
    const qsizetype end = arguments.indexOf(separator);
    const QStringList options = arguments.mid(0, end < 0 ? arguments.size() : end);
    const QStringList afterSeparator = end < 0 ? QStringList() : arguments.mid(end + 1);

    CommandLine line;
    for (const QString& option : options) {
        if (option == QLatin1String("-h") || option == QLatin1String("--help")) {
            line.action = Action::Help;
            return line;
        }
        if (option == QLatin1String("-v") || option == QLatin1String("--version")) {
            line.action = Action::Version;
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

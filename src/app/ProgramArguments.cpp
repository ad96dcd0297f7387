#include "ProgramArguments.h"

#include "ProgramOptions.h"

#include <algorithm>

namespace mailvane::app {

ProgramArguments ProgramArguments::parse(const std::vector<std::string>& arguments)
{
    const auto separator = std::find(arguments.begin(), arguments.end(), EndOfOptions);

    ProgramArguments parsed;
    for (auto it = arguments.begin(); it != separator; ++it) {
        if (const ProgramOptionInfo* info = findProgramOption(*it)) {
            parsed.action = info->option == ProgramOption::Help ? Action::Help : Action::Version;
            return parsed;
        }
    }

    std::vector<std::string> files;
    for (auto it = arguments.begin(); it != separator; ++it) {
        if (it->starts_with('-')) {
            parsed.action = Action::Refused;
            parsed.problem = "unknown option \"" + *it +
                             "\" (a file whose name starts with \"-\" goes after \"--\")";
            return parsed;
        }
        files.push_back(*it);
    }
    if (separator != arguments.end())
        files.insert(files.end(), separator + 1, arguments.end());
    if (files.size() > 1) {
        parsed.action = Action::Refused;
        parsed.problem = "unexpected argument \"" + files[1] + "\": one FILE at most";
        return parsed;
    }
    if (!files.empty() && files.front().empty()) {
        parsed.action = Action::Refused;
        parsed.problem = "the FILE argument is empty";
        return parsed;
    }
    if (!files.empty())
        parsed.file = files.front();
    return parsed;
}

} // namespace mailvane::app

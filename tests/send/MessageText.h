#pragma once

// Reading a message box's text whose long lines the box breaks at blanks:
// where the breaks fall depends on a port or a folder name, what is said
// does not.

#include <QString>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace mailvane::test {

inline constexpr int MessageLineLimit = 80;

// The text's non-empty lines joined by blanks, after checking that none is
// longer than the limit.
inline std::string joinedLines(const std::string& text)
{
    std::string joined;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(QString::fromStdString(line).size(), MessageLineLimit) << line;
        if (!line.empty())
            joined += (joined.empty() ? "" : " ") + line;
    }
    return joined;
}

} // namespace mailvane::test

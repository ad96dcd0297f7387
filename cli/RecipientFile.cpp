#include "RecipientFile.h"

#include "Recipients.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace mailvane::cli {
namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

RecipientFileResult parseRecipientLines(std::string_view text, std::string_view name)
{
    RecipientFileResult result;
    for (std::size_t lineNumber = 1; !text.empty(); ++lineNumber) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        settings::RecipientList list = settings::parseRecipients(line);
        if (list.invalidPiece) {
            result.numbers.clear();
            result.invalidNumber = true;
            result.error = std::string(name) + ", line " + std::to_string(lineNumber) + ": " +
                           settings::invalidNumberMessage(*list.invalidPiece);
            return result;
        }
        for (std::string& number : list.numbers)
            result.numbers.push_back(std::move(number));
    }
    result.read = true;
    return result;
}

RecipientFileResult readRecipientFile(const std::string& path)
{
    RecipientFileResult result;
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : "the number list " + path;
    std::unique_ptr<std::FILE, FileCloser> opened;
    std::FILE* file = stdin;
    if (!standardInput) {
        opened.reset(std::fopen(path.c_str(), "rb"));
        if (!opened) {
            result.error = "cannot read " + name + ": " + std::strerror(errno);
            return result;
        }
        file = opened.get();
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    if (std::ferror(file)) {
        result.error = "cannot read " + name + ": " + std::strerror(errno);
        return result;
    }
    if (text.find('\0') != std::string::npos) {
        result.error = name + " is not a text file (it holds a NUL byte)";
        return result;
    }
    return parseRecipientLines(text, name);
}

} // namespace mailvane::cli

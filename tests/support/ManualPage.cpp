#include "ManualPage.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace mailvane::test {
namespace {

// roff writes a hyphen as "\-"; the page is compared in plain text.
std::string plain(std::string text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '-') {
            out += '-';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string firstWord(const std::string& text)
{
    std::istringstream words(text);
    std::string word;
    words >> word;
    if (word.size() >= 2 && word.front() == '"')
        word = word.substr(1, word.find('"', 1) - 1);
    return word;
}

} // namespace

ManualPage ManualPage::load(const std::filesystem::path& path)
{
    ManualPage page;
    std::ifstream in(path);
    if (!in)
        return page;
    page.read = true;

    // An option is a word of its own: "-h", "--to-file"; a font request or
    // quotes may stand around it.
    const std::regex tagOption(R"((?:^|[\s"])(--?[a-z][a-z0-9]*(?:-[a-z0-9]+)*)(?=$|[\s",=]))");
    const std::regex longOption(R"(--[a-z][a-z0-9]*(?:-[a-z0-9]+)*)");
    std::string part;
    bool tagFollows = false;
    std::string line;
    while (std::getline(in, line)) {
        line = plain(line);
        if (line.starts_with(".SH ")) {
            part = firstWord(line.substr(4));
        } else if (line.starts_with(".SS ")) {
            part = firstWord(line.substr(4));
            page.subsections.insert(part);
        }
        if (tagFollows) {
            // A font request's argument may hold the option: ".BI --pin \" PIN\"".
            const std::string tag = line.starts_with(".") ? line.substr(line.find(' ') + 1) : line;
            for (std::sregex_iterator it(tag.begin(), tag.end(), tagOption), end; it != end; ++it)
                page.defined[part].insert((*it)[1]);
        }
        tagFollows = line == ".TP";
        if (line.starts_with(".\\\""))
            continue; // a comment
        for (std::sregex_iterator it(line.begin(), line.end(), longOption), end; it != end; ++it)
            page.mentioned.insert(it->str());
    }
    return page;
}

} // namespace mailvane::test

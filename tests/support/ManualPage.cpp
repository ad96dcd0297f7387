#include "ManualPage.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>

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

bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isWordChar(char c) { return isLower(c) || (c >= '0' && c <= '9'); }

// The length of the option written at `at` ("-h", "--to-file": one or two
// dashes, a lower-case word, more words joined by single dashes), or 0.
std::size_t optionLength(const std::string& text, std::size_t at, bool longOnly)
{
    std::size_t i = at;
    if (i < text.size() && text[i] == '-')
        ++i;
    if (i < text.size() && text[i] == '-')
        ++i;
    const std::size_t dashes = i - at;
    if (dashes == 0 || (longOnly && dashes < 2) || i >= text.size() || !isLower(text[i]))
        return 0;
    while (i < text.size() && isWordChar(text[i]))
        ++i;
    while (i + 1 < text.size() && text[i] == '-' && isWordChar(text[i + 1])) {
        ++i;
        while (i < text.size() && isWordChar(text[i]))
            ++i;
    }
    return i - at;
}

// Options that stand as words of their own: a blank or a quote before, a
// blank, quote, comma or '=' after ("--pin PIN", "\"--to\"", "--jobs=N").
std::set<std::string> standaloneOptions(const std::string& text)
{
    std::set<std::string> found;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && text[at - 1] != ' ' && text[at - 1] != '\t' && text[at - 1] != '"')
            continue;
        const std::size_t length = optionLength(text, at, false);
        if (length == 0)
            continue;
        const std::size_t after = at + length;
        if (after == text.size() || std::string_view(" \t\",=").find(text[after]) != std::string_view::npos)
            found.insert(text.substr(at, length));
        at = after - 1;
    }
    return found;
}

// Every "--word" anywhere in the text.
std::set<std::string> longOptions(const std::string& text)
{
    std::set<std::string> found;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t length = optionLength(text, at, true);
        if (length == 0)
            continue;
        found.insert(text.substr(at, length));
        at += length - 1;
    }
    return found;
}

// A line of roff as it reads: the font request dropped, quotes taken away,
// blanks collapsed.
std::string readText(const std::string& line)
{
    std::string text =
        line.starts_with(".") ? line.substr(std::min(line.find(' '), line.size())) : line;
    std::string out;
    for (const char c : text) {
        if (c == '"')
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// "[ --pin PIN ]" as a synopsis shows it: "[--pin PIN]".
std::string tightBrackets(std::string text)
{
    for (std::size_t at; (at = text.find("[ ")) != std::string::npos;)
        text.erase(at + 1, 1);
    for (std::size_t at; (at = text.find(" ]")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

} // namespace

ManualPage ManualPage::load(const std::filesystem::path& path)
{
    ManualPage page;
    std::ifstream in(path);
    if (!in)
        return page;
    page.read = true;

    std::string part;
    bool tagFollows = false;
    bool inSynopsis = false;
    std::string line;
    while (std::getline(in, line)) {
        line = plain(line);
        if (line.starts_with(".SH ")) {
            part = firstWord(line.substr(4));
            inSynopsis = false;
        } else if (line.starts_with(".SS ")) {
            part = firstWord(line.substr(4));
            page.subsections.insert(part);
            inSynopsis = true;
        } else if (line.starts_with(".PP") || line.starts_with(".TP")) {
            if (inSynopsis)
                page.synopses[part] = tightBrackets(page.synopses[part]);
            inSynopsis = false;
        } else if (inSynopsis) {
            std::string& synopsis = page.synopses[part];
            synopsis += (synopsis.empty() ? "" : " ") + readText(line);
        }
        if (tagFollows) {
            // A font request's argument may hold the option: ".BI --pin \" PIN\"".
            const std::string tag = line.starts_with(".") ? line.substr(line.find(' ') + 1) : line;
            const std::set<std::string> options = standaloneOptions(tag);
            if (options.size() == 1) {
                const std::string text = readText(line);
                const std::string& option = *options.begin();
                const std::size_t after = text.find(option) + option.size();
                page.valueNames[part][option] =
                    after < text.size() ? text.substr(text.find_first_not_of(' ', after)) : "";
            }
            page.defined[part].merge(std::set<std::string>(options));
        }
        tagFollows = line == ".TP";
        if (line.starts_with(".\\\""))
            continue; // a comment
        page.mentioned.merge(longOptions(line));
    }
    return page;
}

} // namespace mailvane::test

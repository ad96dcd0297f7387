#include "ProgramSettings.h"

#include "PlainText.h"
#include "ProgramLocation.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

namespace mailvane::platform {
namespace {

using platform::percentDecoded;
using platform::trimmed;

// A settings file is a few lines; anything far larger is not one.
constexpr std::uintmax_t SettingsFileLimit = 1024 * 1024;

// A value: quoted stretches keep their blanks, backslash escapes as in C.
// Unquoted commas make a list, which has no single text: empty.
std::string unescapedValue(std::string_view text)
{
    std::string value;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            return {};
        } else if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            switch (next) {
            case 'n':
                value += '\n';
                break;
            case 't':
                value += '\t';
                break;
            case 'r':
                value += '\r';
                break;
            case 'a':
                value += '\a';
                break;
            case 'b':
                value += '\b';
                break;
            case 'f':
                value += '\f';
                break;
            case 'v':
                value += '\v';
                break;
            default:
                value += next;
                break;
            }
        } else {
            value += c;
        }
    }
    return value;
}

// The value of `name` in one INI file; nullopt when the file lacks it.
std::optional<std::string> valueInFile(const std::filesystem::path& file, std::string_view name)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error) ||
        std::filesystem::file_size(file, error) > SettingsFileLimit || error)
        return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::optional<std::string> found;
    std::string section;
    for (std::string line; std::getline(in, line);) {
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == ';' || text.front() == '#')
            continue;
        if (text.front() == '[') {
            const std::size_t end = text.find(']');
            section = percentDecoded(text.substr(1, end == std::string_view::npos ? end : end - 1));
            if (section == "General")
                section.clear();
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string key = percentDecoded(trimmed(text.substr(0, equals)));
        const std::string full = section.empty() ? key : section + '/' + key;
        // As in the Qt store, the last of two equal keys holds.
        if (full == name)
            found = unescapedValue(trimmed(text.substr(equals + 1)));
    }
    return found;
}

std::vector<std::filesystem::path> systemFolders()
{
    std::vector<std::filesystem::path> folders;
    const char* variable = std::getenv("XDG_CONFIG_DIRS");
    std::string_view list = variable ? variable : "";
    while (!list.empty()) {
        const std::size_t colon = list.find(':');
        const std::filesystem::path folder(list.substr(0, colon));
        if (folder.is_absolute())
            folders.push_back(folder);
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    if (folders.empty())
        folders.emplace_back("/etc/xdg");
    return folders;
}

} // namespace

std::string readProgramSetting(std::string_view name, const std::filesystem::path& programDir)
{
    const std::string application = std::string(ProgramSettingsApplication) + ".conf";
    const std::vector<std::filesystem::path> folders = systemFolders();
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& folder : folders)
        files.push_back(folder / ProgramSettingsOrganization / application);
    for (const std::filesystem::path& folder : folders)
        files.push_back(folder / (std::string(ProgramSettingsOrganization) + ".conf"));
    // Never a relative folder: that would read the current one.
    if (const std::filesystem::path installed = installedConfigDirectory(programDir);
        !installed.empty())
        files.push_back(installed / application);
    for (const std::filesystem::path& file : files)
        if (std::optional<std::string> value = valueInFile(file, name))
            return *value;
    return {};
}

std::string readProgramSetting(std::string_view name)
{
    return readProgramSetting(name, programDirectory());
}

} // namespace mailvane::platform

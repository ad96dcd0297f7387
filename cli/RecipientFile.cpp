#include "RecipientFile.h"

#include "CsvTable.h"
#include "Recipients.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace mailvane::cli {
namespace {

static_assert(MaxListNumbers == rows::csv::MaxRows);

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

RecipientFileResult readLines(rows::ByteSource& source, std::string_view name,
                              const rows::FileSource* file)
{
    RecipientFileResult result;
    rows::LineReader lines(source, rows::TableEncoding::Utf8, rows::csv::Limits);
    const auto refuse = [&](std::string error) {
        result.numbers.clear();
        result.error = std::move(error);
        return result;
    };
    while (const std::optional<std::string_view> line = lines.next()) {
        const std::string where =
            std::string(name) + ", line " + std::to_string(lines.lineNumber());
        const std::size_t first = line->find_first_not_of(" \t");
        if (first == std::string_view::npos || (*line)[first] == '#')
            continue;
        settings::RecipientList list = settings::parseRecipients(*line);
        if (list.invalidPiece) {
            result.invalidNumber = true;
            return refuse(where + ": " + settings::invalidNumberMessage(*list.invalidPiece));
        }
        if (result.numbers.size() + list.numbers.size() > MaxListNumbers)
            return refuse(where + ": the list has more than " + std::to_string(MaxListNumbers) +
                          " numbers");
        for (std::string& number : list.numbers)
            result.numbers.push_back(std::move(number));
    }
    if (lines.defect() == rows::TextDefect::ReadError && file)
        return refuse("cannot read " + std::string(name) + ": " + std::strerror(file->error()));
    if (lines.defect() != rows::TextDefect::None)
        return refuse(std::string(name) + ", line " + std::to_string(lines.lineNumber()) + ": " +
                      rows::describe(lines.defect(), rows::csv::Limits));
    result.read = true;
    return result;
}

} // namespace

RecipientFileResult parseRecipientLines(std::string_view text, std::string_view name)
{
    rows::MemorySource source(text);
    return readLines(source, name, nullptr);
}

RecipientFileResult readRecipientFile(const std::string& path)
{
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : "the number list " + path;
    std::unique_ptr<std::FILE, FileCloser> opened;
    std::FILE* file = stdin;
    if (!standardInput) {
        opened.reset(std::fopen(path.c_str(), "rb"));
        if (!opened) {
            RecipientFileResult result;
            result.error = "cannot read " + name + ": " + std::strerror(errno);
            return result;
        }
        file = opened.get();
    }
    rows::FileSource source(file);
    return readLines(source, name, &source);
}

} // namespace mailvane::cli

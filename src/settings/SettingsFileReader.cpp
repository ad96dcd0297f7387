#include "SettingsFileReader.h"

#include "SettingsFields.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

namespace mailvane::settings {
namespace {

bool isLeadingWhiteSpace(char c)
{
    // CR and LF are gone before this is asked.
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view withoutLeadingWhiteSpace(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isLeadingWhiteSpace(text[start]))
        ++start;
    return text.substr(start);
}

std::string withoutLineBreaks(std::string_view rawLine)
{
    std::string line;
    line.reserve(rawLine.size());
    for (char c : rawLine) {
        if (c != '\r' && c != '\n')
            line.push_back(c);
    }
    return line;
}

// Whether the word was one of the field's.
bool applyWord(const FieldInfo& spec, std::string_view value, EmailSettings& record)
{
    const std::string word = normaliseWord(value);
    if (spec.kind == FieldKind::CallSpeed) {
        // Unlike the other words, an unknown call speed clears the field.
        TextField& field = textValue(spec, record);
        field.reset();
        for (std::string_view speed : CallSpeedWords) {
            if (normaliseWord(speed) == word)
                field = std::string(speed);
        }
        return field.has_value();
    }
    for (int stored = 0; stored < 2; ++stored) {
        if (normaliseWord(spec.words->written[stored]) == word) {
            setNumberValue(spec, record, stored);
            return true;
        }
    }
    // Any other word leaves the field as it was.
    return false;
}

// Applies one line; returns what made it invalid, if anything.
LineDefect applyLine(std::string_view rawLine, EmailSettings& record)
{
    const std::string cleaned = withoutLineBreaks(rawLine);
    const std::string_view line = withoutLeadingWhiteSpace(cleaned);
    if (line.empty() || line.front() == '#')
        return LineDefect::None;

    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return LineDefect::MissingColon;
    const FieldInfo* spec = findReadableField(normaliseWord(line.substr(0, colon)));
    if (!spec)
        return LineDefect::UnknownKey;
    // A word that is none of the field's is no defect of a file.
    if (applyFieldValue(*spec, line.substr(colon + 1), record) == ValueOutcome::TooLong)
        return LineDefect::ValueTooLong;
    return LineDefect::None;
}

// Cuts bytes into lines as they arrive and applies each finished line, so
// that a file is read in one pass however it is delivered.
class LineApplier
{
public:
    explicit LineApplier(EmailSettings& record) : m_record(record) {}

    // Returns false once a line has made the file invalid.
    bool feed(std::string_view bytes)
    {
        for (char c : bytes) {
            if (c == '\0') {
                // Stop at once: a file of NULs without line feeds never ends a line.
                fail(LineDefect::NulByte);
                return false;
            }
            m_line.push_back(c);
            if (c == '\n' && !applyPending())
                return false;
        }
        return true;
    }

    // The last line need not end in a line feed.
    bool finish() { return m_line.empty() || applyPending(); }

    const ReadResult& result() const { return m_result; }

private:
    bool applyPending()
    {
        const LineDefect defect = applyLine(m_line, m_record);
        m_line.clear();
        ++m_lineNumber;
        if (defect == LineDefect::None)
            return true;
        m_result = {ReadStatus::Invalid, m_lineNumber, defect, 0};
        return false;
    }

    void fail(LineDefect defect) { m_result = {ReadStatus::Invalid, m_lineNumber + 1, defect, 0}; }

    EmailSettings& m_record;
    std::string m_line;
    std::size_t m_lineNumber = 0;
    ReadResult m_result;
};

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

ReadResult readSettingsText(std::string_view text, EmailSettings& record)
{
    if (text.size() > MaxSettingsFileBytes)
        return {ReadStatus::TooLarge, 0, LineDefect::None, 0};
    LineApplier applier(record);
    if (applier.feed(text))
        applier.finish();
    return applier.result();
}

ReadResult readSettingsFile(const std::filesystem::path& path, EmailSettings& record)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return {ReadStatus::CannotOpen, 0, LineDefect::None, errno};

    LineApplier applier(record);
    errno = 0;
    char buffer[4096];
    std::size_t count;
    std::size_t total = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        // Counted as read, not taken from the file's size: a pipe or a device
        // has none.
        total += count;
        if (total > MaxSettingsFileBytes)
            return {ReadStatus::TooLarge, 0, LineDefect::None, 0};
        if (!applier.feed(std::string_view(buffer, count)))
            return applier.result();
    }
    // A folder opens but cannot be read; neither can a failing disk.
    if (std::ferror(file.get()))
        return {ReadStatus::CannotOpen, 0, LineDefect::None, errno ? errno : EIO};
    applier.finish();
    return applier.result();
}

ValueOutcome applyFieldValue(const FieldInfo& spec, std::string_view rawValue,
                             EmailSettings& record)
{
    const std::string_view value = withoutLeadingWhiteSpace(rawValue);
    if (value.size() > *spec.readLimit)
        return ValueOutcome::TooLong;
    if (spec.kind == FieldKind::Text) {
        textValue(spec, record) = std::string(value);
        return ValueOutcome::Applied;
    }
    return applyWord(spec, value, record) ? ValueOutcome::Applied : ValueOutcome::UnknownWord;
}

std::string_view describeDefect(LineDefect defect)
{
    switch (defect) {
    case LineDefect::None:
        return "no defect";
    case LineDefect::MissingColon:
        return "the line is neither a comment nor \"key: value\"";
    case LineDefect::UnknownKey:
        return "the key is not a settings key";
    case LineDefect::ValueTooLong:
        return "the value is longer than its key allows";
    case LineDefect::NulByte:
        return "the line holds a NUL byte";
    }
    return "unknown defect";
}

} // namespace mailvane::settings

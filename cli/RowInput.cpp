#include "RowInput.h"

#include "CliSupport.h"
#include "SecurityOptions.h"

#include <cerrno>
#include <cstring>

namespace mailvane::cli {

namespace {

std::optional<rows::RowRules> rowRules(const Arguments& arguments,
                                       provisioning::SecurityMethod method,
                                       std::string_view command, int& status)
{
    rows::RowRules rules{method, std::nullopt, {}};
    if (const std::string* pin = arguments.option("pin"))
        rules.defaultPin = *pin;
    if (const std::string* shared = arguments.option("shared")) {
        std::string unknown;
        std::optional<std::vector<settings::FieldId>> fields =
            rows::parseSharedKeys(*shared, unknown);
        if (!fields) {
            status = commandUsageError(command, "--shared: '" + unknown +
                                                    "' is not a personal settings key");
            return std::nullopt;
        }
        rules.shared = std::move(*fields);
    }
    return rules;
}

std::optional<rows::TableEncoding> tableEncoding(const Arguments& arguments,
                                                 std::string_view command)
{
    const std::string* given = arguments.option("encoding");
    if (!given)
        return rows::TableEncoding::Utf8;
    if (auto encoding = rows::parseTableEncoding(*given))
        return encoding;
    commandUsageError(command,
                      "unknown encoding '" + *given + "'; use utf-8, windows-1252 or latin-1");
    return std::nullopt;
}

} // namespace

std::optional<RowOptions> rowOptions(const Arguments& arguments,
                                     provisioning::SecurityMethod method, std::string_view command,
                                     int& status)
{
    status = ExitUsage;
    if (!checkPinOption(arguments, method, false, command))
        return std::nullopt;
    std::optional<rows::RowRules> rules = rowRules(arguments, method, command, status);
    if (!rules)
        return std::nullopt;
    const std::optional<rows::TableEncoding> encoding = tableEncoding(arguments, command);
    if (!encoding)
        return std::nullopt;
    return RowOptions{std::move(*rules), *encoding};
}

// A pass reads the table from its start.
class RowPass::FileSource final : public rows::ByteSource
{
public:
    explicit FileSource(std::FILE* file) : m_file(file) { std::rewind(file); }
    std::optional<std::size_t> read(char* buffer, std::size_t size) override
    {
        return m_file.read(buffer, size);
    }

private:
    rows::FileSource m_file;
};

std::optional<TableFile> TableFile::open(const std::string& path)
{
    TableFile table;
    table.m_name = path == "-" ? "stdin" : path;
    const auto cannot = [&table](int error) {
        printError("cannot read the table " + table.m_name + ": " + std::strerror(error));
        return std::nullopt;
    };
    if (path != "-") {
        table.m_file.reset(std::fopen(path.c_str(), "rb"));
        if (!table.m_file)
            return cannot(errno);
        return table;
    }
    // Read twice (checked whole, then sent), standard input goes to a file
    // that vanishes with the program; one byte past the limit is enough to
    // refuse it.
    table.m_file.reset(std::tmpfile());
    if (!table.m_file)
        return cannot(errno);
    char buffer[65536];
    std::size_t total = 0;
    std::size_t got = 0;
    while (total <= rows::csv::MaxTableBytes &&
           (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        if (std::fwrite(buffer, 1, got, table.m_file.get()) != got)
            return cannot(errno ? errno : EIO);
        total += got;
    }
    if (std::ferror(stdin))
        return cannot(errno ? errno : EIO);
    if (std::fflush(table.m_file.get()) != 0)
        return cannot(errno ? errno : EIO);
    return table;
}

RowPass::RowPass(const TableFile& table, const RowSetup& setup)
    : m_table(table), m_source(std::make_unique<FileSource>(table.file())),
      m_stream(*m_source, setup.encoding),
      m_checker(setup.templateRecord, setup.rules, setup.tables)
{}

RowPass::~RowPass() = default;

std::vector<rows::RowDefect> RowPass::header()
{
    if (!m_stream.next(m_row)) {
        if (m_stream.defect() != rows::csv::Defect::None)
            return {};
        return {{1, {}, "the table is empty; its first line must name the columns", {}}};
    }
    return m_checker.readHeader(m_row);
}

RowPass::Step RowPass::next(rows::PersonRow& person, rows::RowDefect& defect)
{
    while (m_stream.next(m_row)) {
        if (rows::RowChecker::isBlank(m_row))
            continue;
        if (std::optional<rows::RowDefect> found = m_checker.readRow(m_row, person)) {
            defect = std::move(*found);
            return Step::Bad;
        }
        return Step::Good;
    }
    return m_stream.defect() == rows::csv::Defect::None ? Step::End : Step::Unreadable;
}

std::string RowPass::unreadable() const
{
    const std::size_t line = m_stream.defectLine();
    const std::string where =
        line > 0 ? m_table.name() + ":" + std::to_string(line) : m_table.name();
    return where + ": the table cannot be read: " +
           rows::csv::describe(m_stream.defect(), m_stream.textDefect());
}

RowParcels::RowParcels(const TableFile& table, const RowSetup& setup)
    : m_table(table), m_setup(setup)
{}

RowParcels::~RowParcels() = default;

Parcel* RowParcels::parcel(std::size_t line)
{
    if (!m_pass) {
        m_pass = std::make_unique<RowPass>(m_table, m_setup);
        if (!m_pass->header().empty()) {
            printError(m_table.name() + " changed since it was checked");
            return nullptr;
        }
    }
    // The rows come in the order checked; those not asked for (bad, or sent
    // before a resume) are passed over.
    rows::PersonRow person;
    rows::RowDefect defect;
    for (;;) {
        switch (m_pass->next(person, defect)) {
        case RowPass::Step::Good:
            if (person.line != line)
                continue;
            m_current = {std::move(person.record), std::move(person.security),
                         std::move(person.push)};
            return &m_current;
        case RowPass::Step::Bad:
            if (defect.line != line)
                continue;
            [[fallthrough]];
        case RowPass::Step::End:
            printError(m_table.name() + " changed since it was checked");
            return nullptr;
        case RowPass::Step::Unreadable:
            printError(m_pass->unreadable());
            return nullptr;
        }
    }
}

std::vector<Parcel> RowParcels::takeAll(std::vector<BatchItem>& items)
{
    std::vector<Parcel> parcels;
    parcels.reserve(items.size());
    for (BatchItem& item : items) {
        Parcel* next = parcel(item.parcel);
        if (!next)
            return {};
        item.parcel = parcels.size();
        parcels.push_back(std::move(*next));
    }
    return parcels;
}

int printEachRow(const TableFile& table, const RowSetup& setup,
                 const std::function<std::optional<std::string>(const rows::PersonRow&)>& text)
{
    // The first pass only checks, so that nothing is printed of a bad table.
    for (const bool printing : {false, true}) {
        RowPass pass(table, setup);
        std::string defects;
        for (const rows::RowDefect& defect : pass.header())
            defects += defectLine(table.name(), defect) + "\n";
        rows::PersonRow person;
        rows::RowDefect defect;
        RowPass::Step step = RowPass::Step::End;
        while (defects.empty() && (step = pass.next(person, defect)) != RowPass::Step::End) {
            if (step == RowPass::Step::Unreadable) {
                printError(pass.unreadable());
                return ExitFailure;
            }
            if (step == RowPass::Step::Bad) {
                defects += defectLine(table.name(), defect) + "\n";
                continue;
            }
            if (!printing)
                continue;
            const std::optional<std::string> out = text(person);
            if (!out || printOutput(*out) != ExitSuccess)
                return ExitFailure;
        }
        if (!defects.empty()) {
            defects.pop_back();
            printError(defects);
            printError("nothing was printed; 'mailvane-cli send --check-rows' lists every bad "
                       "row");
            return ExitFailure;
        }
    }
    return ExitSuccess;
}

std::string defectLine(const std::string& name, const rows::RowDefect& defect)
{
    std::string line = name + ":" + std::to_string(defect.line) + ": ";
    if (!defect.column.empty())
        line += defect.column + ": ";
    return line + defect.why;
}

} // namespace mailvane::cli

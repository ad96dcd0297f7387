#include "RowTable.h"

#include "Completeness.h"
#include "DocumentBuilder.h"
#include "Latin1Text.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"

#include <map>

namespace mailvane::rows {
namespace {

using provisioning::SecurityMethod;

// The number a cell dials, by the rule every send uses.
std::optional<std::string> dialledNumber(std::string_view cell)
{
    return settings::dialableNumber(cell);
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// "Yes, No": the words a flag or choice cell may hold, as the file writes them.
std::string valueWordList(const settings::FieldInfo& field)
{
    std::string list;
    const auto add = [&list](std::string_view word) {
        list += list.empty() ? "" : ", ";
        list += word;
    };
    if (field.kind == settings::FieldKind::CallSpeed) {
        for (const std::string_view word : settings::CallSpeedWords)
            add(word);
    } else {
        for (const std::string_view word : field.words->written)
            add(word);
    }
    return list;
}

// Which cell of a row holds what.
struct Columns
{
    std::vector<std::string> names; // as the header writes them
    std::optional<std::size_t> number;
    std::optional<std::size_t> pin;
    std::optional<std::size_t> imsi;
    std::vector<std::pair<std::size_t, const settings::FieldInfo*>> fields;
};

class RowReader
{
public:
    RowReader(const settings::EmailSettings& templateRecord, const RowRules& rules,
              const provisioning::TokenTables& tables)
        : m_template(templateRecord), m_rules(rules), m_tables(tables)
    {}

    // The columns of the header row; false when the table cannot be read.
    bool readHeader(const csv::Row& header, std::vector<RowDefect>& defects)
    {
        std::map<std::string, std::size_t, std::less<>> seen;
        for (std::size_t i = 0; i < header.cells.size(); ++i) {
            const std::string& name = header.cells[i];
            m_columns.names.push_back(name);
            const auto defect = [&](std::string why) {
                defects.push_back({header.line, name, std::move(why), {}});
            };
            const std::string key = settings::normaliseWord(name);
            if (key.empty()) {
                defects.push_back(
                    {header.line, {}, "column " + std::to_string(i + 1) + " has no name", {}});
                continue;
            }
            if (const auto earlier = seen.find(key); earlier != seen.end()) {
                defect("the same column as column " + std::to_string(earlier->second + 1));
                continue;
            }
            seen.emplace(key, i);
            if (key == NumberColumn) {
                m_columns.number = i;
            } else if (key == PinColumn) {
                if (!provisioning::usesPin(m_rules.method))
                    defect(std::string(securityName()) + " keys the push with the IMSI alone; "
                                                         "a PIN would not be asked for");
                m_columns.pin = i;
            } else if (key == ImsiColumn) {
                if (!provisioning::usesImsi(m_rules.method))
                    defect(std::string(securityName()) +
                           " keys the push with the PIN alone; an IMSI needs netwpin or "
                           "usernetwpin");
                m_columns.imsi = i;
            } else if (const settings::FieldInfo* field = settings::findReadableField(key)) {
                m_columns.fields.emplace_back(i, field);
            } else {
                defect("not a settings key, nor number, pin or imsi");
            }
        }
        const auto missing = [&](std::string why) {
            defects.push_back({header.line, {}, std::move(why), {}});
        };
        if (!m_columns.number)
            missing("there is no number column");
        if (provisioning::usesImsi(m_rules.method) && !m_columns.imsi)
            missing(std::string(securityName()) + " needs the IMSI of each SIM: there is no imsi "
                                                  "column");
        if (provisioning::usesPin(m_rules.method) && !m_columns.pin && !m_rules.defaultPin)
            missing("there is no pin column and no PIN for every row");
        return defects.empty();
    }

    // Reads one row into `person`; its first defect otherwise.
    std::optional<RowDefect> readRow(const csv::Row& row, PersonRow& person)
    {
        person.line = row.line;
        const auto defect = [&](std::optional<std::size_t> column, std::string why) {
            return RowDefect{row.line, column ? m_columns.names[*column] : std::string(),
                             std::move(why), numberCell(row)};
        };
        if (row.cells.size() != m_columns.names.size())
            return defect(std::nullopt, "the row has " + std::to_string(row.cells.size()) +
                                            " cells where the header names " +
                                            std::to_string(m_columns.names.size()) + " columns");

        const std::string_view numberText = trimmed(row.cells[*m_columns.number]);
        if (numberText.empty())
            return defect(m_columns.number, "there is no number");
        std::optional<std::string> number = dialledNumber(numberText);
        if (!number)
            return defect(m_columns.number, settings::invalidNumberMessage(numberText));
        if (const auto [earlier, added] = m_numbers.emplace(*number, row.line); !added)
            return defect(m_columns.number, *number + " is also the number on line " +
                                                std::to_string(earlier->second));
        person.number = std::move(*number);

        std::string pin;
        if (provisioning::usesPin(m_rules.method)) {
            const std::string_view cell = m_columns.pin ? trimmed(row.cells[*m_columns.pin]) : "";
            pin = cell.empty() ? m_rules.defaultPin.value_or("") : std::string(cell);
            if (pin.empty())
                return defect(m_columns.pin, "there is no PIN: the cell is empty and there is "
                                             "no PIN for every row");
            if (!provisioning::isPin(pin))
                return defect(m_columns.pin, "a PIN has 1 to " +
                                                 std::to_string(provisioning::MaxPinLength) +
                                                 " characters");
        }
        std::string_view imsi;
        if (provisioning::usesImsi(m_rules.method)) {
            imsi = trimmed(row.cells[*m_columns.imsi]);
            if (imsi.empty())
                return defect(m_columns.imsi, "there is no IMSI");
            if (!provisioning::isImsi(imsi))
                return defect(m_columns.imsi,
                              quoted(imsi) + " is not an IMSI (" +
                                  std::to_string(provisioning::MinImsiDigits) + " to " +
                                  std::to_string(provisioning::MaxImsiDigits) + " digits)");
        }

        person.record = m_template;
        for (const auto& [column, field] : m_columns.fields) {
            if (std::optional<std::string> why =
                    applyCell(row.cells[column], *field, person.record))
                return defect(column, std::move(*why));
        }
        settings::applyOpenDefaults(person.record);
        if (!person.record.isComplete())
            return defect(std::nullopt, "the settings are not complete; missing: " +
                                            settings::describeMissingFields(person.record));

        person.security = security(imsi, pin);
        const std::optional<std::string> document = provisioning::buildDocument(person.record);
        if (!document)
            return defect(std::nullopt, "the settings make a provisioning document longer than " +
                                            std::to_string(provisioning::MaxDocumentLength) +
                                            " characters");
        std::optional<std::string> push =
            provisioning::encodeProvisioningPush(m_tables, *document, person.security);
        if (!push)
            return defect(std::nullopt, "the settings cannot be encoded with this token table "
                                        "(a missing token or a push longer than one may be)");
        person.push = std::move(*push);
        return std::nullopt;
    }

private:
    std::string_view securityName() const
    {
        return provisioning::securityMethodName(m_rules.method);
    }

    std::string numberCell(const csv::Row& row) const
    {
        if (!m_columns.number || *m_columns.number >= row.cells.size())
            return {};
        return std::string(trimmed(row.cells[*m_columns.number]));
    }

    provisioning::PushSecurity security(std::string_view imsi, std::string_view pin) const
    {
        switch (m_rules.method) {
        case SecurityMethod::NetworkPin:
            return *provisioning::networkPinSecurity(imsi);
        case SecurityMethod::UserNetworkPin:
            return *provisioning::userNetworkPinSecurity(imsi, pin);
        case SecurityMethod::UserPin:
            break;
        }
        return provisioning::userPinSecurity(pin);
    }

    // Sets one settings cell; why it cannot be set otherwise. An empty cell
    // leaves the template's value.
    static std::optional<std::string> applyCell(std::string_view cell,
                                                const settings::FieldInfo& field,
                                                settings::EmailSettings& record)
    {
        if (trimmed(cell).empty())
            return std::nullopt;
        const Latin1Text text = latin1FromUtf8(cell);
        if (!text.ok())
            return text.error;
        // A quoted cell may span lines; a setting is one line of its file, and
        // what is pushed is what File > Save would keep.
        if (!settings::isWritableValue(text.text))
            return "holds a line break, which a setting cannot hold";
        switch (settings::applyFieldValue(field, text.text, record)) {
        case settings::ValueOutcome::Applied:
            return std::nullopt;
        case settings::ValueOutcome::TooLong:
            return "longer than the " + std::to_string(*field.readLimit) +
                   " characters the setting may have";
        case settings::ValueOutcome::UnknownWord:
            return quoted(trimmed(cell)) + " is not one of its words (" + valueWordList(field) +
                   ")";
        }
        return std::nullopt;
    }

    const settings::EmailSettings& m_template;
    const RowRules& m_rules;
    const provisioning::TokenTables& m_tables;
    Columns m_columns;
    std::map<std::string, std::size_t, std::less<>> m_numbers; // number -> first line
};

bool isBlank(const csv::Row& row)
{
    for (const std::string& cell : row.cells) {
        if (!trimmed(cell).empty())
            return false;
    }
    return true;
}

} // namespace

RowTable readRows(const csv::ParseResult& table, const settings::EmailSettings& templateRecord,
                  const RowRules& rules, const provisioning::TokenTables& tables)
{
    RowTable result;
    if (table.rows.empty()) {
        result.tableDefects.push_back(
            {1, {}, "the table is empty; its first line must name the columns", {}});
        return result;
    }
    RowReader reader(templateRecord, rules, tables);
    if (!reader.readHeader(table.rows.front(), result.tableDefects))
        return result;
    for (std::size_t i = 1; i < table.rows.size(); ++i) {
        const csv::Row& row = table.rows[i];
        if (isBlank(row))
            continue;
        ++result.rowCount;
        PersonRow person;
        if (std::optional<RowDefect> defect = reader.readRow(row, person))
            result.rowDefects.push_back(std::move(*defect));
        else
            result.rows.push_back(std::move(person));
    }
    return result;
}

} // namespace mailvane::rows

#include "RowTable.h"

#include "Completeness.h"
#include "DocumentBuilder.h"
#include "Latin1Text.h"
#include "OpenSettings.h"
#include "PushBuilder.h"
#include "Recipients.h"
#include "SettingsFileReader.h"
#include "SettingsFileWriter.h"
#include "PlainText.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

namespace mailvane::rows {
namespace {

using platform::trimmed;

using provisioning::SecurityMethod;

using settings::FieldId;

constexpr std::array<FieldId, 11> PersonalFields = {
    FieldId::Mailbox,
    FieldId::EmailAddress,
    FieldId::ReplyToAddress,
    FieldId::IncomingServerUsername,
    FieldId::IncomingServerPassword,
    FieldId::SmtpUsername,
    FieldId::SmtpPassword,
    FieldId::InBearerUsername,
    FieldId::InBearerPassword,
    FieldId::OutBearerUsername,
    FieldId::OutBearerPassword,
};

bool isPassword(FieldId id)
{
    return id == FieldId::IncomingServerPassword || id == FieldId::SmtpPassword ||
           id == FieldId::InBearerPassword || id == FieldId::OutBearerPassword;
}

bool isPersonal(FieldId id)
{
    return std::ranges::find(PersonalFields, id) != PersonalFields.end();
}

// Sets the field absent, whatever its kind.
void clearField(const settings::FieldInfo& field, settings::EmailSettings& record)
{
    std::visit([&record](const auto& access) { access.ref(record).reset(); }, field.access);
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
    std::vector<std::size_t> unnamed;
};

} // namespace

class RowChecker::Impl
{
public:
    Impl(const settings::EmailSettings& templateRecord, const RowRules& rules,
         const provisioning::TokenTables& tables)
        : m_template(templateRecord), m_rules(rules), m_tables(tables)
    {}

    // The columns of the header row; false when the table cannot be read.
    bool readHeader(const csv::Row& header, std::vector<RowDefect>& defects)
    {
        // Without a number column the first line is most likely a person's
        // row: nothing of it may be repeated.
        const bool hasNumber = std::ranges::any_of(header.cells, [](const std::string& cell) {
            return settings::normaliseWord(cell) == NumberColumn;
        });
        if (!hasNumber) {
            defects.push_back({header.line,
                               {},
                               "the first line is not a header: expected a `number` column",
                               {}});
            return false;
        }
        std::map<std::string, std::size_t, std::less<>> seen;
        for (std::size_t i = 0; i < header.cells.size(); ++i) {
            const std::string& name = header.cells[i];
            m_columns.names.push_back(name);
            const auto defect = [&](std::string why) {
                defects.push_back({header.line, name, std::move(why), {}});
            };
            const std::string key = settings::normaliseWord(name);
            if (key.empty()) {
                m_columns.unnamed.push_back(i); // ignored while its cells are empty
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
        if (const std::string leaked = unsharedPersonalValues(); !leaked.empty())
            missing("the template gives every row its " + leaked +
                    ": add a column for each (a cell of " + std::string(ClearMark) +
                    " clears it) or name them as shared (--shared)");
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
        if (!fitsColumns(row))
            return defect(std::nullopt, "the row has " + std::to_string(row.cells.size()) +
                                            " cells where the header names " +
                                            std::to_string(m_columns.names.size()) + " columns");
        for (const std::size_t column : m_columns.unnamed) {
            if (column < row.cells.size() && !trimmed(row.cells[column]).empty())
                return defect(std::nullopt, "column " + std::to_string(column + 1) +
                                                " has no name but this row has a value in it");
        }

        const std::string_view numberText = trimmed(row.cells[*m_columns.number]);
        if (numberText.empty())
            return defect(m_columns.number, "there is no number");
        std::optional<std::string> number = settings::dialableNumber(numberText);
        if (!number)
            return defect(m_columns.number, settings::invalidNumberMessage(numberText));
        // Compared as dialled: "+49 170-1" and "+491701" reach one phone.
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
                return defect(m_columns.pin, provisioning::pinDefect(pin));
        }
        std::string_view imsi;
        if (provisioning::usesImsi(m_rules.method)) {
            imsi = trimmed(row.cells[*m_columns.imsi]);
            if (imsi.empty())
                return defect(m_columns.imsi, "there is no IMSI");
            if (!provisioning::isImsi(imsi))
                return defect(m_columns.imsi,
                              "not an IMSI (" + std::to_string(provisioning::MinImsiDigits) +
                                  " to " + std::to_string(provisioning::MaxImsiDigits) +
                                  " digits)");
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
    // Every row needs as many cells as there are columns; a spreadsheet may
    // leave off the empty cells of trailing unnamed columns, or add some.
    bool fitsColumns(const csv::Row& row) const
    {
        const std::size_t columns = m_columns.names.size();
        if (row.cells.size() > columns)
            return std::all_of(row.cells.begin() + static_cast<std::ptrdiff_t>(columns),
                               row.cells.end(),
                               [](const std::string& cell) { return trimmed(cell).empty(); });
        for (std::size_t i = row.cells.size(); i < columns; ++i) {
            if (std::ranges::find(m_columns.unnamed, i) == m_columns.unnamed.end())
                return false;
        }
        return true;
    }

    // "Mailbox, SMTP Password": the personal values of the template that no
    // column replaces and the rules do not share.
    std::string unsharedPersonalValues() const
    {
        std::string list;
        for (const FieldId id : PersonalFields) {
            const settings::FieldInfo& field = settings::fieldInfo(id);
            const bool hasColumn = std::ranges::any_of(
                m_columns.fields, [id](const auto& column) { return column.second->id == id; });
            if (hasColumn || std::ranges::find(m_rules.shared, id) != m_rules.shared.end() ||
                !settings::isNonEmpty(settings::textValue(field, m_template)))
                continue;
            list += list.empty() ? "" : ", ";
            list += field.key;
        }
        return list;
    }

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
    // leaves the template's value, ClearMark clears it.
    static std::optional<std::string> applyCell(std::string_view rawCell,
                                                const settings::FieldInfo& field,
                                                settings::EmailSettings& record)
    {
        const std::string_view cell = trimmed(rawCell);
        if (cell.empty())
            return std::nullopt;
        if (cell == ClearMark) {
            clearField(field, record);
            return std::nullopt;
        }
        if (isPassword(field.id) && cell.size() != rawCell.size())
            return "the password begins or ends with a blank, which a spreadsheet may have "
                   "added; no password is sent with one";
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
            return "not one of its words (" + valueWordList(field) + ")";
        }
        return std::nullopt;
    }

    const settings::EmailSettings& m_template;
    const RowRules& m_rules;
    const provisioning::TokenTables& m_tables;
    Columns m_columns;
    std::unordered_map<std::string, std::size_t> m_numbers; // number as dialled -> first line
};

RowChecker::RowChecker(const settings::EmailSettings& templateRecord, const RowRules& rules,
                       const provisioning::TokenTables& tables)
    : m_impl(std::make_unique<Impl>(templateRecord, rules, tables))
{}

RowChecker::~RowChecker() = default;

std::vector<RowDefect> RowChecker::readHeader(const csv::Row& header)
{
    std::vector<RowDefect> defects;
    m_impl->readHeader(header, defects);
    return defects;
}

std::optional<RowDefect> RowChecker::readRow(const csv::Row& row, PersonRow& person)
{
    return m_impl->readRow(row, person);
}

bool RowChecker::isBlank(const csv::Row& row)
{
    return std::ranges::all_of(row.cells,
                               [](const std::string& cell) { return trimmed(cell).empty(); });
}

std::span<const settings::FieldId> personalFields()
{
    return PersonalFields;
}

std::optional<std::vector<settings::FieldId>> parseSharedKeys(std::string_view list,
                                                              std::string& unknown)
{
    std::vector<settings::FieldId> fields;
    for (;;) {
        const std::size_t comma = list.find(',');
        const std::string_view piece = trimmed(list.substr(0, comma));
        if (!piece.empty()) {
            const settings::FieldInfo* field =
                settings::findReadableField(settings::normaliseWord(piece));
            if (!field || !isPersonal(field->id)) {
                unknown = std::string(piece);
                return std::nullopt;
            }
            fields.push_back(field->id);
        }
        if (comma == std::string_view::npos)
            return fields;
        list.remove_prefix(comma + 1);
    }
}

RowTable readRows(const csv::ParseResult& table, const settings::EmailSettings& templateRecord,
                  const RowRules& rules, const provisioning::TokenTables& tables)
{
    RowTable result;
    if (table.rows.empty()) {
        result.tableDefects.push_back(
            {1, {}, "the table is empty; its first line must name the columns", {}});
        return result;
    }
    RowChecker reader(templateRecord, rules, tables);
    result.tableDefects = reader.readHeader(table.rows.front());
    if (!result.tableDefects.empty())
        return result;
    for (std::size_t i = 1; i < table.rows.size(); ++i) {
        const csv::Row& row = table.rows[i];
        if (RowChecker::isBlank(row))
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

#include "Completeness.h"

namespace mailvane::settings {
namespace {

void checkGroup(const ConnectionSettings& group, Direction direction,
                std::vector<MissingField>& missing)
{
    const auto id = [direction](GroupField field) {
        return groupFieldId(direction, field);
    };
    const auto require = [&](GroupField field, GroupField reason) {
        missing.push_back({id(field), id(reason)});
    };

    if (group.proxies == values::Yes) {
        if (isNonEmpty(group.primaryProxyPort) && !isNonEmpty(group.primaryProxy))
            require(GroupField::PrimaryProxy, GroupField::PrimaryProxyPort);
        if (isNonEmpty(group.secondaryProxyPort) && !isNonEmpty(group.secondaryProxy))
            require(GroupField::SecondaryProxy, GroupField::SecondaryProxyPort);
        if (!group.dataBearer.has_value()) {
            if (isNonEmpty(group.primaryProxy))
                require(GroupField::DataBearer, GroupField::PrimaryProxy);
            else if (isNonEmpty(group.secondaryProxy))
                require(GroupField::DataBearer, GroupField::SecondaryProxy);
        }
    }
    if (!group.dataBearer.has_value())
        return;
    if (*group.dataBearer == values::Gprs) {
        if (!isNonEmpty(group.gprsAccessPoint))
            require(GroupField::GprsAccessPoint, GroupField::DataBearer);
    } else if (!isNonEmpty(group.gsmDialUpNumber)) {
        require(GroupField::GsmDialUpNumber, GroupField::DataBearer);
    }
    if (!group.bearerAuthenticationType.has_value()) {
        if (isNonEmpty(group.bearerUsername))
            require(GroupField::BearerAuthenticationType, GroupField::BearerUsername);
        else if (isNonEmpty(group.bearerPassword))
            require(GroupField::BearerAuthenticationType, GroupField::BearerPassword);
    }
}

} // namespace

std::vector<MissingField> missingFields(const EmailSettings& record)
{
    std::vector<MissingField> missing;
    if (isNonEmpty(record.incomingPort) && !isNonEmpty(record.incomingServer))
        missing.push_back({FieldId::IncomingServer, FieldId::IncomingPort});
    if (isNonEmpty(record.outgoingPort) && !isNonEmpty(record.outgoingServer))
        missing.push_back({FieldId::OutgoingServer, FieldId::OutgoingPort});
    checkGroup(record.outgoing, Direction::Outgoing, missing);
    checkGroup(record.incoming, Direction::Incoming, missing);
    return missing;
}

std::string describeMissingFields(const EmailSettings& record)
{
    std::string text;
    for (const MissingField& missing : missingFields(record)) {
        if (!text.empty())
            text += "; ";
        text += fieldInfo(missing.field).key;
        text += " (required by ";
        text += fieldInfo(missing.reason).key;
        text += ')';
    }
    return text;
}

} // namespace mailvane::settings

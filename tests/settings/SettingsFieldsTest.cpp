#include "SettingsFields.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

using namespace mailvane::settings;

namespace {

// The keys the reader knows, in its lower-case blank-free form, with the
// longest value it accepts for each.
const std::map<std::string, std::size_t> ReaderKeys = {
    {"mailbox", 50},
    {"e-mailaddress", 80},
    {"outgoingserver", 80},
    {"incomingservertype", 1000},
    {"incomingserver", 80},
    {"incomingserverusername", 50},
    {"incomingserverpassword", 50},
    {"smtpauthorization", 1000},
    {"smtpusername", 50},
    {"smtppassword", 50},
    {"outgoingport", 5},
    {"incomingport", 5},
    {"reply-toaddress", 80},
    {"retrievee-mails", 4},
    {"retrievemethod", 1000},
    {"securelogin", 1000},
    {"inproxies", 1000},
    {"inprimaryproxy", 100},
    {"inprimaryproxyport", 5},
    {"insecondaryproxy", 100},
    {"insecondaryproxyport", 5},
    {"indatabearer", 1000},
    {"ingprsaccesspoint", 100},
    {"ingsmdial-upnumber", 20},
    {"ingsmdatacalltype", 1000},
    {"ingsmdatacallspeed", 1000},
    {"inbearerusername", 45},
    {"inbearerpassword", 20},
    {"inbearerauthenticationtype", 100},
    {"outproxies", 1000},
    {"outprimaryproxy", 100},
    {"outprimaryproxyport", 5},
    {"outsecondaryproxy", 100},
    {"outsecondaryproxyport", 5},
    {"outdatabearer", 1000},
    {"outgprsaccesspoint", 100},
    {"outgsmdial-upnumber", 20},
    {"outgsmdatacalltype", 1000},
    {"outgsmdatacallspeed", 1000},
    {"outbearerusername", 45},
    {"outbearerpassword", 20},
    {"outbearerauthenticationtype", 100},
};

} // namespace

TEST(SettingsFields, readerKnowsExactlyTheFortyTwoKeysWithTheirLimits)
{
    std::map<std::string, std::size_t> readable;
    for (const FieldInfo& spec : allFields()) {
        if (spec.readLimit)
            readable[normaliseWord(spec.key)] = *spec.readLimit;
    }
    EXPECT_EQ(readable, ReaderKeys);
    for (const auto& [key, limit] : ReaderKeys) {
        const FieldInfo* spec = findReadableField(key);
        ASSERT_NE(spec, nullptr) << key;
        EXPECT_EQ(spec->readLimit, limit) << key;
    }
}

TEST(SettingsFields, fieldsTheWriterKeepsAreNotReadable)
{
    for (const char* key : {"to", "myname", "includesignature"})
        EXPECT_EQ(findReadableField(key), nullptr) << key;
    EXPECT_EQ(fieldInfo(FieldId::MyName).key, "My Name");
    EXPECT_EQ(fieldInfo(FieldId::IncludeSignature).key, "Include Signature");
}

TEST(SettingsFields, tableIsInFieldIdOrderAndReachesDistinctMembers)
{
    // Every accessor must reach its own member: set each field through the
    // table and see that exactly one field of the record changed.
    ASSERT_EQ(allFields().size(), FieldCount);
    for (std::size_t i = 0; i < FieldCount; ++i) {
        const FieldInfo& spec = allFields()[i];
        EXPECT_EQ(static_cast<std::size_t>(spec.id), i) << spec.key;
        EmailSettings record;
        if (spec.kind == FieldKind::Text || spec.kind == FieldKind::CallSpeed) {
            textValue(spec, record) = "x";
            EXPECT_EQ(textValue(spec, std::as_const(record)), "x");
        } else {
            setNumberValue(spec, record, 1);
            EXPECT_EQ(numberValue(spec, record), 1);
        }
        int changed = 0;
        for (const FieldInfo& other : allFields()) {
            const bool present =
                (other.kind == FieldKind::Text || other.kind == FieldKind::CallSpeed)
                    ? textValue(other, std::as_const(record)).has_value()
                    : numberValue(other, record).has_value();
            changed += present ? 1 : 0;
        }
        EXPECT_EQ(changed, 1) << spec.key;
    }
}

TEST(SettingsFields, groupFieldsOfBothDirectionsMatchByPosition)
{
    for (int field = 0; field <= static_cast<int>(GroupField::GsmDataCallSpeed); ++field) {
        const auto groupField = static_cast<GroupField>(field);
        const FieldInfo& in = fieldInfo(groupFieldId(Direction::Incoming, groupField));
        const FieldInfo& out = fieldInfo(groupFieldId(Direction::Outgoing, groupField));
        EXPECT_EQ("Out" + std::string(in.key.substr(2)), out.key);
        EXPECT_EQ(in.kind, out.kind);
        EXPECT_EQ(in.readLimit, out.readLimit);
        EXPECT_EQ(&groupFieldInfo(groupField), &in);

        // Through the group a page holds, the same member as through the record.
        for (const FieldInfo* spec : {&in, &out}) {
            EmailSettings record;
            ConnectionSettings& group = spec == &in ? record.incoming : record.outgoing;
            if (spec->kind == FieldKind::Text || spec->kind == FieldKind::CallSpeed) {
                textValue(*spec, group) = "via group";
                EXPECT_EQ(textValue(*spec, std::as_const(record)), "via group") << spec->key;
                EXPECT_EQ(textValue(*spec, std::as_const(group)), "via group") << spec->key;
            } else {
                setNumberValue(*spec, group, 1);
                EXPECT_EQ(numberValue(*spec, record), 1) << spec->key;
                EXPECT_EQ(numberValue(*spec, std::as_const(group)), 1) << spec->key;
            }
        }
    }
    EXPECT_FALSE(fieldInfo(FieldId::Mailbox).groupAccess.has_value());
}

TEST(SettingsFields, valueWordsAsWrittenAndAsShown)
{
    struct Case
    {
        FieldId id;
        const char* written[2];
        const char* shown[2];
    };
    const Case cases[] = {
        {FieldId::SmtpAuthorization, {"No", "Yes"}, {"No", "Yes"}},
        {FieldId::IncomingServerType, {"POP3", "IMAP4"}, {"POP3", "IMAP4"}},
        {FieldId::RetrieveMethod, {"Latest", "Latest-Unread"}, {"Latest", "Latest unread"}},
        {FieldId::OutDataBearer, {"GPRS", "GSM Data"}, {"GPRS", "GSM data"}},
        {FieldId::InBearerAuthenticationType, {"Normal", "Secure"}, {"Normal", "Secure"}},
        {FieldId::InGsmDataCallType, {"Analog", "ISDN"}, {"Analog", "ISDN"}},
    };
    for (const Case& c : cases) {
        const FieldInfo& spec = fieldInfo(c.id);
        for (int value = 0; value < 2; ++value) {
            EXPECT_EQ(writtenWord(spec, value), c.written[value]) << spec.key;
            EXPECT_EQ(shownWord(spec, value), c.shown[value]) << spec.key;
        }
    }
}

TEST(SettingsFields, normalisedWordDropsBlanksAndTabsAndLowersAsciiOnly)
{
    EXPECT_EQ(normaliseWord("E - MAIL\tAddress"), "e-mailaddress");
    // ISO-8859-1 letters stay as they are.
    EXPECT_EQ(normaliseWord("\xC4 B"), "\xC4"
                                       "b");
}

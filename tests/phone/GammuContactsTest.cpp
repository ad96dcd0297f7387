#include "GammuContacts.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace mailvane::phone;

namespace {

void setText(GSM_SubMemoryEntry& field, const std::u16string& text)
{
    std::size_t at = 0;
    for (const char16_t unit : text) {
        field.Text[at++] = static_cast<unsigned char>(unit >> 8);
        field.Text[at++] = static_cast<unsigned char>(unit & 0xFF);
    }
    field.Text[at] = field.Text[at + 1] = 0;
}

GSM_MemoryEntry
entryOf(std::initializer_list<std::tuple<GSM_EntryType, GSM_EntryLocation, std::u16string>> fields)
{
    GSM_MemoryEntry entry;
    std::memset(&entry, 0, sizeof entry);
    for (const auto& [type, location, text] : fields) {
        GSM_SubMemoryEntry& field = entry.Entries[entry.EntriesNum++];
        field.EntryType = type;
        field.Location = location;
        setText(field, text);
    }
    return entry;
}

} // namespace

TEST(GammuContacts, numberTypesAndPlacesMapOntoTheOfferedKinds)
{
    struct Case
    {
        GSM_EntryType type;
        GSM_EntryLocation location;
        std::int32_t kind;
    };
    const Case cases[] = {
        {PBK_Number_General, PBK_Location_Unknown, values::FieldKindGeneralNumber},
        {PBK_Number_Mobile, PBK_Location_Unknown, values::FieldKindMobileNumber},
        {PBK_Number_General, PBK_Location_Home, values::FieldKindHomeNumber},
        {PBK_Number_Mobile, PBK_Location_Work, values::FieldKindWorkNumber},
        {PBK_Number_Fax, PBK_Location_Unknown, 0},
        {PBK_Number_Pager, PBK_Location_Work, 0},
        {PBK_Text_Email, PBK_Location_Unknown, 0},
        {PBK_Text_Name, PBK_Location_Unknown, values::FieldKindName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        const DeviceContact contact = contactFromEntry(entryOf({{c.type, c.location, u"x"}}));
        ASSERT_EQ(contact.fields.size(), 1u);
        EXPECT_EQ(contact.fields[0].kind, c.kind);
        EXPECT_EQ(contact.fields[0].value, u"x");
    }
}

TEST(GammuContacts, firstAndLastNameMakeTheNameWhenThereIsNone)
{
    const DeviceContact split =
        contactFromEntry(entryOf({{PBK_Text_FirstName, PBK_Location_Unknown, u"Zoë"},
                                  {PBK_Text_LastName, PBK_Location_Unknown, u"Ødegård"},
                                  {PBK_Number_Mobile, PBK_Location_Unknown, u"555"}}));
    ASSERT_FALSE(split.fields.empty());
    EXPECT_EQ(split.fields[0].kind, values::FieldKindName);
    EXPECT_EQ(split.fields[0].value, u"Zoë Ødegård");

    const DeviceContact named =
        contactFromEntry(entryOf({{PBK_Text_FirstName, PBK_Location_Unknown, u"Z"},
                                  {PBK_Text_Name, PBK_Location_Unknown, u"Full"}}));
    ASSERT_EQ(named.fields.size(), 2u);
    EXPECT_EQ(named.fields[1].kind, values::FieldKindName);
    EXPECT_EQ(named.fields[1].value, u"Full");
}

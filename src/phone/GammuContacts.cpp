#include "GammuContacts.h"

#include "GammuText.h"

namespace mailvane::phone {
namespace {

// libgammu gives a number a type (general, mobile, fax, ...) and, apart from
// it, a place (home, work). Home and work win over the type, so that a home
// mobile is offered as a home number.
std::int32_t kindOf(const GSM_SubMemoryEntry& field)
{
    const bool number =
        field.EntryType == PBK_Number_General || field.EntryType == PBK_Number_Mobile;
    if (number && field.Location == PBK_Location_Home)
        return values::FieldKindHomeNumber;
    if (number && field.Location == PBK_Location_Work)
        return values::FieldKindWorkNumber;
    switch (field.EntryType) {
    case PBK_Number_General:
        return values::FieldKindGeneralNumber;
    case PBK_Number_Mobile:
        return values::FieldKindMobileNumber;
    case PBK_Text_Name:
        return values::FieldKindName;
    default:
        return 0; // not offered
    }
}

} // namespace

DeviceContact contactFromEntry(const GSM_MemoryEntry& entry)
{
    DeviceContact contact;
    std::u16string firstName;
    std::u16string lastName;
    bool named = false;
    for (int i = 0; i < entry.EntriesNum && i < GSM_PHONEBOOK_ENTRIES; ++i) {
        const GSM_SubMemoryEntry& field = entry.Entries[i];
        const std::u16string text = fromGammuText(field.Text, sizeof field.Text);
        if (field.EntryType == PBK_Text_FirstName)
            firstName = text;
        else if (field.EntryType == PBK_Text_LastName)
            lastName = text;
        const std::int32_t kind = kindOf(field);
        named = named || kind == values::FieldKindName;
        contact.fields.push_back({kind, text});
    }
    // Phones that keep first and last names apart still give the contact a name.
    if (!named && (!firstName.empty() || !lastName.empty())) {
        std::u16string name = firstName;
        if (!firstName.empty() && !lastName.empty())
            name += u' ';
        name += lastName;
        contact.fields.insert(contact.fields.begin(), {values::FieldKindName, name});
    }
    return contact;
}

} // namespace mailvane::phone

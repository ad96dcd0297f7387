#include "ContactsResult.h"

#include "PhoneStatus.h"
#include "StringTable.h"

namespace mailvane::phone {

std::string missingContactsNotice(const ContactsResult& result, ContactStore store)
{
    namespace strings = settings::strings;
    const PhoneResult& why = result.of(store);
    if (!why.failed())
        return {};
    const std::string_view storeName = settings::stringText(
        store == ContactStore::PhoneMemory ? strings::PhoneMemoryStore : strings::SimStore);
    if (why.status == E_TOO_MANY_CONTACTS)
        return settings::stringText(strings::StorePastContactsLimit,
                                    {storeName, std::to_string(MaxPhoneContacts)});
    return settings::stringText(strings::StoreNotRead, {storeName});
}

} // namespace mailvane::phone

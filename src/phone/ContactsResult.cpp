#include "ContactsResult.h"

#include "PhoneStatus.h"
#include "StringTable.h"

namespace mailvane::phone {
namespace {

// `text` with "%n" replaced by `argument`.
std::string withArgument(std::string_view text, std::string_view placeholder,
                         std::string_view argument)
{
    std::string out(text);
    const auto at = out.find(placeholder);
    if (at != std::string::npos)
        out.replace(at, placeholder.size(), argument);
    return out;
}

} // namespace

std::string missingContactsNotice(const ContactsResult& result, ContactStore store)
{
    namespace strings = settings::strings;
    const PhoneResult& why = result.of(store);
    if (!why.failed())
        return {};
    const std::string_view storeName = settings::stringText(
        store == ContactStore::PhoneMemory ? strings::PhoneMemoryStore : strings::SimStore);
    if (why.status == E_TOO_MANY_CONTACTS)
        return withArgument(
            withArgument(settings::stringText(strings::StorePastContactsLimit), "%1", storeName),
            "%2", std::to_string(MaxPhoneContacts));
    return withArgument(settings::stringText(strings::StoreNotRead), "%1", storeName);
}

} // namespace mailvane::phone

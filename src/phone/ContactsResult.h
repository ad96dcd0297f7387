#pragma once

// What reading the phone's contacts came to besides the pairs: whether each of
// the two passes listed its whole store, and if not, why. A list is only as
// complete as both passes; a caller shows a short one for what it is.

#include "PhoneDevice.h"
#include "PhoneResult.h"

#include <string>

namespace mailvane::phone {

struct ContactsResult
{
    // Of the last entry request, or of creating the contacts service.
    PhoneResult lastRequest;
    // S_OK when the pass listed its whole store, else the failure that stopped it.
    PhoneResult phoneMemory;
    PhoneResult sim;

    bool complete() const { return !phoneMemory.failed() && !sim.failed(); }
    const PhoneResult& of(ContactStore store) const
    {
        return store == ContactStore::PhoneMemory ? phoneMemory : sim;
    }
};

// The sentence telling that `store`'s contacts are missing from the list and
// why (string-table texts, ISO-8859-1); empty when that pass listed them all.
std::string missingContactsNotice(const ContactsResult& result, ContactStore store);

} // namespace mailvane::phone

#pragma once

// What reading the phone's contacts came to besides the pairs: whether each of
// the two passes listed its whole store, and if not, why. A list is only as
// complete as both passes; a caller shows a short one for what it is.

#include "Com.h"
#include "PhoneDevice.h"

#include <string>

namespace mailvane::phone {

struct ContactsResult
{
    // Of the last entry request, or of creating the contacts service.
    platform::HRESULT status = platform::S_OK;
    // S_OK when the pass listed its whole store, else the failure that stopped it.
    platform::HRESULT phoneMemory = platform::S_OK;
    platform::HRESULT sim = platform::S_OK;

    bool complete() const { return !platform::FAILED(phoneMemory) && !platform::FAILED(sim); }
    platform::HRESULT of(ContactStore store) const
    {
        return store == ContactStore::PhoneMemory ? phoneMemory : sim;
    }
};

// The sentence telling that `store`'s contacts are missing from the list and
// why (string-table texts, ISO-8859-1); empty when that pass listed them all.
std::string missingContactsNotice(const ContactsResult& result, ContactStore store);

} // namespace mailvane::phone

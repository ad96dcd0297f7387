#pragma once

// A libgammu phonebook entry as the contacts service offers it: the name as a
// field of kind 1, general, mobile, home and work numbers with the kinds the
// program offers, every other field with a kind it passes over.

#include "PhoneDevice.h"

#include <gammu.h>

namespace mailvane::phone {

DeviceContact contactFromEntry(const GSM_MemoryEntry& entry);

} // namespace mailvane::phone

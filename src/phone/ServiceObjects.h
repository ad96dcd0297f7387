#pragma once

// The phone service's classes, implemented over a PhoneDevice. Registering a
// device makes the service appear to the program; revoking it makes the
// service missing again.

#include "PhoneDevice.h"

#include <memory>

namespace mailvane::phone {

// Status of a message whose phone value is not the current connection's.
inline constexpr platform::HRESULT E_STALE_PHONE_VALUE = static_cast<platform::HRESULT>(0x80040201);
// Status of a message the service cannot put on the air as described.
inline constexpr platform::HRESULT E_UNSUPPORTED_MESSAGE =
    static_cast<platform::HRESULT>(0x80040202);

void registerPhoneService(std::shared_ptr<PhoneDevice> device);
void revokePhoneService();

} // namespace mailvane::phone

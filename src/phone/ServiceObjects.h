#pragma once

// The phone service's classes, implemented over a PhoneDevice. Registering a
// device makes the service appear to the program; revoking it makes the
// service missing again.

#include "PhoneDevice.h"

#include <memory>

namespace mailvane::phone {

void registerPhoneService(std::shared_ptr<PhoneDevice> device);
void revokePhoneService();

} // namespace mailvane::phone

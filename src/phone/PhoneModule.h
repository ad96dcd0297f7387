#pragma once

// The phone back ends that need libgammu or libcurl live in a module
// (mailvane-phone.so, installed with the programs in LIBDIR/mailvane) that is
// loaded the first time one of them is needed: a program that checks or
// encodes a file, answers --help or shows its window loads none of those
// libraries. A program that links the back ends in
// (mailvane_link_phone_devices in CMake: tests, benchmarks, fuzzers) uses
// them without loading anything.

#include "GammuPhone.h"
#include "GatewayAddress.h"
#include "SmsGateway.h"

#include <memory>
#include <string>
#include <string_view>

namespace mailvane::phone {

struct PhoneModuleFunctions
{
    // Whether the user has a Gammu configuration file.
    bool (*hasGammuConfiguration)();
    GatewayAddressResult (*parseGatewayAddress)(std::string_view url);
    std::shared_ptr<PhoneDevice> (*createGammuPhone)(const GammuTarget& target,
                                                     const GammuTimeouts& timeouts);
    std::unique_ptr<SmsGateway> (*createGateway)(const GatewayAddress& address,
                                                 const GatewayTimeouts& timeouts);
};

// The back ends: linked in, or loaded now if need be. Null when the module
// cannot be loaded: that is said once on stderr, and `error`, when given,
// says it too.
const PhoneModuleFunctions* phoneModule(std::string* error = nullptr);

// The module's file. It hands out its table through the C function
// mailvane_phone_module (PhoneModuleEntry.cpp).
inline constexpr const char* PhoneModuleFile = "mailvane-phone.so";

} // namespace mailvane::phone

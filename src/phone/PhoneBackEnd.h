#pragma once

// Which component stands in for the phone service, chosen by a short text:
//
//   gammu            the first section of the user's Gammu configuration
//   gammu:SECTION    section N (or gammuN) of that configuration
//   gammu:DEVICE     a device path such as /dev/ttyUSB0, over the AT connection
//   sim:DIR          the simulated phone in folder DIR
//   kannel:URL       a Kannel SMS gateway's sendsms URL (see GatewayAddress.h)
//   none             no phone: the service is there, the phone never answers
//   (empty)          gammu when the user has a Gammu configuration, else none

#include "GammuPhone.h"
#include "GatewayAddress.h"
#include "PhoneDevice.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace mailvane::phone {

struct PhoneSelection
{
    enum class Kind
    {
        None,
        Gammu,
        Simulated,
        Gateway,
    };
    Kind kind = Kind::None;
    GammuTarget gammu;
    std::filesystem::path folder;
    GatewayAddress gateway;
};

// Nothing when the text names no back end; an empty text gives the default.
std::optional<PhoneSelection> parsePhoneSelection(std::string_view text);

// The text that explains the accepted forms, for error messages.
std::string phoneSelectionHelp();

// Why `text` names no back end: what is wrong with a gateway URL, otherwise
// the accepted forms.
std::string phoneSelectionError(std::string_view text);

std::shared_ptr<PhoneDevice> createPhoneDevice(const PhoneSelection& selection,
                                               const GammuTimeouts& timeouts = {});

// Registers the back end named by `text` as the phone service; false (and
// nothing registered) when the text names none.
bool installPhoneBackEnd(std::string_view text);

} // namespace mailvane::phone

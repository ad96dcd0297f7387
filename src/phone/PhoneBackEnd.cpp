#include "PhoneBackEnd.h"

#include "PhoneConfiguration.h"
#include "PhoneModule.h"
#include "PhoneStatus.h"
#include "ServiceObjects.h"
#include "SimulatedPhone.h"
#include "PlainText.h"

namespace mailvane::phone {
namespace {

using platform::trimmed;

// The phone of a machine with none configured, or whose back ends cannot be
// loaded; `why` says which.
class AbsentPhone final : public PhoneDevice
{
public:
    explicit AbsentPhone(std::string why) : m_why(std::move(why)) {}
    PhoneConnection connect() override { return {0, {platform::E_ABORT, m_why}}; }
    PhoneResult send(const OutgoingMessage&) override { return {E_PHONE_NOT_CONNECTED, m_why}; }
    StoreContents readContacts(ContactStore) override
    {
        return {{E_PHONE_NOT_CONNECTED, m_why}, {}};
    }

private:
    std::string m_why;
};

constexpr std::string_view GatewayPrefix = "kannel:";

// The Gammu configuration is looked for by libgammu, in the module; none when
// the module cannot be loaded.
bool gammuConfigured()
{
    const PhoneModuleFunctions* module = phoneModule();
    return module && module->hasGammuConfiguration();
}

GatewayAddressResult parseGateway(std::string_view url)
{
    std::string error;
    if (const PhoneModuleFunctions* module = phoneModule(&error))
        return module->parseGatewayAddress(url);
    return {std::nullopt, error};
}

} // namespace

std::optional<PhoneSelection> parsePhoneSelection(std::string_view text)
{
    text = trimmed(text);
    PhoneSelection selection;
    if (text.empty()) {
        selection.kind =
            gammuConfigured() ? PhoneSelection::Kind::Gammu : PhoneSelection::Kind::None;
        return selection;
    }
    if (text == "none")
        return selection;
    if (text == "gammu") {
        selection.kind = PhoneSelection::Kind::Gammu;
        return selection;
    }
    if (text.starts_with("gammu:")) {
        const std::string_view target = text.substr(6);
        selection.kind = PhoneSelection::Kind::Gammu;
        if (target.find('/') != std::string_view::npos) {
            selection.gammu.device = std::string(target);
            return selection;
        }
        selection.gammu.section = std::string(target);
        if (!gammuSectionNumber(selection.gammu.section))
            return std::nullopt;
        return selection;
    }
    if (text.starts_with(GatewayPrefix)) {
        GatewayAddressResult parsed = parseGateway(text.substr(GatewayPrefix.size()));
        if (!parsed.address)
            return std::nullopt;
        selection.kind = PhoneSelection::Kind::Gateway;
        selection.gateway = std::move(*parsed.address);
        return selection;
    }
    if (text.starts_with("sim:") && text.size() > 4) {
        selection.kind = PhoneSelection::Kind::Simulated;
        selection.folder = std::filesystem::path(std::string(text.substr(4)));
        return selection;
    }
    return std::nullopt;
}

std::string phoneSelectionHelp()
{
    return "use gammu, gammu:SECTION, gammu:DEVICE (a path such as /dev/ttyUSB0), sim:DIR, "
           "kannel:URL or none";
}

std::string phoneSelectionError(std::string_view text)
{
    text = trimmed(text);
    if (text.starts_with(GatewayPrefix)) {
        const GatewayAddressResult parsed = parseGateway(text.substr(GatewayPrefix.size()));
        if (!parsed.address)
            return parsed.error;
    }
    return phoneSelectionHelp();
}

std::shared_ptr<PhoneDevice> createPhoneDevice(const PhoneSelection& selection,
                                               const GammuTimeouts& timeouts)
{
    // Without the module a real phone or gateway cannot be reached; the
    // loader's reason goes with every failure.
    const PhoneModuleFunctions* module = nullptr;
    std::string why = std::string("no phone is configured: set ") + PhoneEnvironmentVariable +
                      " or " + PhoneSettingName;
    switch (selection.kind) {
    case PhoneSelection::Kind::Gammu:
        if ((module = phoneModule(&why)))
            return module->createGammuPhone(selection.gammu, timeouts);
        break;
    case PhoneSelection::Kind::Simulated:
        return std::make_shared<SimulatedPhone>(selection.folder);
    case PhoneSelection::Kind::Gateway:
        if ((module = phoneModule(&why)))
            return module->createGateway(selection.gateway, {});
        break;
    case PhoneSelection::Kind::None:
        break;
    }
    return std::make_shared<AbsentPhone>(std::move(why));
}

std::optional<int> gammuSectionNumber(const std::string& section)
{
    std::string digits = section;
    if (digits.rfind("gammu", 0) == 0)
        digits.erase(0, 5);
    if (digits.empty())
        return 0;
    if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(digits);
}

bool installPhoneBackEnd(std::string_view text)
{
    const std::optional<PhoneSelection> selection = parsePhoneSelection(text);
    if (!selection)
        return false;
    registerPhoneService(createPhoneDevice(*selection));
    return true;
}

} // namespace mailvane::phone

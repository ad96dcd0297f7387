#include "PhoneBackEnd.h"

#include "ServiceObjects.h"
#include "SimulatedPhone.h"

namespace mailvane::phone {
namespace {

// The phone of a machine with none configured.
class AbsentPhone final : public PhoneDevice
{
public:
    PhoneValue connect() override { return 0; }
    platform::HRESULT send(const OutgoingMessage&) override { return E_PHONE_NOT_CONNECTED; }
    std::optional<std::vector<DeviceContact>> readContacts(ContactStore) override
    {
        return std::nullopt;
    }
};

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::optional<PhoneSpec> parsePhoneSpec(std::string_view text)
{
    text = trimmed(text);
    PhoneSpec spec;
    if (text.empty()) {
        spec.kind = hasGammuConfiguration() ? PhoneSpec::Kind::Gammu : PhoneSpec::Kind::None;
        return spec;
    }
    if (text == "none")
        return spec;
    if (text == "gammu") {
        spec.kind = PhoneSpec::Kind::Gammu;
        return spec;
    }
    if (text.starts_with("gammu:")) {
        const std::string_view target = text.substr(6);
        spec.kind = PhoneSpec::Kind::Gammu;
        if (target.find('/') != std::string_view::npos) {
            spec.gammu.device = std::string(target);
            return spec;
        }
        spec.gammu.section = std::string(target);
        if (!gammuSectionNumber(spec.gammu.section))
            return std::nullopt;
        return spec;
    }
    if (text.starts_with("sim:") && text.size() > 4) {
        spec.kind = PhoneSpec::Kind::Simulated;
        spec.folder = std::filesystem::path(std::string(text.substr(4)));
        return spec;
    }
    return std::nullopt;
}

std::string phoneSpecHelp()
{
    return "use gammu, gammu:SECTION, gammu:DEVICE (a path such as /dev/ttyUSB0), sim:DIR or none";
}

std::shared_ptr<PhoneDevice> createPhoneDevice(const PhoneSpec& spec, const GammuTimeouts& timeouts)
{
    switch (spec.kind) {
    case PhoneSpec::Kind::Gammu:
        return std::make_shared<GammuPhone>(spec.gammu, timeouts);
    case PhoneSpec::Kind::Simulated:
        return std::make_shared<SimulatedPhone>(spec.folder);
    case PhoneSpec::Kind::None:
        break;
    }
    return std::make_shared<AbsentPhone>();
}

bool installPhoneBackEnd(std::string_view text)
{
    const std::optional<PhoneSpec> spec = parsePhoneSpec(text);
    if (!spec)
        return false;
    registerPhoneService(createPhoneDevice(*spec));
    return true;
}

} // namespace mailvane::phone

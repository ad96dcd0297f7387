// The table of the phone back ends that need libgammu or libcurl; built into
// mailvane-phone.so, or linked into a program that wants them without loading
// a module.

#include "GammuPhone.h"
#include "KannelGateway.h"
#include "PhoneConfiguration.h"
#include "PhoneModule.h"
#include "ProgramSettings.h"

namespace mailvane::phone {
namespace {

std::shared_ptr<PhoneDevice> createGammuPhone(const GammuTarget& target,
                                              const GammuTimeouts& timeouts)
{
    return std::make_shared<GammuPhone>(target, timeouts);
}

std::unique_ptr<SmsGateway> createGateway(const GatewayAddress& address,
                                          const GatewayTimeouts& timeouts)
{
    GatewayAddress withProxy = address;
    if (withProxy.proxy.empty())
        withProxy.proxy = platform::readProgramSetting(ProxySettingName);
    return std::make_unique<KannelGateway>(std::move(withProxy), timeouts);
}

constexpr PhoneModuleFunctions Functions = {hasGammuConfiguration, parseGatewayAddress,
                                            createGammuPhone, createGateway};

} // namespace
} // namespace mailvane::phone

extern "C" __attribute__((visibility("default"))) const mailvane::phone::PhoneModuleFunctions*
mailvane_phone_module()
{
    return &mailvane::phone::Functions;
}

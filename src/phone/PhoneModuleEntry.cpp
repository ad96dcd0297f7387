// The table of the phone back ends that need libgammu, libcurl or the
// program settings store; built into mailvane-phone.so, or linked into a
// program that wants them without loading a module.

#include "GammuPhone.h"
#include "KannelGateway.h"
#include "PhoneConfiguration.h"
#include "PhoneModule.h"
#include "ProgramSettings.h"

namespace mailvane::phone {
namespace {

std::string configuredDevice()
{
    return platform::readProgramSetting(QLatin1String(PhoneSettingName)).toStdString();
}

std::shared_ptr<PhoneDevice> createGammuPhone(const GammuTarget& target,
                                              const GammuTimeouts& timeouts)
{
    return std::make_shared<GammuPhone>(target, timeouts);
}

std::unique_ptr<SmsGateway> createGateway(const GatewayAddress& address,
                                          const GatewayTimeouts& timeouts)
{
    return std::make_unique<KannelGateway>(address, timeouts);
}

constexpr PhoneModuleFunctions Functions = {
    configuredDevice, hasGammuConfiguration, parseGatewayAddress, createGammuPhone, createGateway,
};

} // namespace
} // namespace mailvane::phone

extern "C" __attribute__((visibility("default"))) const mailvane::phone::PhoneModuleFunctions*
mailvane_phone_module()
{
    return &mailvane::phone::Functions;
}

#pragma once

// The gateway of a --dry-run: takes every message and sends none, so that a
// batch goes through all its steps (checks, encoding, cutting, log) without
// reaching a phone or a gateway.

#include "SmsGateway.h"

namespace mailvane::cli {

inline constexpr std::string_view DryRunAnswer = "dry run: not sent";

class DryRunGateway final : public phone::SmsGateway
{
public:
    phone::GatewayAnswer post(const phone::OutgoingMessage&) override
    {
        return {phone::GatewayAnswer::Verdict::Accepted, 0, std::string(DryRunAnswer),
                phone::GatewayAnswer::Refusal::None, std::nullopt};
    }
    std::string describe(const phone::GatewayAnswer& answer) const override
    {
        return answer.text;
    }
    phone::PhoneConnection connect() override { return {1, {}}; }
    phone::PhoneResult send(const phone::OutgoingMessage&) override { return {}; }
    phone::StoreContents readContacts(phone::ContactStore) override { return {}; }
};

} // namespace mailvane::cli

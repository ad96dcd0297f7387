#include "PhoneResult.h"

#include "PhoneStatus.h"
#include "StringTable.h"
#include "Utf8.h"

#include <cstdio>

namespace mailvane::phone {
namespace {

using namespace settings::strings;

// A phone library's refusal carries its own error in the low bits.
bool isGammuStatus(platform::HRESULT status)
{
    return (static_cast<std::uint32_t>(status) & 0xFFFFF000u) == 0x80041000u;
}

} // namespace

PhoneResult::PhoneResult(platform::HRESULT status, std::string_view detail)
    : status(status), cause(platform::FAILED(status) ? causeOfStatus(status) : std::string()),
      detail(oneLine(detail))
{}

std::string causeOfStatus(platform::HRESULT status)
{
    settings::StringId id = 0;
    switch (status) {
    case platform::E_ABORT:
        id = PhoneUnreachableCause;
        break;
    case E_PHONE_NOT_CONNECTED:
        id = PhoneConnectionLostCause;
        break;
    case E_PHONE_TIMEOUT:
        id = PhoneTimeoutCause;
        break;
    case E_GATEWAY_REFUSED:
        id = GatewayRefusedCause;
        break;
    case E_GATEWAY_UNREACHABLE:
        id = GatewayUnreachableCause;
        break;
    case E_GATEWAY_TIMEOUT:
        id = GatewayTimeoutCause;
        break;
    case platform::REGDB_E_CLASSNOTREG:
        id = ServiceMissingCause;
        break;
    case platform::E_FAIL: // from a message: the phone link's own failures say more
    case E_SIMULATED_REFUSAL:
    case E_OUTBOX_WRITE:
    case E_STALE_PHONE_VALUE:
    case E_UNSUPPORTED_MESSAGE:
    case platform::E_INVALIDARG:
        id = PhoneRefusedCause;
        break;
    default:
        id = isGammuStatus(status) ? PhoneRefusedCause : UnknownStatusCause;
        break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
    return settings::stringText(id, {code});
}

bool isUnreachable(platform::HRESULT status)
{
    return status == platform::E_ABORT || status == E_PHONE_NOT_CONNECTED ||
           status == E_GATEWAY_UNREACHABLE;
}

std::string describeFailure(const SendResult& failure)
{
    std::string text = failure.cause;
    if (!failure.detail.empty())
        text += " (" + failure.detail + ")";
    if (failure.message != 0)
        text += " at message " + std::to_string(failure.message) + " of " +
                std::to_string(failure.messageCount);
    return text;
}

std::string oneLine(std::string_view text, std::size_t limit)
{
    std::string line;
    bool full = false;
    settings::forEachUtf8Character(text, [&](const settings::Utf8Character& c) {
        std::string piece;
        if (!c.codePoint)
            settings::appendUtf8(piece, 0xFFFD);
        else if (*c.codePoint < 0x20 || *c.codePoint == 0x7F)
            piece = " ";
        else
            piece = c.bytes;
        full = full || line.size() + piece.size() > limit;
        if (!full)
            line += piece;
    });
    return line;
}

std::string durationText(std::chrono::milliseconds duration)
{
    if (duration.count() % 1000 == 0)
        return std::to_string(duration.count() / 1000) + " seconds";
    return std::to_string(duration.count()) + " ms";
}

} // namespace mailvane::phone
